#include "core/handoffs.h"
#include "core/hensuu1.h"
#include "core/levels.h"
#include "core/startup.h"
#include "results/criteria_table.h"
#include "test_support.h"

#include <QFile>
#include <QTest>

class TestStartup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void splitsSchoolCode_data();
    void splitsSchoolCode();
    void programFolderName_data();
    void programFolderName();
    void seasonColour_data();
    void seasonColour();
    void eraCaption_data();
    void eraCaption();
    void loadsConfigurationInOrder();
    void pathWithoutFinalSeparatorIsUsedAsWritten();
    void backslashesInPathFileAreSeparators();
    void badConfigurationEndsWithMessage_data();
    void badConfigurationEndsWithMessage();
    void levelCatalogue();
};

void TestStartup::splitsSchoolCode_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::newRow("code and name") << "12345本町教室" << "12345" << "本町教室";
    QTest::newRow("name only") << "本町教室" << "" << "本町教室";
    QTest::newRow("five zeros keep the whole text") << "00000本町" << "" << "00000本町";
    QTest::newRow("code only") << "12345" << "12345" << "";
    QTest::newRow("short code") << "123" << "123" << "";
    QTest::newRow("digits then text inside five") << "12本町教室" << "12本町教" << "室";
    QTest::newRow("empty") << "" << "" << "";
}

void TestStartup::splitsSchoolCode()
{
    QFETCH(QString, value);
    QFETCH(QString, code);
    QFETCH(QString, name);
    const SchoolIdentity school = splitSchoolCode(value);
    QCOMPARE(school.code, code);
    QCOMPARE(school.name, name);
}

void TestStartup::programFolderName_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("name");
    QTest::newRow("nested") << QDir::toNativeSeparators("/home/juku/教室/ranvex") << "ranvex";
    QTest::newRow("one level") << QDir::toNativeSeparators("/ranvex") << "ranvex";
    QTest::newRow("drive root") << "" << "";
    QTest::newRow("no separator") << "ranvex" << "ranvex";
}

void TestStartup::programFolderName()
{
    QFETCH(QString, folder);
    QFETCH(QString, name);
    QCOMPARE(::programFolderName(folder), name);
}

void TestStartup::seasonColour_data()
{
    QTest::addColumn<int>("month");
    QTest::addColumn<QColor>("colour");
    const QColor orange(255, 128, 0), paleGreen(192, 255, 192), blueGreen(0, 192, 192), brown(192, 64, 0);
    const QColor byMonth[] = {orange,    orange,    paleGreen, paleGreen, paleGreen, blueGreen,
                              blueGreen, blueGreen, brown,     brown,     brown,     paleGreen};
    for (int month = 1; month <= 12; ++month)
        QTest::addRow("month %d", month) << month << byMonth[month - 1];
    QTest::newRow("outside the year") << 13 << QColor(0, 0, 0);
}

void TestStartup::seasonColour()
{
    QFETCH(int, month);
    QFETCH(QColor, colour);
    QCOMPARE(seasonColorForMonth(month), colour);
}

void TestStartup::eraCaption_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("caption");
    QTest::newRow("Reiwa") << QDate(2026, 12, 9) << "令和8年 12月 09日（水）";
    QTest::newRow("first day of Reiwa") << QDate(2019, 5, 1) << "令和元年 5月 01日（水）";
    QTest::newRow("last day of Heisei") << QDate(2019, 4, 30) << "平成31年 4月 30日（火）";
    QTest::newRow("Heisei") << QDate(2000, 4, 5) << "平成12年 4月 05日（水）";
}

void TestStartup::eraCaption()
{
    QFETCH(QDate, date);
    QFETCH(QString, caption);
    QCOMPARE(eraDateCaption(date), caption);
}

void TestStartup::loadsConfigurationInOrder()
{
    FakeEnvironment fakes;
    TestClassroom classroom;
    classroom.writeConfiguration();
    QStringList steps;
    handoffs().loadCriteriaTable = [&](const QString &path) {
        steps << "criteria:" + path << "title:" + hensuu1().programTitle;
        return LoadCriteriaTable(path);
    };
    handoffs().loadSoundTable = [&] { steps << "sounds"; };
    handoffs().showNameSelection = [&] { steps << "names"; };

    ContinueStartup(classroom.programFolder());

    const Hensuu1 &h = hensuu1();
    QCOMPARE(steps, (QStringList{"criteria:" + classroom.dataFolder() + "タイム回数データ.txt", "title:Ranvex",
                                 "sounds", "names"}));
    QCOMPARE(h.appFolder, classroom.programFolder() + pathSeparator());
    QCOMPARE(h.dataPathSetting, classroom.sharedFolder());
    QCOMPARE(h.programFolderName, QStringLiteral("ranvex"));
    QCOMPARE(h.dataFolder, classroom.dataFolder());
    QCOMPARE(h.soundFolder, classroom.sharedFolder() + "音フォルダ" + pathSeparator());
    QCOMPARE(h.schoolYearStartMonth, 4.0);
    QCOMPARE(h.schoolCode, QStringLiteral("12345"));
    QCOMPARE(h.schoolName, QStringLiteral("本町教室"));
    QCOMPARE(h.listStatusTwoPupils, 1.0);
    QCOMPARE(h.allLevelsOpen, int16_t(1));
    QCOMPARE(h.passTime[2], 90);
    QVERIFY(fakes.dialogs.messages.isEmpty());
}

void TestStartup::pathWithoutFinalSeparatorIsUsedAsWritten()
{
    FakeEnvironment fakes;
    TestClassroom classroom;
    const QString base = classroom.root() + pathSeparator() + "base";
    classroom.writeText(classroom.root() + "/パスデータ.txt", base + ",0,0,0,0,0,0,0,0,0\n");
    classroom.writeText(base + "共通データ.txt", "4,教室,0,0,0,0,0,0,0,0\n");
    handoffs().loadCriteriaTable = [](const QString &) { return QString(); };

    QVERIFY(!LoadStartupConfiguration(classroom.programFolder()));
    QCOMPARE(hensuu1().dataFolder, base + "ranvex" + pathSeparator());
    QCOMPARE(hensuu1().soundFolder, base + "音フォルダ" + pathSeparator());
}

void TestStartup::backslashesInPathFileAreSeparators()
{
    FakeEnvironment fakes;
    TestClassroom classroom;
    classroom.writeConfiguration();
    QString windowsStyle = classroom.sharedFolder();
    windowsStyle.replace('/', '\\');
    classroom.writeText(classroom.root() + "/パスデータ.txt", windowsStyle + ",0,0,0,0,0,0,0,0,0\n");
    handoffs().loadCriteriaTable = LoadCriteriaTable;

    QVERIFY(!LoadStartupConfiguration(classroom.programFolder()));
    QCOMPARE(hensuu1().dataPathSetting, classroom.sharedFolder());
}

void TestStartup::badConfigurationEndsWithMessage_data()
{
    QTest::addColumn<QString>("file"); // relative to the classroom
    QTest::addColumn<QString>("content"); // empty: the file is removed
    QTest::addColumn<QString>("problem");
    QTest::newRow("path file missing") << "パスデータ.txt" << "" << "ファイルがありません。";
    QTest::newRow("path file short") << "パスデータ.txt" << "a,b,c\n" << "4番目の値がありません";
    QTest::newRow("path file empty base") << "パスデータ.txt" << ",0,0,0,0,0,0,0,0,0\n" << "1番目の値（共有フォルダ）が空です";
    QTest::newRow("common data missing") << "shared/共通データ.txt" << "" << "ファイルがありません。";
    QTest::newRow("common data short") << "shared/共通データ.txt" << "4,教室,0\n" << "4番目の値がありません";
    QTest::newRow("criteria missing") << "shared/ranvex/タイム回数データ.txt" << "" << "ファイルがありません。";
    QTest::newRow("criteria without level 3") << "shared/ranvex/タイム回数データ.txt"
                                              << "c,c,c,c,c,c,c,c,c,,,\n60,120,300,10,1,0,0,7,1,,,\n"
                                                 "90,150,300,10,1,0,0,7,1,,,\n"
                                              << "レベル3の行がありません。";
    QTest::newRow("criteria with level 3 cut short") << "shared/ranvex/タイム回数データ.txt"
                                                     << "c,c,c,c,c,c,c,c,c,,,\n60,120,300,10,1,0,0,7,1,,,\n"
                                                        "90,150,300,10,1,0,0,7,1,,,\n120,200\n"
                                                     << "レベル3の行の値が足りません";
}

void TestStartup::badConfigurationEndsWithMessage()
{
    QFETCH(QString, file);
    QFETCH(QString, content);
    QFETCH(QString, problem);
    FakeEnvironment fakes;
    TestClassroom classroom;
    classroom.writeConfiguration();
    const QString path = QDir::toNativeSeparators(classroom.root() + "/" + file);
    if (content.isEmpty())
        QVERIFY(QFile::remove(path));
    else
        classroom.writeText(path, content);
    handoffs().loadCriteriaTable = LoadCriteriaTable;
    bool nameScreenShown = false;
    handoffs().showNameSelection = [&] { nameScreenShown = true; };

    QVERIFY_THROWS_EXCEPTION(ProgramEnded, ContinueStartup(classroom.programFolder()));
    QCOMPARE(fakes.dialogs.endedWith, 1);
    QCOMPARE(fakes.dialogs.messages.size(), 1);
    const QString text = fakes.dialogs.messages[0].text;
    QVERIFY2(text.contains(path), qPrintable(text));
    QVERIFY2(text.contains(problem), qPrintable(text));
    QVERIFY(!nameScreenShown);
}

void TestStartup::levelCatalogue()
{
    FakeEnvironment fakes;
    bool menuShown = false;
    handoffs().showLevelMenu = [&] { menuShown = true; };
    OpenLevelMenu();
    OpenLevelMenu();
    const Hensuu1 &h = hensuu1();
    QVERIFY(menuShown);
    QCOMPARE(h.levelCount, int16_t(3));
    QCOMPARE(h.goalLevel, 3);
    QCOMPARE(h.levelNames[1], QStringLiteral("レベル１"));
    QCOMPARE(h.levelNames[5], QStringLiteral("レベル２－１"));
    QCOMPARE(h.levelNames[11], QStringLiteral("レベル４－1"));
    QCOMPARE(h.levelNames[20], QStringLiteral("レベル７－1"));
    QCOMPARE(h.levelNames[24], QStringLiteral("レベル８－２"));
    for (int level : {0, 25, 35}) {
        QVERIFY(h.levelNames[level].isEmpty());
        QCOMPARE(h.levelKind[level], int16_t(0));
    }
    QCOMPARE(h.levelKind[24], int16_t(1));
    QVERIFY(!isPracticeLevel(3));
    QVERIFY(isPracticeLevel(7));
}

QTEST_GUILESS_MAIN(TestStartup)
#include "test_startup.moc"
