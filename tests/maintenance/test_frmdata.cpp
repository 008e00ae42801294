#include "app/data_tool.h"
#include "core/handoffs.h"
#include "core/hensuu1.h"
#include "core/screen_host.h"
#include "maintenance/FrmData.h"
#include "results/results_journal.h"
#include "system_errors.h"
#include "test_support.h"

#include <QFile>
#include <QProcess>
#include <QTest>

#include <algorithm>

Q_DECLARE_METATYPE(DialogAnswer)

namespace
{

const QString kRoster = "3,2018,0,0,\"青木　ひなた\",0,\"\",\"\"\n"
                        "7,2017,0,0,\"山田\",0,\"\",\"\"\n"
                        "12,2016,0,0,\"石田　蓮\",1,\"\",\"\"\n";

// Record id: a day of its own, so that its line is found by its date.
ResultRecord sample(int id)
{
    ResultRecord r;
    r.date = 45000 + id;
    r.timeOfDay = 0.5;
    r.pupil = 3;
    r.level = static_cast<int16_t>(1 + id % 3);
    r.resultTime = 100 + id;
    r.schoolCode = schoolCodeText("12345");
    return r;
}

QByteArray samples(const QList<int> &ids)
{
    QByteArray bytes;
    for (int id : ids)
        bytes += sample(id).toBytes();
    return bytes;
}

QList<int> range(int first, int last)
{
    QList<int> ids;
    for (int id = first; id <= last; ++id)
        ids << id;
    return ids;
}

} // namespace

class TestFrmData : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void panelShownAndHidden();
    void changeKeepsTheRestAndSelectsTheLine();
    void refusedChangeWritesNothing();
    void deleteSelectsTheNextLine_data();
    void deleteSelectsTheNextLine();
    void listReadBeforeAnotherPCsDeleteWritesNothing_data();
    void listReadBeforeAnotherPCsDeleteWritesNothing();
    void filesMissingOrHeld_data();
    void filesMissingOrHeld();
    void racingOtherProcessesLosesNoRecord();
    void interruptedRewritesToldInOneMessage();
    void toolCommandsAsTheScreen_data();
    void toolCommandsAsTheScreen();

private:
    QString resultsPath() const { return hensuu1().dataFolder + kResultsFileName; }
    QByteArray results() const { return m_classroom->readBytes(resultsPath()); }
    FrmData *open(const QByteArray &results);
    void doubleClick(FrmData *screen, int row);
    int runDeleter(int record);

    FakeEnvironment *m_fakes = nullptr;
    TestClassroom *m_classroom = nullptr;
    int m_menus = 0;
};

void TestFrmData::init()
{
    m_fakes = new FakeEnvironment;
    m_classroom = new TestClassroom;
    m_classroom->loadConfiguration();
    m_classroom->writeText(hensuu1().dataPathSetting + kRosterFileName, kRoster);
    m_menus = 0;
    handoffs().showLevelMenu = [this] { ++m_menus; };
}

void TestFrmData::cleanup()
{
    fileFaultHook() = {};
    delete m_classroom;
    delete m_fakes;
}

FrmData *TestFrmData::open(const QByteArray &results)
{
    if (!results.isNull())
        m_classroom->writeBytes(resultsPath(), results);
    ScreenHost &host = ScreenHost::instance();
    host.start(WindowMode::Windowed);
    auto *screen = new FrmData;
    host.show(screen);
    return screen;
}

void TestFrmData::doubleClick(FrmData *screen, int row)
{
    // As the mouse does it: the first click, then the second one of the double-click.
    const QPoint at = screen->List1->visualRect(screen->listModel->index(row)).center();
    QTest::mouseClick(screen->List1->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(screen->List1->viewport(), Qt::LeftButton, {}, at);
}

// Another PC deletes a record, with the data tool: 0 when it did.
int TestFrmData::runDeleter(int record)
{
    QProcess tool;
    tool.start(RANVEX_DATA,
               {"--base", hensuu1().dataPathSetting, "delete", "--record", QString::number(record)});
    return tool.waitForFinished(60'000) ? tool.exitCode() : -1;
}

void TestFrmData::panelShownAndHidden()
{
    ResultRecord timedOut = sample(2);
    timedOut.resultTime = kTimedOut;
    FrmData *screen = open(samples({1}) + timedOut.toBytes() + samples({3}));
    QVERIFY(screen->List1->isVisible());
    QCOMPARE(screen->listModel->rowCount(), 3);
    QVERIFY(!screen->Picture3->isVisible());
    QVERIFY(!screen->Command2->isEnabled());

    doubleClick(screen, 1);
    QVERIFY(screen->Picture3->isVisible());
    QCOMPARE(screen->Label1->text(), "2");
    QCOMPARE(screen->Combo1->currentText(), "3 /  青木　ひなた");
    QCOMPARE(screen->Combo1->count(), 3); // the pupil who is not listed too
    QCOMPARE(screen->Text1[1]->text(), "99999");
    QCOMPARE(screen->VScroll1->value(), kSpinnerTop);
    QVERIFY(screen->Command2->isEnabled() && screen->Command3->isEnabled());
    screen->VScroll1->setValue(120);
    QCOMPARE(screen->Text1[1]->text(), "120");
    Q_EMIT screen->Combo1->activated(2);
    QCOMPARE(screen->Label2[4]->text(), "小４");

    screen->Command6->click();
    QVERIFY(screen->Picture3->isVisible());
    const QRect line = screen->List1->visualRect(screen->listModel->index(0));
    QTest::mouseClick(screen->List1->viewport(), Qt::LeftButton, {}, line.center());
    QVERIFY(!screen->Picture3->isVisible());
    QVERIFY(screen->Command2->isEnabled());

    screen->Command4->click();
    QVERIFY(screen->Picture1->isVisible());
    QCOMPARE(m_menus, 1);
}

void TestFrmData::changeKeepsTheRestAndSelectsTheLine()
{
    FrmData *screen = open(samples(range(1, 4)));
    doubleClick(screen, 2);
    screen->Combo1->setEditText("7 /  山田");
    screen->Text1[1]->setText("45.5");
    screen->Command2->click();

    ResultRecord changed = sample(3);
    changed.pupil = 7;
    changed.resultTime = 46;
    QCOMPARE(results(), samples({1, 2}) + changed.toBytes() + samples({4}));
    QCOMPARE(screen->List1->currentIndex().row(), 2);
    QVERIFY(screen->listModel->lines()[2].text.contains("山田"));
    QVERIFY(!screen->Picture3->isVisible());
}

void TestFrmData::refusedChangeWritesNothing()
{
    FrmData *screen = open(samples(range(1, 3)));
    doubleClick(screen, 1);
    screen->Combo1->setEditText("7");
    screen->Command2->click();
    QCOMPARE(m_fakes->dialogs.messages.size(), 1);
    QVERIFY(m_fakes->dialogs.messages[0].text.contains("/"));
    QCOMPARE(results(), samples(range(1, 3)));
    QVERIFY(screen->Picture3->isVisible());
}

void TestFrmData::deleteSelectsTheNextLine_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("row");
    QTest::addColumn<DialogAnswer>("answer");
    QTest::addColumn<QList<int>>("remaining");
    QTest::addColumn<int>("selected");
    QTest::newRow("middle: the next one") << 4 << 1 << DialogAnswer::Ok << QList<int>{1, 3, 4} << 1;
    QTest::newRow("last: the new last") << 4 << 3 << DialogAnswer::Ok << QList<int>{1, 2, 3} << 2;
    QTest::newRow("only: none") << 1 << 0 << DialogAnswer::Ok << QList<int>{} << -1;
    QTest::newRow("cancelled") << 3 << 1 << DialogAnswer::Cancel << QList<int>{1, 2, 3} << 1;
}

void TestFrmData::deleteSelectsTheNextLine()
{
    QFETCH(int, count);
    QFETCH(int, row);
    QFETCH(DialogAnswer, answer);
    QFETCH(QList<int>, remaining);
    QFETCH(int, selected);
    FrmData *screen = open(samples(range(1, count)));
    doubleClick(screen, row);
    m_fakes->dialogs.answers << answer;
    screen->Command3->click();

    QCOMPARE(m_fakes->dialogs.messages.size(), 1);
    QCOMPARE(m_fakes->dialogs.messages[0].text, "本当に消去しますか");
    QCOMPARE(m_fakes->dialogs.messages[0].title, "注意");
    QCOMPARE(m_fakes->dialogs.messages[0].buttons, DialogButtons::OkCancel);
    QCOMPARE(results(), samples(remaining));
    QCOMPARE(screen->listModel->rowCount(), remaining.size());
    QCOMPARE(screen->List1->currentIndex().row(), selected);
    QCOMPARE(screen->Picture3->isVisible(), answer == DialogAnswer::Cancel);
}

void TestFrmData::listReadBeforeAnotherPCsDeleteWritesNothing_data()
{
    QTest::addColumn<bool>("deleting");
    QTest::newRow("change") << false;
    QTest::newRow("delete") << true;
}

void TestFrmData::listReadBeforeAnotherPCsDeleteWritesNothing()
{
    QFETCH(bool, deleting);
    FrmData *screen = open(samples(range(1, 5)));
    doubleClick(screen, 2);
    QCOMPARE(runDeleter(1), 0);
    // Record 3 is now another record; writing the panel's copy over it would lose that one.
    if (deleting) {
        screen->Command3->click();
    } else {
        screen->Text1[1]->setText("50");
        screen->Command2->click();
    }
    QCOMPARE(results(), samples(range(2, 5)));
    QVERIFY(!m_fakes->dialogs.messages.isEmpty());
    QVERIFY(m_fakes->dialogs.messages.last().text.contains("ほかのPC"));
    QCOMPARE(screen->listModel->rowCount(), 4);
    QVERIFY(!screen->Picture3->isVisible());
}

void TestFrmData::filesMissingOrHeld_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("busyReads");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("messages");
    QTest::addColumn<int>("lines");
    QTest::newRow("results missing") << QString(kResultsFileName) << 0 << QString(kResultsFileName) << 1 << 0;
    QTest::newRow("roster missing") << QString(kRosterFileName) << 0 << QString(kRosterFileName) << 1 << 0;
    QTest::newRow("results held by another PC") << QString() << 2 << "先生を呼びなさい" << 2 << 3;
}

void TestFrmData::filesMissingOrHeld()
{
    QFETCH(QString, file);
    QFETCH(int, busyReads);
    QFETCH(QString, message);
    QFETCH(int, messages);
    QFETCH(int, lines);
    m_classroom->writeBytes(resultsPath(), samples(range(1, 3)));
    if (file == kRosterFileName)
        QFile::remove(hensuu1().dataPathSetting + file);
    if (file == kResultsFileName)
        QFile::remove(resultsPath());
    const QString path = resultsPath();
    fileFaultHook() = [&](FileStep step, const QString &at) {
        return step == FileStep::Read && at == path && busyReads-- > 0 ? kErrorLockHeld : 0;
    };
    FrmData *screen = open({});
    QCOMPARE(screen->listModel->rowCount(), lines);
    QCOMPARE(m_fakes->dialogs.messages.size(), messages);
    QVERIFY(m_fakes->dialogs.messages[0].text.contains(message));
    // Nothing is created in a missing file's place.
    QCOMPARE(QFile::exists(path), file != kResultsFileName);
}

void TestFrmData::racingOtherProcessesLosesNoRecord()
{
    // The screen changes records 31..35 and deletes 36..40 while one PC appends 60
    // records and another deletes the first record twelve times.
    FrmData *screen = open(samples(range(1, 40)));
    QProcess writer;
    writer.start(RESULTS_FILE_HELPER, {"append", hensuu1().dataFolder, "7", "60", "25"});
    QVERIFY(writer.waitForStarted());
    QProcess deleter;
    int deleterRuns = 0;
    int deleted = 0;
    const auto startDeleter = [&] {
        ++deleterRuns;
        deleter.start(RANVEX_DATA, {"--base", hensuu1().dataPathSetting, "delete", "--record", "1"});
    };
    connect(&deleter, &QProcess::finished, this, [&](int code) {
        deleted += code == 0 ? 1 : 0;
        if (deleterRuns < 12)
            startDeleter();
    });
    startDeleter();

    const auto edit = [&](int id, bool deleting) {
        const QString day = recordDateText(45000 + id);
        for (int attempt = 0;; ++attempt) {
            QVERIFY(attempt < 300);
            screen->buildList();
            const QList<RecordLine> &lines = screen->listModel->lines();
            const auto line = std::find_if(lines.begin(), lines.end(),
                                           [&](const RecordLine &l) { return l.text.contains(day); });
            QVERIFY(line != lines.end());
            screen->openEditPanel(static_cast<int>(line - lines.begin()));
            // The first try of each record waits for the other PC's next deletion after
            // the list was read; the later ones only leave it room.
            const int deletedBefore = deleted;
            QTest::qWait(20);
            if (attempt == 0)
                QTRY_VERIFY_WITH_TIMEOUT(deleted > deletedBefore || deleterRuns == 12, 30'000);
            const qsizetype before = m_fakes->dialogs.messages.size();
            if (deleting) {
                screen->Command3->click();
            } else {
                screen->Text1[1]->setText(QString::number(7000 + id));
                screen->Command2->click();
            }
            const auto &messages = m_fakes->dialogs.messages;
            if (std::none_of(messages.begin() + before, messages.end(),
                             [](const FakeDialogs::Message &m) { return m.text.contains("ほかのPC"); }))
                return;
        }
    };
    for (int id = 31; id <= 40; ++id) {
        edit(id, id > 35);
        if (QTest::currentTestFailed())
            return;
    }
    const auto &messages = m_fakes->dialogs.messages;
    QVERIFY(std::any_of(messages.begin(), messages.end(),
                        [](const FakeDialogs::Message &m) { return m.text.contains("ほかのPC"); }));
    QTRY_VERIFY_WITH_TIMEOUT(writer.state() == QProcess::NotRunning, 120'000);
    QCOMPARE(writer.exitCode(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(deleterRuns == 12 && deleter.state() == QProcess::NotRunning, 120'000);
    QCOMPARE(deleted, 12);

    // The other PC deleted the first records 1..12; the screen wrote only where it meant to.
    QByteArray expected = samples(range(13, 30));
    for (int id = 31; id <= 35; ++id) {
        ResultRecord changed = sample(id);
        changed.resultTime = 7000 + id;
        expected += changed.toBytes();
    }
    const QByteArray bytes = results();
    QCOMPARE(bytes.left(expected.size()), expected);
    const QByteArray appended = bytes.mid(expected.size());
    QCOMPARE(recordCountOf(appended), 60);
    for (int n = 1; n <= 60; ++n) {
        QCOMPARE(int(recordAt(appended, n).pupil), 7);
        QCOMPARE(recordAt(appended, n).resultTime, n);
    }
    QVERIFY(!QFile::exists(hensuu1().dataFolder + kResultsTempFileName));
}

// A deletion that stopped on this PC, and a change another PC's pupil mended since:
// the screen, as it opens, puts right what is left and tells both at once.
void TestFrmData::interruptedRewritesToldInOneMessage()
{
    m_classroom->writeBytes(resultsPath(), samples(range(1, 4)));
    const QString path = resultsPath();
    fileFaultHook() = [&](FileStep step, const QString &file) {
        return step == FileStep::Write && file == path ? kErrorIo : 0;
    };
    // Beyond the half of the record that a failing write still writes.
    ResultRecord changed = sample(1);
    changed.resultTime = 70000;
    QVERIFY(!rewriteResultRecord(path, 1, changed).ok());
    hensuu1().currentPupil = 7;
    hensuu1().currentLevel = 1;
    fileFaultHook() = {};
    AppendResultRecord(); // the pupil's PC mends the change
    fileFaultHook() = [&](FileStep step, const QString &file) {
        return step == FileStep::Write && file == path ? kErrorIo : 0;
    };
    QVERIFY(!deleteResultRecord(path, 2).ok());
    fileFaultHook() = {};
    m_fakes->dialogs.messages.clear();

    FrmData *screen = open({});
    QCOMPARE(m_fakes->dialogs.messages.size(), 1);
    const QString text = m_fakes->dialogs.messages[0].text;
    QVERIFY2(text.contains("記録1の変更が途中で止まっていたので、取り消しました") &&
                 text.contains("記録2の消去が途中で止まっていたので、取り消しました"),
             qPrintable(text));
    QCOMPARE(screen->listModel->rowCount(), 5);
    QCOMPARE(results().left(4 * kRecordSize), samples(range(1, 4)));
    // Told once.
    open({});
    QCOMPARE(m_fakes->dialogs.messages.size(), 1);
}

void TestFrmData::toolCommandsAsTheScreen_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("after");
    ResultRecord changed = sample(2);
    changed.resultTime = 46;
    const QByteArray before = samples(range(1, 3));
    QTest::newRow("edit the time") << QStringList{"edit", "--record", "2", "--time", "45.5"} << 0
                                   << samples({1}) + changed.toBytes() + samples({3});
    QTest::newRow("edit to a pupil not on the roster")
        << QStringList{"edit", "--record", "2", "--pupil", "9999"} << 1 << before;
    QTest::newRow("edit without a value") << QStringList{"edit", "--record", "2"} << 2 << before;
    QTest::newRow("delete") << QStringList{"delete", "--record", "1"} << 0 << samples({2, 3});
    QTest::newRow("delete of no record") << QStringList{"delete", "--record", "4"} << 1 << before;
    QTest::newRow("delete of no number") << QStringList{"delete", "--record", "x"} << 2 << before;
}

void TestFrmData::toolCommandsAsTheScreen()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QByteArray, after);
    FrmData *screen = open(samples(range(1, 3)));
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    const QStringList base{"--base", hensuu1().dataPathSetting};
    QCOMPARE(runDataTool(base + QStringList{"records", "--now", "2026/12/09 10:00:00"}, outStream, errStream),
             0);
    outStream.flush();
    QStringList screenLines;
    for (const RecordLine &line : screen->listModel->lines())
        screenLines << line.text;
    QCOMPARE(out.split('\n', Qt::SkipEmptyParts), screenLines);

    QCOMPARE(runDataTool(base + arguments, outStream, errStream), status);
    errStream.flush();
    QCOMPARE(err.isEmpty(), status == 0);
    QCOMPARE(results(), after);
}

QTEST_MAIN(TestFrmData)
#include "test_frmdata.moc"
