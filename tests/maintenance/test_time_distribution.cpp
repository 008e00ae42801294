#include "app/data_tool.h"
#include "maintenance/time_distribution.h"
#include "results/results_file.h"
#include "test_support.h"

#include <QDir>
#include <QTest>

namespace
{
struct Attempt {
    int pupil;
    int level;
    int time;
};
using Attempts = QList<Attempt>;
using Stars = QMap<int, int>; // bucket -> stars; every other bucket shows none

QByteArray fileOf(const Attempts &attempts)
{
    QByteArray bytes;
    for (const Attempt &attempt : attempts) {
        ResultRecord record;
        record.date = 46000;
        record.pupil = static_cast<int16_t>(attempt.pupil);
        record.level = static_cast<int16_t>(attempt.level);
        record.resultTime = attempt.time;
        bytes += record.toBytes();
    }
    return bytes;
}

// count attempts of different pupils at the given time.
Attempts spread(int count, int time, int firstPupil)
{
    Attempts attempts;
    for (int i = 0; i < count; ++i)
        attempts << Attempt{firstPupil + i, 2, time};
    return attempts;
}

QStringList linesOf(const QString &heading, const Stars &stars)
{
    QStringList lines{heading};
    for (int bucket = 0; bucket <= 100; ++bucket)
        lines << QString::number(bucket * 10).rightJustified(4) + "～" + QString(stars.value(bucket), u'★');
    return lines;
}
} // namespace

Q_DECLARE_METATYPE(Attempts)

class TestTimeDistribution : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void lines_data();
    void lines();
    void fileThatCannotBeRead();
    void dataToolPrintsTheScreensLines();
};

void TestTimeDistribution::lines_data()
{
    QTest::addColumn<Attempts>("attempts");
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("allHeading");
    QTest::addColumn<Stars>("allStars");
    QTest::addColumn<QString>("bestHeading");
    QTest::addColumn<Stars>("bestStars");

    QTest::newRow("no records") << Attempts{} << 1 << "レベル1 今まで0回  （★=1）" << Stars{}
                                << "レベル1 （★=1）" << Stars{};
    QTest::newRow("other levels only")
        << Attempts{{1, 2, 50}, {1, 3, 60}} << 1 << "レベル1 今まで0回  （★=1）" << Stars{}
        << "レベル1 （★=1）" << Stars{};
    // 120 attempts of 120 pupils, 36 in the fullest bucket: one star for three.
    QTest::newRow("120 attempts") << spread(36, 45, 1) + spread(30, 52, 101) + spread(30, 68, 201) +
                                         spread(10, 79, 301) + spread(14, 80, 401)
                                  << 2 << "レベル2 今まで120回  （★=3）"
                                  << Stars{{4, 12}, {5, 10}, {6, 10}, {7, 3}, {8, 5}} << "レベル2 （★=3）"
                                  << Stars{{4, 12}, {5, 10}, {6, 10}, {7, 3}, {8, 5}};
    // A half star rounds up, less than half down; a single attempt still shows.
    QTest::newRow("rounding") << spread(25, 10, 1) + spread(5, 20, 101) + spread(4, 30, 201) +
                                     spread(1, 40, 301) + spread(15, 50, 401)
                              << 2 << "レベル2 今まで50回  （★=2）"
                              << Stars{{1, 13}, {2, 3}, {3, 2}, {4, 1}, {5, 8}} << "レベル2 （★=2）"
                              << Stars{{1, 13}, {2, 3}, {3, 2}, {4, 1}, {5, 8}};
    QTest::newRow("last buckets") << Attempts{{1, 1, 1000}, {2, 1, kTimedOut}, {3, 1, 5000},
                                              {4, 1, 300},  {5, 1, 299},       {6, 1, 1009}}
                                  << 1 << "レベル1 今まで6回  （★=1）" << Stars{{29, 1}, {30, 1}, {100, 4}}
                                  << "レベル1 （★=1）" << Stars{{29, 1}, {30, 5}};
    QTest::newRow("a pupil's best time")
        << Attempts{{7, 1, 95}, {7, 1, 41}, {7, 1, 300}, {8, 1, 41}, {9, 1, kTimedOut}} << 1
        << "レベル1 今まで5回  （★=1）" << Stars{{4, 2}, {9, 1}, {30, 1}, {100, 1}} << "レベル1 （★=1）"
        << Stars{{4, 2}, {30, 1}};
    // Level 60 lies beyond the view's levels and a negative time before its first
    // bucket; neither may be counted, nor read out of bounds.
    QTest::newRow("records outside the view")
        << Attempts{{1, 60, 50}, {1, -3, 50},     {1, 1, -5},    {1, 0, 50},
                    {1, 1, 50},  {-32768, 1, 70}, {32767, 1, 75}}
        << 1 << "レベル1 今まで3回  （★=1）" << Stars{{5, 1}, {7, 2}} << "レベル1 （★=1）"
        << Stars{{5, 1}, {7, 2}};
    QTest::newRow("level beyond the view") << Attempts{{1, 60, 50}} << 60 << "レベル60 今まで0回  （★=1）"
                                           << Stars{} << "レベル60 （★=1）" << Stars{};
}

void TestTimeDistribution::lines()
{
    QFETCH(Attempts, attempts);
    QFETCH(int, level);
    QFETCH(QString, allHeading);
    QFETCH(Stars, allStars);
    QFETCH(QString, bestHeading);
    QFETCH(Stars, bestStars);
    // A trailing fragment of a record that another PC is still writing is no record.
    const QByteArray bytes = fileOf(attempts) + QByteArray(20, '\x01');
    const DistributionLines lines = distributionLines(bytes, level);
    QCOMPARE(lines.all, linesOf(allHeading, allStars));
    QCOMPARE(lines.best, linesOf(bestHeading, bestStars));
}

void TestTimeDistribution::fileThatCannotBeRead()
{
    FakeEnvironment fakes;
    TestClassroom classroom;
    QByteArray buffer;
    const QString path = classroom.dataFolder() + "成績累積データ.dat";
    DistributionLines lines = readDistribution(path, buffer, 3);
    QCOMPARE(lines.all.first(), QStringLiteral("レベル3 今まで0回  （★=1）"));
    QCOMPARE(lines.best.size(), 102);
    QVERIFY(!QFileInfo::exists(path));

    QDir().mkpath(path);
    lines = readDistribution(path, buffer, 3);
    QCOMPARE(lines.all.size(), 1);
    QVERIFY2(lines.all[0].startsWith("成績のファイルを読めません") &&
                 lines.all[0].contains("成績累積データ.dat"),
             qPrintable(lines.all[0]));
    QVERIFY(lines.best.isEmpty());
}

void TestTimeDistribution::dataToolPrintsTheScreensLines()
{
    FakeEnvironment fakes;
    TestClassroom classroom;
    classroom.writeConfiguration();
    // More than the statistics cache's 20000 records: the oldest count too. The file is
    // read a piece at a time: pupil 9's best comes in the last piece, after a fragment.
    const QByteArray bytes = fileOf(Attempts{{3, 2, 1500}}) + fileOf(spread(20000, 64, 1)) +
                             fileOf(Attempts{{9, 2, 31}, {9, 1, 12}}) + QByteArray(20, '\x02');
    classroom.writeBytes(classroom.dataFolder() + "成績累積データ.dat", bytes);

    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    const QStringList base{"--base", classroom.sharedFolder()};
    QCOMPARE(runDataTool(base + QStringList{"distribution", "--level", "2"}, outStream, errStream), kToolOk);
    outStream.flush();
    const DistributionLines lines = distributionLines(bytes, 2);
    QCOMPARE(out, lines.all.join('\n') + "\n\n" + lines.best.join('\n') + "\n");
    QVERIFY(out.startsWith("レベル2 今まで20002回  （★=2000）\n"));
    QVERIFY(out.contains("\n  60～★★★★★★★★★★\n"));
    // Pupil 9's best is 31 s, pupil 3's 64 s: the one time over 1000 s is too few for a star.
    QVERIFY(out.contains("\n1000～\n\nレベル2 （★=1999）\n"));

    for (const QString level : {"0", "51", "x"}) {
        err.clear();
        QCOMPARE(runDataTool(base + QStringList{"distribution", "--level", level}, outStream, errStream),
                 kToolCannotRun);
        errStream.flush();
        QVERIFY2(err.contains("--levelには1から50までの整数を指定します"), qPrintable(err));
    }
}

QTEST_MAIN(TestTimeDistribution)
#include "test_time_distribution.moc"
