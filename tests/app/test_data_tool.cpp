#include "app/data_tool.h"
#include "app/demo_classroom.h"
#include "core/hensuu1.h"
#include "core/startup.h"
#include "drill/sounds.h"
#include "results/criteria_table.h"
#include "system_errors.h"
#include "test_support.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include <limits>

namespace
{

struct ToolRun {
    int status = -1;
    QString out;
    QString err;
};

ToolRun runTool(const QStringList &args, const QString &toolFolder = QStringLiteral("/nonexistent/ranvex"))
{
    ToolRun run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.status = runDataTool(args, out, err, toolFolder);
    out.flush();
    err.flush();
    return run;
}

ResultRecord record(int pupil, int level, int time, double date = 46000, double timeOfDay = 0.5)
{
    ResultRecord r;
    r.date = date;
    r.timeOfDay = timeOfDay;
    r.pupil = static_cast<int16_t>(pupil);
    r.level = static_cast<int16_t>(level);
    r.resultTime = time;
    r.schoolCode = schoolCodeText(QStringLiteral("12345"));
    return r;
}

// A demo classroom in a temporary folder, made on the fake clock's day.
struct DemoFixture {
    FakeEnvironment fakes;
    QTemporaryDir dir;
    DemoFixture()
    {
        resetRosterTables();
        const QString problem = writeDemoClassroom(dir.path(), QStringLiteral("ranvex"));
        if (!problem.isEmpty())
            qFatal("%s", qPrintable(problem));
    }
    // The folders as the program names them, with the platform's separator.
    QString shared() const { return QDir::toNativeSeparators(dir.path() + "/shared/"); }
    QString data() const { return shared() + "ranvex" + pathSeparator(); }
    QString sounds() const { return shared() + "音フォルダ" + pathSeparator(); }
    void write(const QString &relative, const QByteArray &bytes) const
    {
        QFile file(dir.path() + "/" + relative);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(relative));
    }
    void writeText(const QString &relative, const QString &text) const
    {
        QString crlf = text;
        write(relative, encodeCp932(crlf.replace("\n", "\r\n")));
    }
    QByteArray read(const QString &relative) const
    {
        QFile file(dir.path() + "/" + relative);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

// The demo's roster lines, with its teacher line as the last.
QString demoRosterWith(const DemoFixture &demo, const QString &extra)
{
    return decodeCp932(demo.read("shared/新名簿.txt")).replace("\r\n", "\n") + extra;
}

} // namespace

Q_DECLARE_METATYPE(std::function<void(DemoFixture &)>)

using Mutation = std::function<void(DemoFixture &)>;

class TestDataTool : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { resetRosterTables(); }

    void helpDocumentsEveryCommand();
    void commandLineMistakes_data();
    void commandLineMistakes();

    void demoPassesCheck();
    void checkFindings_data();
    void checkFindings();
    void checkCannotReadTheFolder_data();
    void checkCannotReadTheFolder();
    void checkThroughThePathFile();
    void setupWritesThePathFileOnce_data();
    void setupWritesThePathFileOnce();

    void exportGoldenFile();
    void appendRecordsThroughTheSharedFile();
    void resultsFileThatMayNotBeOpened_data();
    void resultsFileThatMayNotBeOpened();

    void backupsAndRestoreUndoAWrongDeletion();
    void demoReadsBackThroughTheReaders();
    void demoKeepsTheTeachersFiles();
};

void TestDataTool::helpDocumentsEveryCommand()
{
    const ToolRun run = runTool({"--help"});
    QCOMPARE(run.status, 0);
    for (const char *word :
         {"check", "export", "append --pupil P --level L --time T", "demo DIR", "--base DIR",
          "--program NAME", "record,date,time,pupil,name,level,result_time,school_code"})
        QVERIFY2(run.out.contains(QString::fromUtf8(word)), word);
}

void TestDataTool::commandLineMistakes_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("no command") << QStringList{} << "コマンドがありません";
    QTest::newRow("unknown command") << QStringList{"fix"} << "「fix」というコマンドはありません";
    QTest::newRow("--base without a folder")
        << QStringList{"check", "--base"} << "--base のあとに値がありません";
    QTest::newRow("demo without a folder") << QStringList{"demo"} << "demo にはフォルダを一つ指定します";
    QTest::newRow("append without a pupil") << QStringList{"append", "--level", "1", "--time", "60"}
                                            << "--pupilには1から5000までの整数を指定します";
    QTest::newRow("append, level 36")
        << QStringList{"append", "--pupil", "1", "--level", "36", "--time", "60"}
        << "--levelには1から35までの整数を指定します";
    QTest::newRow("append, time not a number")
        << QStringList{"append", "--pupil", "1", "--level", "1", "--time", "1分"}
        << "--timeには0から99999までの整数を指定します";
}

void TestDataTool::commandLineMistakes()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    FakeEnvironment fakes;
    const ToolRun run = runTool(args);
    QCOMPARE(run.status, 2);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QCOMPARE(run.out, QString());
}

void TestDataTool::demoPassesCheck()
{
    DemoFixture demo;
    const ToolRun run = runTool({"check", "--base", demo.shared()});
    QCOMPARE(run.out, QString());
    QCOMPARE(run.status, 0);
}

void TestDataTool::checkFindings_data()
{
    QTest::addColumn<Mutation>("mutation");
    QTest::addColumn<QStringList>("findings"); // relative to the classroom folder

    const auto writing = [](const QString &file, const QByteArray &bytes) {
        return Mutation([=](DemoFixture &demo) { demo.write(file, bytes); });
    };
    const auto removing = [](const QString &file) {
        return Mutation([=](DemoFixture &demo) { QFile::remove(demo.dir.path() + "/" + file); });
    };
    const auto roster = [](const QString &extra) {
        return Mutation(
            [=](DemoFixture &demo) { demo.writeText("shared/新名簿.txt", demoRosterWith(demo, extra)); });
    };

    QTest::newRow("common data: start month") << Mutation([](DemoFixture &demo) {
        demo.writeText("shared/共通データ.txt", "13,\"12345デモ教室\",0,0,0,0,0,0,0,0\n");
    }) << QStringList{"shared/共通データ.txt: 学年の始まりの月（1番目の値）13が1から12の間にありません"};
    QTest::newRow("common data: missing")
        << removing("shared/共通データ.txt") << QStringList{"shared/共通データ.txt: ファイルがありません。"};
    // Only the file's own problem: no month was read from it.
    QTest::newRow("common data: empty")
        << writing("shared/共通データ.txt", {})
        << QStringList{"shared/共通データ.txt: 1番目の値がありません（値は10個必要です）。"};
    QTest::newRow("common data: a folder in its place") << Mutation([](DemoFixture &demo) {
        QFile::remove(demo.shared() + "共通データ.txt");
        QDir(demo.shared()).mkdir("共通データ.txt");
#ifdef Q_OS_WIN
    }) << QStringList{"shared/共通データ.txt: ファイルを読めません（Access denied.）。"};
#else
    }) << QStringList{"shared/共通データ.txt: ファイルを読めません（file to open is a directory）。"};
#endif
    QTest::newRow("common data: bytes that are not code page 932")
        << writing("shared/共通データ.txt", "4,\"12345\x81 \"\r\n0\r\n0\r\n0,0,0,0,0,0\r\n")
        << QStringList{"shared/共通データ.txt:1: "
                       "シフトJISとして読めないバイトがあります。その文字は別の文字に読み替えられます"};

    QTest::newRow("roster: number above 5000")
        << roster("6000,2010,0,0,\"外\",0,,\n")
        << QStringList{"shared/新名簿.txt:42: 番号6000は0から5000の間にありません。この行は読みとばされます"};
    QTest::newRow("roster: not a number")
        << roster("x1,2010,0,0,\"字\",0,,\n")
        << QStringList{"shared/新名簿.txt:42: 番号の「x1」は数として読めません。この行は読みとばされます"};
    QTest::newRow("roster: duplicate") << roster("5,2010,0,0,\"二人目\",0,,\n")
                                       << QStringList{"shared/新名簿.txt:42: 番号5は5行目にもあります"};
    QString many;
    for (int n = 1; n <= 4966; ++n)
        many += QStringLiteral("%1,2010,0,0,\"多%2\",0,,\n").arg(41 + (n - 1) % 4960).arg(n);
    // The demo lists 37 (36 pupils and the teacher) on its 41 lines; 4966 more make 5003.
    // Numbers repeat among so many, so only this line is looked for.
    QTest::newRow("roster: more than 5000 listed")
        << roster(many)
        << QStringList{"shared/新名簿.txt:5005: "
                       "載せられるのは5000人までです。この行から後の3人は名前の一覧に出ません"};
    QTest::newRow("roster: birth years outside 1900..2100")
        << roster("50,20150,0,0,\"年\",0,,\n51,1899,0,0,\"昔\",0,,\n52,1900,0,0,\"百\",0,,\n")
        << QStringList{
               "shared/新名簿.txt:42: 生まれ年20150は1900から2100の間にありません。学年なしで載ります",
               "shared/新名簿.txt:43: 生まれ年1899は1900から2100の間にありません。学年なしで載ります"};
    QTest::newRow("roster: bytes that are not code page 932")
        << Mutation([](DemoFixture &demo) {
               demo.write("shared/新名簿.txt",
                          demo.read("shared/新名簿.txt") + "60,2010,0,0,\"\x85\x40\",0,,\r\n");
           })
        << QStringList{"shared/新名簿.txt:42: "
                       "シフトJISとして読めないバイトがあります。その文字は別の文字に読み替えられます"};
    QTest::newRow("roster: missing") << removing("shared/新名簿.txt")
                                     << QStringList{"shared/新名簿.txt: ファイルがありません。"};

    QTest::newRow("criteria: missing")
        << removing("shared/ranvex/タイム回数データ.txt")
        << QStringList{"shared/ranvex/タイム回数データ.txt: ファイルがありません。"};
    QTest::newRow("criteria: level 3 missing")
        << writing("shared/ranvex/タイム回数データ.txt",
                   encodeCp932("目標Time,最低Time,ｸﾘｱﾎﾟｲﾝﾄ,ｸﾘｱ回数,ﾎﾟｲﾝﾄ倍率,禁回,禁点,判期間,禁期間,,,\r\n"
                               "60,120,300,10,1,30,1500,7,1,,,\r\n90,150,300,10,1.5,30,1500,7,1,,,\r\n"))
        << QStringList{"shared/ranvex/タイム回数データ.txt: レベル3の行がありません。"};

    QTest::newRow("criteria: lines without twelve fields")
        << writing("shared/ranvex/タイム回数データ.txt",
                   encodeCp932("目標Time,最低Time,ｸﾘｱﾎﾟｲﾝﾄ,ｸﾘｱ回数,ﾎﾟｲﾝﾄ倍率,禁回,禁点,判期間,禁期間,,,\r\n"
                               "60,120,300,10,1,30,1500,7,1,,\r\n90,150,300,10,1.5,30,1500,7,1,,,\r\n"
                               "120,200,300,10,2,30,1500,7,1,,,,\r\n\r\n"))
        << QStringList{"shared/ranvex/タイム回数データ.txt:2: 値が11個あります（12個必要です）。"
                       "この行から後のレベルの値がずれます",
                       "shared/ranvex/タイム回数データ.txt:4: 値が13個あります（12個必要です）。"
                       "この行から後のレベルの値がずれます"};

    QTest::newRow("sounds: list missing")
        << removing("shared/音フォルダ/新音ファイル.txt")
        << QStringList{"shared/音フォルダ/新音ファイル.txt: ファイルがありません。"};
    QTest::newRow("sounds: a named wave missing")
        << removing("shared/音フォルダ/正解2b.wav")
        << QStringList{"shared/音フォルダ/新音ファイル.txt: "
                       "「正解音2」の音ファイル{dir}shared/音フォルダ/正解2b.wavがありません"};
    QTest::newRow("sounds: not a wave")
        << writing("shared/音フォルダ/不合格1a.wav", "not a sound")
        << QStringList{"shared/音フォルダ/新音ファイル.txt: 「不合格音1」の音ファイル{dir}"
                       "shared/音フォルダ/不合格1a.wavはwaveファイルではありません"};
    QTest::newRow("sounds: a fixed file missing")
        << removing("shared/音フォルダ/合格.wav")
        << QStringList{"shared/音フォルダ/新音ファイル.txt: "
                       "決まった音の音ファイル{dir}shared/音フォルダ/合格.wavがありません"};
    QTest::newRow("sounds: a played kind without files")
        << writing("shared/音フォルダ/新音ファイル.txt",
                   encodeCp932("正解音2,正解2a,*\r\n間違い音2,間違い2a,*\r\n"
                               "自己最高音2,*\r\n不合格音1,不合格1a,*\r\n"))
        << QStringList{"shared/音フォルダ/新音ファイル.txt: 「自己最高音2」の音がありません"};
    QTest::newRow("sounds: a group not closed")
        << writing("shared/音フォルダ/新音ファイル.txt",
                   encodeCp932("正解音2,正解2a,*\r\n間違い音2,間違い2a,*\r\n"
                               "自己最高音2,自己最高2a,*\r\n不合格音1,不合格1a\r\n"))
        << QStringList{
               "shared/音フォルダ/新音ファイル.txt: 「不合格音1」の音の並びが「*」で終わっていません"};

    const QString results = QStringLiteral("shared/ranvex/成績累積データ.dat");
    QTest::newRow("results: trailing fragment")
        << writing(results, record(1, 1, 60).toBytes() + "12345")
        << QStringList{results + ": 長さ49バイトは44の倍数ではありません。最後の5バイトは記録になりません"};
    QTest::newRow("results: pupils outside 1..5000")
        << writing(results,
                   record(0, 1, 60).toBytes() + record(5000, 1, 60).toBytes() + record(5001, 1, 60).toBytes())
        << QStringList{results + ":1: 生徒の番号0が1から5000の間にありません",
                       results + ":3: 生徒の番号5001が1から5000の間にありません"};
    QTest::newRow("results: levels outside 1..35")
        << writing(results,
                   record(1, 0, 60).toBytes() + record(1, 35, 60).toBytes() + record(1, 36, 60).toBytes())
        << QStringList{results + ":1: レベル0が1から35の間にありません",
                       results + ":3: レベル36が1から35の間にありません"};
    QTest::newRow("results: negative date")
        << writing(results, record(1, 1, 60, 0).toBytes() + record(1, 1, 60, -1).toBytes())
        << QStringList{results + ":2: 日付-1が負です"};
    // 2958465 is 9999-12-31, the calendar's last day.
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("results: dates outside the calendar")
        << writing(results, record(1, 1, 60, inf).toBytes() + record(1, 1, 60, 1e300).toBytes() +
                                record(1, 1, 60, 1e18).toBytes() + record(1, 1, 60, 2958466).toBytes() +
                                record(1, 1, 60, 2958465.5).toBytes() + record(1, 1, 60, nan).toBytes())
        << QStringList{results + ":1: 日付infが暦の範囲にありません。この記録は数えられません",
                       results + ":2: 日付1e+300が暦の範囲にありません。この記録は数えられません",
                       results + ":3: 日付1e+18が暦の範囲にありません。この記録は数えられません",
                       results + ":4: 日付2.95847e+06が暦の範囲にありません。この記録は数えられません",
                       results + ":6: 日付nanが暦の範囲にありません。この記録は数えられません"};
    QTest::newRow("results: times of day outside the calendar")
        << writing(results, record(1, 1, 60, 46000, nan).toBytes() + record(1, 1, 60, 46000, 0.99).toBytes() +
                                record(1, 1, 60, 46000, -inf).toBytes())
        << QStringList{results + ":1: 時刻nanが暦の範囲にありません。この記録は数えられません",
                       results + ":3: 時刻-infが暦の範囲にありません。この記録は数えられません"};
    QTest::newRow("results: times outside 0..99999")
        << writing(results, record(1, 1, -1).toBytes() + record(1, 1, 0).toBytes() +
                                record(1, 1, 99999).toBytes() + record(1, 1, 100000).toBytes())
        << QStringList{results + ":1: タイム-1が0から99999の間にありません",
                       results + ":4: タイム100000が0から99999の間にありません"};
    QTest::newRow("results: one record, every fault")
        << writing(results, record(-3, 99, 123456, -2).toBytes())
        << QStringList{results + ":1: 生徒の番号-3が1から5000の間にありません",
                       results + ":1: レベル99が1から35の間にありません", results + ":1: 日付-2が負です",
                       results + ":1: タイム123456が0から99999の間にありません"};
    QTest::newRow("results: missing is a new classroom") << removing(results) << QStringList{};
    // A copy an earlier version's deletion left, mended when it fits (test_results_recovery).
    QTest::newRow("results: a copy left that does not fit")
        << writing("shared/ranvex/成績累積データtemp.dat",
                   record(1, 1, 60).toBytes() + record(2, 1, 60).toBytes())
        << QStringList{"shared/ranvex/成績累積データtemp.dat: "
                       "前の版のRanvexで始めた記録の消去が途中で止まったままです。控えのファイル "
                       "{dir}shared/ranvex/成績累積データtemp.dat が成績のファイルと合わないので、"
                       "どちらもそのままにしてあります。"};
    // Deleting record 2 stopped with nothing written: check puts the file right first.
    const auto cutShort = [](bool fits) {
        return Mutation([=](DemoFixture &demo) {
            const QString path = demo.data() + kResultsFileName;
            fileFaultHook() = [=](FileStep step, const QString &file) {
                return step == FileStep::Write && file == path ? kErrorIo : 0;
            };
            deleteResultRecord(path, 2);
            fileFaultHook() = {};
            if (!fits)
                demo.write("shared/ranvex/成績累積データ.dat", {});
        });
    };
    QTest::newRow("results: a deletion cut short")
        << cutShort(true)
        << QStringList{
               results +
               ": 2026/12/09 10:00:00に始めた記録2の消去が途中で止まっていたので、取り消しました"
               "（記録はその前のままです）。あとから書き足された記録は、すべてそのまま残っています。"};
    QTest::newRow("results: a journal that does not fit")
        << cutShort(false)
        << QStringList{
               "shared/ranvex/成績累積データ修正中.dat: 2026/12/09 10:00:00に始めた記録2の消去が途中で"
               "止まったままです。控えのファイル {dir}shared/ranvex/成績累積データ修正中.dat が成績の"
               "ファイルと合わないので、どちらもそのままにしてあります。"};
    QTest::newRow("results: drills kept on this PC")
        << writing("ranvex/成績累積データ未送信.dat",
                   record(12, 2, 95, 46365, 0.5).toBytes() + record(7, 1, 99999, 46366, 0.75).toBytes())
        << QStringList{"ranvex/成績累積データ未送信.dat:1: 2026/12/09 12:00:00 生徒12 レベル2 "
                       "95秒の記録が、このPCに残ったまま成績のファイルにまだ書き足されていません",
                       "ranvex/成績累積データ未送信.dat:2: 2026/12/10 18:00:00 生徒7 レベル1 "
                       "99999秒の記録が、このPCに残ったまま成績のファイルにまだ書き足されていません"};
}

void TestDataTool::checkFindings()
{
    QFETCH(Mutation, mutation);
    QFETCH(QStringList, findings);
    DemoFixture demo;
    mutation(demo);
    const ToolRun run = runTool({"check", "--base", demo.shared()}, demo.dir.path() + "/ranvex");

    // Each finding begins with the file's path relative to the classroom, and may name
    // another file inside it as {dir}path; the tool writes both with the platform's separator.
    const QString dir = demo.dir.path() + "/";
    const auto inClassroom = [&](const QString &relative) {
        return QDir::toNativeSeparators(dir + relative);
    };
    static const QRegularExpression named(QStringLiteral("\\{dir\\}(\\S+?\\.(?:wav|dat|txt))"));
    QStringList expected;
    for (const QString &finding : findings) {
        const qsizetype colon = finding.indexOf(u':');
        QString line = inClassroom(finding.left(colon));
        qsizetype from = colon;
        for (const QRegularExpressionMatch &match : named.globalMatch(finding, colon)) {
            line += finding.mid(from, match.capturedStart() - from) + inClassroom(match.captured(1));
            from = match.capturedEnd();
        }
        expected << line + finding.mid(from);
    }
    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    if (QByteArray(QTest::currentDataTag()) == "roster: more than 5000 listed")
        QVERIFY(lines.contains(expected[0]));
    else
        QCOMPARE(lines, expected);
    QCOMPARE(run.status, findings.isEmpty() ? 0 : 1);
}

void TestDataTool::checkCannotReadTheFolder_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("no such base folder")
        << QStringList{"check", "--base", "/nonexistent/shared"} << "共有フォルダがないか、読めません。";
    QTest::newRow("no path file") << QStringList{"check"}
                                  << QDir::toNativeSeparators("/nonexistent/パスデータ.txt");
}

void TestDataTool::checkCannotReadTheFolder()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    FakeEnvironment fakes;
    const ToolRun run = runTool(args);
    QCOMPARE(run.status, 2);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
}

void TestDataTool::checkThroughThePathFile()
{
    DemoFixture demo;
    const QString programFolder = demo.dir.path() + "/ranvex";
    QCOMPARE(runTool({"check"}, programFolder).status, 0);

    // Written without its final separator, the shared folder glues onto every file name.
    const QString shared = QDir::toNativeSeparators(demo.dir.path() + "/shared");
    demo.writeText("パスデータ.txt", "\"" + shared + "\",0,0,0,0,0,0,0,0,0\n");
    const ToolRun run = runTool({"check"}, programFolder);
    QCOMPARE(run.status, 1);
    QVERIFY(run.out.contains(QDir::toNativeSeparators(demo.dir.path() + "/パスデータ.txt") +
                             ": 共有フォルダ「" + shared + "」の最後に「" + pathSeparator() +
                             "」がありません。ファイル名がフォルダ名につながります\n"));
    QVERIFY(run.out.contains(shared + "共通データ.txt: ファイルがありません。"));
}

void TestDataTool::setupWritesThePathFileOnce_data()
{
    QTest::addColumn<QString>("shared");
    QTest::addColumn<QByteArray>("pathFile"); // null: refused, nothing written
    QTest::addColumn<int>("status");

    QTest::newRow("separator put back") << "/srv/塾" << QByteArray("\"/srv/\x8f\x6d/\",,,,,,,,,\r\n") << 0;
    QTest::newRow("as typed") << "/srv/juku/" << QByteArray("\"/srv/juku/\",,,,,,,,,\r\n") << 0;
    QTest::newRow("a quote would end the value") << "/srv/a\"b" << QByteArray() << 2;
    QTest::newRow("not in code page 932") << "/srv/\u00e9" << QByteArray() << 2;
}

// The installer's step: the path file beside the program folder, read back as the
// program reads it, and never written over.
void TestDataTool::setupWritesThePathFileOnce()
{
    QFETCH(QString, shared);
    QFETCH(QByteArray, pathFile);
    QFETCH(int, status);
    FakeEnvironment fakes;
    QTemporaryDir classroom;
    const QString programFolder = classroom.filePath("ranvex");
    QVERIFY(QDir().mkpath(programFolder));
    QFile written(classroom.filePath("パスデータ.txt"));
    QCOMPARE(runTool({"setup", "--shared", shared}, programFolder).status, status);
    if (pathFile.isNull()) {
        QVERIFY(!written.exists());
        return;
    }
#ifdef Q_OS_WIN
    pathFile.replace('/', '\\'); // as typed there; no byte of code page 932 is a "/"
#endif
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), pathFile);
    QVERIFY(!LoadPathFile(programFolder));
    QVERIFY(hensuu1().dataPathSetting.endsWith(pathSeparator()));
    const ToolRun again = runTool({"setup", "--shared", "/elsewhere/"}, programFolder);
    QCOMPARE(again.status, 1);
    written.seek(0);
    QCOMPARE(written.readAll(), pathFile);
}

void TestDataTool::exportGoldenFile()
{
    FakeEnvironment fakes;
    TestClassroom classroom;
    classroom.writeConfiguration();
    classroom.writeText(classroom.sharedFolder() + "新名簿.txt", "7,2012,0,0,\"山田　花子\",0,,\n"
                                                                 "8,2012,0,0,\"鈴木, 次郎\",1,,\n"
                                                                 "9,2013,0,0,ジロー\"J\",0,,\n");
    QByteArray bytes = record(7, 2, 87, 46365, (15 * 3600 + 30 * 60 + 7.6) / 86400).toBytes();
    ResultRecord late = record(8, 3, 99999, 46366, 86399.7 / 86400);
    late.schoolCode = schoolCodeText(QString());
    bytes += late.toBytes();
    bytes += record(10, 1, 45, 46367, (9 * 3600 + 5 * 60 + 3) / 86400.0).toBytes();
    bytes += record(9, 1, 0, 0, 0).toBytes();
    bytes += "fragment";
    classroom.writeBytes(classroom.dataFolder() + kResultsFileName, bytes);

    const ToolRun run = runTool({"export", "--base", classroom.sharedFolder()});
    QCOMPARE(run.err, QString());
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QStringLiteral("record,date,time,pupil,name,level,result_time,school_code\n"
                                     "1,2026/12/09,15:30:08,7,山田　花子,2,87,12345\n"
                                     "2,2026/12/10,23:59:59,8,\"鈴木, 次郎\",3,99999,\n"
                                     "3,2026/12/11,9:05:03,10,,1,45,12345\n"
                                     "4,1899/12/30,0:00:00,9,\"ジロー\"\"J\"\"\",1,0,12345\n"));
}

void TestDataTool::appendRecordsThroughTheSharedFile()
{
    FakeEnvironment fakes;
    TestClassroom classroom;
    classroom.writeConfiguration();
    fakes.clock.seconds = 17 * 3600 + 5;
    const QString path = classroom.dataFolder() + kResultsFileName;
    classroom.writeBytes(path, record(1, 1, 60).toBytes());

    const ToolRun run = runTool(
        {"--base", classroom.sharedFolder(), "append", "--pupil", "12", "--level", "3", "--time", "99999"});
    QCOMPARE(run.err, QString());
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QStringLiteral("2\n"));

    QByteArray bytes;
    QVERIFY(readResultsBytes(path, bytes).ok());
    QCOMPARE(recordCountOf(bytes), 2);
    ResultRecord expected = record(12, 3, 99999, oleDateOf(QDate(2026, 12, 9)), (17 * 3600 + 5) / 86400.0);
    QCOMPARE(recordAt(bytes, 2), expected);
}

void TestDataTool::resultsFileThatMayNotBeOpened_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("check") << QStringList{"check"};
    QTest::newRow("export") << QStringList{"export"};
    QTest::newRow("stats") << QStringList{"stats"};
    QTest::newRow("append") << QStringList{"append", "--pupil", "1", "--level", "1", "--time", "60"};
}

// Not another PC's lock: the tool says so at once, naming the file, and ends with 1.
void TestDataTool::resultsFileThatMayNotBeOpened()
{
    QFETCH(QStringList, args);
    DemoFixture demo;
    const QString path = demo.data() + kResultsFileName;
    const QByteArray before = demo.read("shared/ranvex/成績累積データ.dat");
    fileFaultHook() = [&](FileStep step, const QString &file) {
        return step == FileStep::Open && file == path ? kErrorAccessDenied : 0;
    };
    // As the console answers the teacher's message: no one is there to fix it.
    demo.fakes.dialogs.answers = {DialogAnswer::Cancel};

    QElapsedTimer elapsed;
    elapsed.start();
    QString message;
    int status = -1;
    try {
        const ToolRun run = runTool(QStringList{"--base", demo.shared()} + args);
        status = run.status;
        message = run.out + run.err;
    } catch (const ProgramEnded &ended) {
        status = ended.status;
        message = demo.fakes.dialogs.messages.value(0).text;
    }
    fileFaultHook() = {};

    QCOMPARE(status, 1);
    QVERIFY2(message.contains(QStringLiteral("先生を呼びなさい")) &&
                 message.contains(QDir::toNativeSeparators(path)),
             qPrintable(message));
    QVERIFY(elapsed.elapsed() < 5000); // no ten seconds of waiting for a lock that is not there
    QCOMPARE(demo.read("shared/ranvex/成績累積データ.dat"), before);
}

// A wrong deletion undone without losing the drills recorded since; a wrong criteria
// save undone too.
void TestDataTool::backupsAndRestoreUndoAWrongDeletion()
{
    DemoFixture demo;
    const QString results = QStringLiteral("shared/ranvex/成績累積データ.dat");
    const QString criteria = QStringLiteral("shared/ranvex/タイム回数データ.txt");
    const QByteArray original = demo.read(results);
    const int count = recordCountOf(original);
    const QStringList base{"--base", demo.shared()};
    QCOMPARE(runTool(base + QStringList{"delete", "--record", "3"}).status, 0);
    demo.fakes.clock.advance(60);
    for (const char *pupil : {"12", "13"})
        QCOMPARE(
            runTool(base + QStringList{"append", "--pupil", pupil, "--level", "1", "--time", "70"}).status,
            0);
    const QByteArray since = demo.read(results).right(2 * kRecordSize);
    const CriteriaGrid rows{{"レベル", "目標Time", "最低Time", "ｸﾘｱﾎﾟｲﾝﾄ", "ｸﾘｱ回数", "ﾎﾟｲﾝﾄ倍率", "禁回",
                             "禁点", "判期間", "禁期間", "", "", ""},
                            {"1", "1", "2", "3", "4", "1", "", "", "7", "1", "", "", ""}};
    const QByteArray table = demo.read(criteria);
    QVERIFY(SaveCriteriaTable(demo.data() + kCriteriaFileName, rows).contains("レベル2"));

    const QString deletion = QStringLiteral("20261209-100000-削除前-成績累積データ.dat");
    const QString criteriaCopy = QStringLiteral("20261209-100100-2-基準変更前-タイム回数データ.txt");
    ToolRun run = runTool(base + QStringList{"backups"});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out,
             QStringLiteral("%1  35レベル  2026/12/09 10:01:00  基準変更前\n"
                            "20261209-100100-毎日-成績累積データ.dat  %2件  2026/12/09 10:01:00  毎日\n"
                            "%3  %4件  2026/12/09 10:00:00  削除前\n")
                 .arg(criteriaCopy)
                 .arg(count - 1)
                 .arg(deletion)
                 .arg(count));

    run = runTool(base + QStringList{"restore", deletion});
    QCOMPARE(run.err, QString());
    QCOMPARE(run.out, QStringLiteral(
                          "写し %1 から%2件の記録を戻し、そのあとに書き足された2件をそのうしろに残しました\n")
                          .arg(deletion)
                          .arg(count));
    QCOMPARE(demo.read(results), original + since);
    run = runTool(base + QStringList{"restore", criteriaCopy});
    QCOMPARE(run.status, 0);
    QCOMPARE(demo.read(criteria), table);
    run = runTool(base + QStringList{"backups"});
    QVERIFY(run.out.section('\n', 0, 1).contains("復元前-タイム回数データ.txt"));
    QVERIFY(run.out.section('\n', 1, 1)
                .contains(QStringLiteral("復元前-成績累積データ.dat  %1件").arg(count + 1)));
    QCOMPARE(runTool(base + QStringList{"restore", "no-such-copy"}).status, 1);
}

void TestDataTool::demoReadsBackThroughTheReaders()
{
    DemoFixture demo;
    const QDate today = demo.fakes.clock.date;

    // Every text file as a Windows PC writes it.
    for (const char *file : {"パスデータ.txt", "shared/共通データ.txt", "shared/新名簿.txt",
                             "shared/ranvex/タイム回数データ.txt", "shared/音フォルダ/新音ファイル.txt"}) {
        const QByteArray bytes = demo.read(QString::fromUtf8(file));
        QVERIFY2(!bytes.isEmpty() && bytes.endsWith("\r\n"), file);
        QCOMPARE(bytes.count("\n"), bytes.count("\r\n"));
        QCOMPARE(encodeCp932(decodeCp932(bytes)), bytes);
    }

    // The program starts on it.
    QVERIFY(!LoadStartupConfiguration(demo.dir.path() + "/ranvex").has_value());
    Hensuu1 &h = hensuu1();
    QCOMPARE(h.dataPathSetting, demo.shared());
    QCOMPARE(h.schoolCode, QStringLiteral("12345"));
    QCOMPARE(h.schoolYearStartMonth, 4.0);
    QCOMPARE(LoadCriteriaTable(h.dataFolder + kCriteriaFileName), QString());
    QCOMPARE(h.passTime[1], 60);
    QCOMPARE(h.minimumTime[3], 200);

    // The roster: pupils from kindergarten to high school, some not listed, and the teacher.
    const RosterReading roster = ReadRoster();
    QVERIFY(roster.problems.isEmpty());
    const RosterTables &tables = rosterTables();
    QSet<QString> labels;
    bool teacherListed = false;
    for (int position = 1; position <= tables.activePupilCount; ++position) {
        const RosterRecord &pupil = tables.rosterRecords[position];
        labels << displayGradeLabel(gradeNumberOf(pupil.birthYear, tables.schoolYear)).left(1);
        teacherListed |= pupil.name.trimmed() == QStringLiteral("講師");
    }
    QVERIFY(tables.activePupilCount >= 30 && tables.activePupilCount <= 45);
    QVERIFY(teacherListed);
    QCOMPARE(labels, (QSet<QString>{"幼", "小", "中", "高", "大"}));
    h.listStatusTwoPupils = 1;
    const int listedWithoutStatusTwo = tables.activePupilCount;
    readToolRoster();
    const int listedWithStatusTwo = tables.activePupilCount;
    QVERIFY(listedWithStatusTwo > listedWithoutStatusTwo);
    int inRoster = 0;
    for (int number = 1; number <= kMaxPupil; ++number)
        inRoster += tables.pupilNames[number].isEmpty() ? 0 : 1;
    QVERIFY(inRoster > listedWithStatusTwo); // some have left
    h.listStatusTwoPupils = 0;
    readToolRoster();

    // The sound list names a file of each kind, every one a wave of its own.
    fillSoundTable(decodeCp932(demo.read("shared/音フォルダ/新音ファイル.txt")));
    QSet<QByteArray> waves;
    int files = 0;
    for (int kind = 1; kind <= 10; ++kind) {
        const int count = h.soundTable[kind][21].toInt();
        QVERIFY(count >= 1);
        for (int row = 1; row <= count; ++row) {
            waves << demo.read("shared/音フォルダ/" + h.soundTable[kind][row] + ".wav");
            ++files;
        }
    }
    for (const char *fixed : {"最高1.wav", "合格.wav", "警告1.wav"}) {
        waves << demo.read("shared/音フォルダ/" + QString::fromUtf8(fixed));
        ++files;
    }
    QVERIFY(!waves.contains(QByteArray()));
    QCOMPARE(waves.size(), files); // every file a tone of its own
    for (const QByteArray &wave : waves)
        QVERIFY(wave.startsWith("RIFF") && wave.mid(8, 4) == "WAVE");

    // Ten weeks of history of listed pupils up to this moment, in order, some timed out;
    // most pupils have come today already.
    QByteArray bytes;
    QVERIFY(readResultsBytes(resultsFilePath(), bytes).ok());
    QVERIFY(recordCountOf(bytes) >= 100);
    QCOMPARE(bytes.size() % kRecordSize, 0);
    int timedOut = 0;
    double previous = 0;
    QSet<int> days;
    QSet<int> pupilsToday;
    for (int n = 1; n <= recordCountOf(bytes); ++n) {
        const ResultRecord r = recordAt(bytes, n);
        const QDate date = dateOfOle(r.date);
        QVERIFY(date <= today && date >= today.addDays(-70));
        if (date == today) {
            QVERIFY(r.timeOfDay * 86400 <= demo.fakes.clock.seconds);
            pupilsToday << r.pupil;
        }
        days << static_cast<int>(r.date);
        QVERIFY(r.date + r.timeOfDay >= previous);
        previous = r.date + r.timeOfDay;
        QVERIFY(!tables.pupilNames[r.pupil].trimmed().isEmpty());
        QVERIFY(r.level >= 1 && r.level <= 3);
        QCOMPARE(schoolCodeOf(r), QStringLiteral("12345"));
        if (r.resultTime == kTimedOut)
            ++timedOut;
        else
            QVERIFY(r.resultTime > 0 && r.resultTime < 5 * h.minimumTime[r.level]);
    }
    QVERIFY(timedOut > 0);
    QVERIFY(days.size() >= 50);
    QVERIFY(pupilsToday.size() > tables.activePupilCount / 2);
}

void TestDataTool::demoKeepsTheTeachersFiles()
{
    DemoFixture demo;
    const QByteArray criteria = encodeCp932("目標Time\r\n55,110,300,10,1,30,1500,7,1,,,\r\n");
    demo.write("shared/ranvex/タイム回数データ.txt", criteria);
    const QByteArray results = record(3, 1, 58).toBytes();
    demo.write("shared/ranvex/成績累積データ.dat", results);
    QFile::remove(demo.dir.path() + "/shared/音フォルダ/合格.wav");

    const ToolRun run = runTool({"demo", demo.dir.path()});
    QCOMPARE(run.status, 0);
    QCOMPARE(demo.read("shared/ranvex/タイム回数データ.txt"), criteria);
    QCOMPARE(demo.read("shared/ranvex/成績累積データ.dat"), results);
    QVERIFY(QFile::exists(demo.dir.path() + "/shared/音フォルダ/合格.wav"));
}

QTEST_GUILESS_MAIN(TestDataTool)
#include "test_data_tool.moc"
