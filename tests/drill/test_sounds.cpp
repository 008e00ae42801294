#include "core/hensuu1.h"
#include "drill/sounds.h"
#include "test_support.h"

#include <QTest>

namespace {

QStringList filesOf(int kind, int rows)
{
    QStringList files;
    for (int row = 1; row <= rows; ++row)
        files << hensuu1().soundTable[kind][row];
    return files;
}

QStringList numbered(const QString &stem, int count)
{
    QStringList names;
    for (int i = 1; i <= count; ++i)
        names << stem + QString::number(i);
    return names;
}

} // namespace

class TestSounds : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void soundList_data();
    void soundList();
    void loadsTheListOfTheSoundFolder();
    void missingListEndsTheProgram();
    void playsOneFileOfTheKind_data();
    void playsOneFileOfTheKind();
    void fixedFiles();
    void answerSoundFailures_data();
    void answerSoundFailures();
};

void TestSounds::soundList_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("files"); // rows 1.. as stored
    QTest::addColumn<QString>("count");     // row 21

    QTest::newRow("one group") << "正解音2,ok1,ok2,ok3,*" << 2 << QStringList{"ok1", "ok2", "ok3", ""} << "3";
    QTest::newRow("one value a line, quoted") << "\"間違い音2\"\n\"boo\"\n\"*\"\n"
                                              << 4 << QStringList{"boo", ""} << "1";
    QTest::newRow("several groups") << "正解音2,a,*,間違い音2,b,c,*,不合格音1,d,*" << 4
                                    << QStringList{"b", "c"} << "2";
    QTest::newRow("an empty group") << "自己最高音2,*" << 8 << QStringList{""} << "0";
    QTest::newRow("19 files, the star the twentieth value")
        << "正解音2," + numbered("f", 19).join(',') + ",*" << 2 << numbered("f", 19) << "19";
    QTest::newRow("20 files and no star: all stored, no count")
        << "正解音2," + numbered("f", 20).join(',') + ",*" << 2 << numbered("f", 20) << "";
    QTest::newRow("after 20 values the next is read as a new group")
        << "正解音2," + numbered("f", 20).join(',') + ",間違い音2,x,*" << 4 << QStringList{"x"} << "1";
    QTest::newRow("a kind listed twice: the later group over the earlier")
        << "正解音2,a,b,c,*,正解音2,x,*" << 2 << QStringList{"x", "b", "c"} << "1";
    QTest::newRow("values outside groups are skipped")
        << "音の一覧,1,2,*,正解音2,a,*,おわり" << 2 << QStringList{"a", ""} << "1";
    QTest::newRow("a kind's name inside a group is a file name")
        << "正解音2,間違い音2,*" << 2 << QStringList{"間違い音2"} << "1";
    QTest::newRow("that name starts no group of its own")
        << "正解音2,間違い音2,*" << 4 << QStringList{""} << "";
    QTest::newRow("the file ends inside a group") << "正解音2,a,b" << 2 << QStringList{"a", "b", ""} << "";
    QTest::newRow("a kind without a group") << "正解音2,a,*" << 10 << QStringList{""} << "";
    QTest::newRow("names are compared exactly") << "正解音２,a,*" << 2 << QStringList{""} << "";
}

void TestSounds::soundList()
{
    QFETCH(QString, list);
    QFETCH(int, kind);
    QFETCH(QStringList, files);
    QFETCH(QString, count);

    FakeEnvironment fakes;
    fillSoundTable(list);
    const auto &table = hensuu1().soundTable;
    QCOMPARE(filesOf(kind, static_cast<int>(files.size())), files);
    QCOMPARE(table[kind][21], count);
    QCOMPARE(table[1][0], QStringLiteral("正解音1"));
    QCOMPARE(table[4][0], QStringLiteral("間違い音2"));
    QCOMPARE(table[9][0], QStringLiteral("自己最高音3"));
    QCOMPARE(table[10][0], QStringLiteral("不合格音1"));
}

void TestSounds::loadsTheListOfTheSoundFolder()
{
    FakeEnvironment fakes;
    TestClassroom classroom;
    hensuu1().soundFolder = classroom.sharedFolder() + "音フォルダ/";
    classroom.writeText(hensuu1().soundFolder + "新音ファイル.txt", "正解音2\nピンポン\nやった\n*\n");
    LoadSoundTable();
    QCOMPARE(filesOf(2, 2), (QStringList{"ピンポン", "やった"}));
    QCOMPARE(hensuu1().soundTable[2][21], QStringLiteral("2"));
    QVERIFY(fakes.dialogs.messages.isEmpty());
}

void TestSounds::missingListEndsTheProgram()
{
    FakeEnvironment fakes;
    TestClassroom classroom;
    hensuu1().soundFolder = classroom.sharedFolder() + "音フォルダ/";
    QVERIFY_THROWS_EXCEPTION(ProgramEnded, LoadSoundTable());
    QCOMPARE(fakes.dialogs.messages.size(), 1);
    QVERIFY(fakes.dialogs.messages[0].text.contains("新音ファイル.txt"));
    QVERIFY(fakes.dialogs.messages[0].text.contains("ファイルがありません"));
    QCOMPARE(fakes.dialogs.endedWith, 1);
}

void TestSounds::playsOneFileOfTheKind_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QList<double>>("draws");
    QTest::addColumn<QStringList>("played");

    QTest::newRow("one file every time")
        << "正解音2,ok,*" << QList<double>{0.0, 0.5, 0.99} << QStringList{"ok.wav", "ok.wav", "ok.wav"};
    QTest::newRow("three files by the draw") << "正解音2,a,b,c,*" << QList<double>{0.0, 0.34, 0.67, 0.999}
                                             << QStringList{"a.wav", "b.wav", "c.wav", "c.wav"};
    QTest::newRow("no count: the first file")
        << "正解音2," + numbered("f", 20).join(',') << QList<double>{0.9} << QStringList{"f1.wav"};
    QTest::newRow("no group: a file without a name")
        << "間違い音2,x,*" << QList<double>{0.5} << QStringList{".wav"};
}

void TestSounds::playsOneFileOfTheKind()
{
    QFETCH(QString, list);
    QFETCH(QList<double>, draws);
    QFETCH(QStringList, played);

    FakeEnvironment fakes;
    hensuu1().soundFolder = QStringLiteral("/school/音フォルダ/");
    fillSoundTable(list);
    fakes.random.values = draws;
    for (int i = 0; i < draws.size(); ++i)
        PlayCorrectSound();
    QStringList expected;
    for (const QString &file : played)
        expected << "/school/音フォルダ/" + file;
    QCOMPARE(fakes.sound.played, expected);
}

void TestSounds::fixedFiles()
{
    FakeEnvironment fakes;
    hensuu1().soundFolder = QStringLiteral("/school/音フォルダ/");
    fillSoundTable("正解音2,a,*,間違い音2,b,*,自己最高音2,c,*,不合格音1,d,*");
    PlayWarningSound();
    PlayBestOfAllSound();
    PlayPassSound();
    PlayPersonalBestSound();
    PlayFailSound();
    PlayWrongSound();
    QCOMPARE(fakes.sound.played, (QStringList{"/school/音フォルダ/警告1.wav", "/school/音フォルダ/最高1.wav",
                                              "/school/音フォルダ/合格.wav", "/school/音フォルダ/c.wav",
                                              "/school/音フォルダ/d.wav", "/school/音フォルダ/b.wav"}));
}

void TestSounds::answerSoundFailures_data()
{
    // One letter a play: C/W the right or wrong answer sound, P the pass sound, a
    // capital a success and a small letter a failure.
    QTest::addColumn<QString>("plays");
    QTest::addColumn<int>("endsAtPlay"); // 0: the program goes on

    QTest::newRow("three failures are tolerated") << "ccc" << 0;
    QTest::newRow("the fourth in a row ends") << "cccc" << 4;
    QTest::newRow("two of each sound in a row end") << "ccww" << 4;
    QTest::newRow("alternating sounds share the count") << "wcwc" << 4;
    QTest::newRow("a success in between resets") << "cccCccc" << 0;
    QTest::newRow("and counting starts again") << "cccWcccc" << 8;
    QTest::newRow("other sounds' failures are not counted") << "cccppp" << 0;
    QTest::newRow("nor do their successes reset") << "cccPc" << 5;
}

void TestSounds::answerSoundFailures()
{
    QFETCH(QString, plays);
    QFETCH(int, endsAtPlay);

    FakeEnvironment fakes;
    fillSoundTable("正解音2,a,*,間違い音2,b,*");
    const QString error = QStringLiteral("指定されたファイルが見つかりません。");
    for (QChar play : plays)
        fakes.sound.results << (play.isUpper() ? SoundResult{} : SoundResult{275, error});
    int played = 0;
    try {
        for (QChar play : plays) {
            ++played;
            switch (play.toLower().unicode()) {
            case u'c':
                PlayCorrectSound();
                break;
            case u'w':
                PlayWrongSound();
                break;
            default:
                PlayPassSound();
            }
        }
        played = 0;
    } catch (const ProgramEnded &) {
    }
    QCOMPARE(played, endsAtPlay);
    if (endsAtPlay == 0) {
        QVERIFY(fakes.dialogs.messages.isEmpty());
        return;
    }
    QCOMPARE(fakes.dialogs.messages.size(), 1);
    const FakeDialogs::Message &message = fakes.dialogs.messages[0];
    QCOMPARE(message.title, QStringLiteral("音声エラー"));
    QCOMPARE(message.buttons, DialogButtons::Ok);
    const QString lead = QStringLiteral("音声がでません。先生を呼びなさい。\r\n");
    QCOMPARE(message.text, lead + error.leftJustified(255, u' '));
    QCOMPARE(fakes.dialogs.endedWith, 1);
    QCOMPARE(hensuu1().mciResultCode, QStringLiteral("275"));
}

QTEST_GUILESS_MAIN(TestSounds)
#include "test_sounds.moc"
