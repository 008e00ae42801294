#include "app/wiring.h"
#include "core/handoffs.h"
#include "core/hensuu1.h"
#include "core/levels.h"
#include "core/screen_host.h"
#include "core/text_values.h"
#include "maintenance/FrmTimeData.h"
#include "maintenance/criteria_sheet.h"
#include "menu/seisekitime1.h"
#include "results/results_file.h"
#include "test_support.h"

#include <QDir>
#include <QTest>

namespace
{
const QString kCaptionLine =
    QStringLiteral("目標Time,最低Time,ｸﾘｱﾎﾟｲﾝﾄ,ｸﾘｱ回数,ﾎﾟｲﾝﾄ倍率,禁回,禁点,判期間,禁期間,,,\r\n");
// As another program may have left it: quotes, a blank before a value, a note in a
// kept field.
const QString kFileText = kCaptionLine + "60,120,300,10,1,30,1500,7,1,,,\r\n"
                                         "90,150,300,10,1.5,30,1500,\"7\",1,,,\r\n"
                                         "120, 200,300,10,2,,,7,1,メモ,,x\r\n";

QString criteriaPath(const TestClassroom &classroom)
{
    return classroom.dataFolder() + "タイム回数データ.txt";
}

// A classroom whose criteria file holds kFileText; the sheet loaded from it.
struct SheetFixture {
    FakeEnvironment fakes;
    TestClassroom classroom;
    CriteriaSheet sheet;
    SheetFixture()
    {
        classroom.writeBytes(criteriaPath(classroom), encodeCp932(kFileText));
        const QString problem = sheet.load(criteriaPath(classroom));
        if (!problem.isEmpty())
            qFatal("%s", qPrintable(problem));
    }
};

// The editor opened on a working classroom with a few results of level 2, in the
// active window so that keys reach the edit box.
struct EditorFixture {
    FakeEnvironment fakes;
    TestClassroom classroom;
    FrmTimeData *editor = nullptr;
    int levelMenus = 0;

    EditorFixture()
    {
        classroom.loadConfiguration();
        ResultRecord record;
        record.pupil = 4;
        record.level = 2;
        record.resultTime = 84;
        classroom.writeBytes(classroom.dataFolder() + "成績累積データ.dat", record.toBytes());
        handoffs().showLevelMenu = [this] { ++levelMenus; };
        ScreenHost &host = ScreenHost::instance();
        host.start(WindowMode::Windowed);
        host.activateWindow();
        if (!QTest::qWaitForWindowActive(&host))
            qFatal("the window does not become active");
    }
    FrmTimeData *open()
    {
        editor = new FrmTimeData;
        ScreenHost::instance().show(editor);
        return editor;
    }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(editor->Gridinputtext, key, modifiers);
    }
    QColor background(int row, int column) const
    {
        return editor->MSFlexGrid1->item(row - 1, column)->background().color();
    }
    QByteArray criteriaBytes() const { return classroom.readBytes(criteriaPath(classroom)); }
};
} // namespace

class TestCriteriaEditor : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void loadsAndSavesTheFileThroughTheGrid();
    void keysStayWithinTheFields_data();
    void keysStayWithinTheFields();
    void shiftDownCopiesAndMarks();
    void saveRefusesFieldsThatWouldCorruptTheFile_data();
    void saveRefusesFieldsThatWouldCorruptTheFile();
    void unreadableFiles_data();
    void unreadableFiles();

    void screenKeysEditTheGrid();
    void clickMakesACellCurrent();
    void leaving_data();
    void leaving();
    void saveFromTheScreen();
    void missingFileReturnsToTheLevelMenu();
    void teacherChangesAPassTimeFromTheLevelMenu();
};

void TestCriteriaEditor::loadsAndSavesTheFileThroughTheGrid()
{
    SheetFixture f;
    CriteriaSheet &sheet = f.sheet;
    QCOMPARE(sheet.lastRow(), 3);
    QCOMPARE(sheet.rows()[0], criteriaCaptions());
    QCOMPARE(sheet.rows()[0].mid(0, 3), (QStringList{"レベル", "目標Time", "最低Time"}));
    QCOMPARE(sheet.rows()[2],
             (QStringList{"2", "90", "150", "300", "10", "1.5", "30", "1500", "7", "1", "", "", ""}));
    QCOMPARE(sheet.rows()[3],
             (QStringList{"3", "120", "200", "300", "10", "2", "", "", "7", "1", "メモ", "", "x"}));
    QCOMPARE(sheet.row(), 1);
    QCOMPARE(sheet.column(), 1);
    QCOMPARE(sheet.currentText(), QStringLiteral("60"));

    QVERIFY(sheet.pressKey(SheetKey::Down, sheet.currentText()));
    sheet.textToGrid("85");
    QVERIFY(sheet.changed(2, 1));
    QVERIFY(!sheet.changed(1, 1));
    QCOMPARE(sheet.criteriaChanged, int16_t(1));

    QCOMPARE(sheet.save(criteriaPath(f.classroom)), QString());
    // The caption line first, column 0 not written, every field without quotes.
    const QString golden = kCaptionLine + "60,120,300,10,1,30,1500,7,1,,,\r\n"
                                          "85,150,300,10,1.5,30,1500,7,1,,,\r\n"
                                          "120,200,300,10,2,,,7,1,メモ,,x\r\n";
    QCOMPARE(f.classroom.readBytes(criteriaPath(f.classroom)), encodeCp932(golden));
    QCOMPARE(sheet.criteriaChanged, int16_t(0));
    QVERIFY(sheet.changed(2, 1)); // yellow until the grid is loaded again
    // The running program judges by the new table at once.
    QCOMPARE(hensuu1().passTime[2], 85);
    QCOMPARE(hensuu1().criteriaExtra1[3].text, QStringLiteral("メモ"));

    sheet.textToGrid("86");
    QCOMPARE(sheet.load(criteriaPath(f.classroom)), QString());
    QCOMPARE(sheet.text(2, 1), QStringLiteral("85"));
    QVERIFY(!sheet.changed(2, 1));
    QCOMPARE(sheet.criteriaChanged, int16_t(1)); // loading again does not clear it
    QCOMPARE(sheet.row(), 2);
}

void TestCriteriaEditor::keysStayWithinTheFields_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("newRow");
    QTest::addColumn<int>("newColumn");
    const int up = int(SheetKey::Up);
    const int down = int(SheetKey::Down);
    const int left = int(SheetKey::Left);
    const int right = int(SheetKey::Right);
    QTest::newRow("up from row 1") << 1 << 4 << up << 1 << 4;
    QTest::newRow("up") << 3 << 4 << up << 2 << 4;
    QTest::newRow("down from the last row") << 3 << 4 << down << 3 << 4;
    QTest::newRow("down") << 1 << 4 << down << 2 << 4;
    QTest::newRow("left from column 1") << 2 << 1 << left << 2 << 1;
    QTest::newRow("left") << 2 << 12 << left << 2 << 11;
    QTest::newRow("right from column 12") << 2 << 12 << right << 2 << 12;
    QTest::newRow("right") << 2 << 11 << right << 2 << 12;
}

void TestCriteriaEditor::keysStayWithinTheFields()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(int, key);
    QFETCH(int, newRow);
    QFETCH(int, newColumn);
    SheetFixture f;
    QVERIFY(f.sheet.select(row, column));
    const bool moved = f.sheet.pressKey(SheetKey(key), f.sheet.currentText());
    QCOMPARE(moved, newRow != row || newColumn != column);
    QCOMPARE(f.sheet.row(), newRow);
    QCOMPARE(f.sheet.column(), newColumn);
    QCOMPARE(f.sheet.criteriaChanged, int16_t(0));
}

void TestCriteriaEditor::shiftDownCopiesAndMarks()
{
    SheetFixture f;
    CriteriaSheet &sheet = f.sheet;
    QVERIFY(sheet.select(1, 2));
    QVERIFY(!sheet.pressKey(SheetKey::ShiftDown, "120"));
    QCOMPARE(sheet.text(2, 2), QStringLiteral("120"));
    QCOMPARE(sheet.text(3, 2), QStringLiteral("200"));
    QVERIFY(!sheet.pressKey(SheetKey::ShiftDown, "120"));
    QCOMPARE(sheet.text(3, 2), QStringLiteral("120"));
    QCOMPARE(sheet.row(), 1);
    // A copy is a change, as typing is; the cell copied from stays as it was.
    QVERIFY(sheet.changed(2, 2) && sheet.changed(3, 2));
    QVERIFY(!sheet.changed(1, 2));
    QCOMPARE(sheet.criteriaChanged, int16_t(1));

    // From the last row there is nothing below to copy into.
    const CriteriaGrid before = sheet.rows();
    QVERIFY(sheet.select(3, 5));
    QVERIFY(!sheet.pressKey(SheetKey::ShiftDown, "9"));
    QCOMPARE(sheet.rows(), before);
    // A move starts a new selection.
    QVERIFY(sheet.select(2, 3));
    QVERIFY(sheet.pressKey(SheetKey::Up, sheet.currentText()));
    QVERIFY(!sheet.pressKey(SheetKey::ShiftDown, "7"));
    QCOMPARE(sheet.text(2, 3), QStringLiteral("7"));
    QCOMPARE(sheet.text(3, 3), QStringLiteral("300"));
    QVERIFY(!sheet.select(0, 3));
    QVERIFY(!sheet.select(2, 0));
    QVERIFY(!sheet.select(4, 1));
    QVERIFY(!sheet.select(1, 13));
}

void TestCriteriaEditor::saveRefusesFieldsThatWouldCorruptTheFile_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("named");
    QTest::newRow("comma") << 2 << 2 << "1,5"
                           << "レベル2の「最低Time」（2列目）に「,」";
    QTest::newRow("double quote") << 3 << 9 << "\"1"
                                  << "レベル3の「禁期間」（9列目）に「\"」";
    QTest::newRow("kept field") << 1 << 11 << "a,b"
                                << "レベル1の11列目に「,」";
    QTest::newRow("outside the code page") << 1 << 1 << "60😀"
                                           << "レベル1の「目標Time」（1列目）の「60😀」";
}

void TestCriteriaEditor::saveRefusesFieldsThatWouldCorruptTheFile()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(QString, named);
    SheetFixture f;
    QVERIFY(f.sheet.select(row, column));
    f.sheet.textToGrid(text);
    const QString message = f.sheet.save(criteriaPath(f.classroom));
    QVERIFY2(message.startsWith(named), qPrintable(message + " / " + named));
    QCOMPARE(f.classroom.readBytes(criteriaPath(f.classroom)), encodeCp932(kFileText));
    QCOMPARE(f.sheet.criteriaChanged, int16_t(1));
}

void TestCriteriaEditor::unreadableFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << "missing"
                             << "ファイルがありません。";
    QTest::newRow("a folder") << "folder"
                              << "ファイルを読めません";
    QTest::newRow("captions only") << "captions"
                                   << "レベルの行がありません";
}

void TestCriteriaEditor::unreadableFiles()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    SheetFixture f;
    const QString path = criteriaPath(f.classroom);
    QFile::remove(path);
    if (kind == "folder")
        QDir().mkpath(path);
    if (kind == "captions")
        f.classroom.writeBytes(path, encodeCp932(kCaptionLine));
    const QString message = f.sheet.load(path);
    QVERIFY2(message.contains(reason) && message.contains(QDir::toNativeSeparators(path)),
             qPrintable(message));
    QCOMPARE(f.sheet.lastRow(), 3);
}

void TestCriteriaEditor::screenKeysEditTheGrid()
{
    EditorFixture f;
    FrmTimeData *editor = f.open();
    QLineEdit *box = editor->Gridinputtext;
    QCOMPARE(QApplication::focusWidget(), box);
    QCOMPARE(editor->MSFlexGrid1->model()->headerData(0, Qt::Horizontal).toString(),
             QStringLiteral("レベル"));
    QCOMPARE(editor->MSFlexGrid1->model()->headerData(5, Qt::Horizontal).toString(),
             QStringLiteral("ﾎﾟｲﾝﾄ倍率"));
    QCOMPARE(editor->MSFlexGrid1->columnWidth(1), editor->MSFlexGrid1->columnWidth(2) * 8 / 10);
    QCOMPARE(box->text(), QStringLiteral("60"));
    QCOMPARE(box->palette().color(QPalette::Base), QColor(128, 255, 128));
    QCOMPARE(editor->Label3->text(),
             QStringLiteral("合格基準タイム\n　大部分の人ががんばったら出せそうなタイムにしてください"));
    QCOMPARE(editor->List3->item(0)->text(), QStringLiteral("レベル1 今まで0回  （★=1）"));

    f.key(Qt::Key_Up);
    f.key(Qt::Key_Left);
    QCOMPARE(editor->sheet().row(), 1);
    QCOMPARE(editor->sheet().column(), 1);
    f.key(Qt::Key_Down);
    QCOMPARE(box->text(), QStringLiteral("90"));
    QCOMPARE(box->geometry(), editor->MSFlexGrid1->visualItemRect(editor->MSFlexGrid1->item(1, 1)));
    QCOMPARE(editor->List3->item(0)->text(), QStringLiteral("レベル2 今まで1回  （★=1）"));
    QCOMPARE(editor->List3->item(9)->text(), QStringLiteral("  80～★"));
    QCOMPARE(editor->List4->item(9)->text(), QStringLiteral("  80～★"));

    // Typing goes on at the end; a space clears the cell first.
    QTest::keyClicks(box, "5");
    QCOMPARE(editor->sheet().text(2, 1), QStringLiteral("905"));
    f.key(Qt::Key_Space);
    QCOMPARE(box->text(), QString());
    QTest::keyClicks(box, "85");
    QCOMPARE(editor->sheet().text(2, 1), QStringLiteral("85"));
    QCOMPARE(f.background(2, 1), QColor(255, 255, 0));
    QCOMPARE(editor->sheet().criteriaChanged, int16_t(1));
    f.key(Qt::Key_Escape);
    f.key(Qt::Key_Return);
    QCOMPARE(box->text(), QStringLiteral("85"));

    // Shift + Down copies down and paints what it changed; on the last row it copies nothing more.
    f.key(Qt::Key_Right);
    QCOMPARE(editor->Label3->text(), QStringLiteral("合格最低ラインタイム\n  この５倍が時間切れになります"));
    f.key(Qt::Key_Down, Qt::ShiftModifier);
    f.key(Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(editor->MSFlexGrid1->item(2, 2)->text(), QStringLiteral("150"));
    QCOMPARE(f.background(3, 2), QColor(255, 255, 0));
    QCOMPARE(editor->sheet().row(), 2);
    f.key(Qt::Key_Down);
    QCOMPARE(box->text(), QStringLiteral("150"));

    // A space on an empty cell changes nothing.
    for (int i = 0; i < 12; ++i)
        f.key(Qt::Key_Right);
    QCOMPARE(editor->sheet().column(), 12);
    QCOMPARE(editor->Label3->text(), QString());
    f.key(Qt::Key_Space);
    QVERIFY(!editor->sheet().changed(3, 12));
    QCOMPARE(f.background(3, 12), QColor(Qt::white));
}

void TestCriteriaEditor::clickMakesACellCurrent()
{
    EditorFixture f;
    FrmTimeData *editor = f.open();
    QTableWidget *grid = editor->MSFlexGrid1;
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(grid->item(1, 4)).center());
    QCOMPARE(editor->sheet().row(), 2);
    QCOMPARE(editor->sheet().column(), 4);
    QCOMPARE(editor->Gridinputtext->text(), QStringLiteral("10"));
    QCOMPARE(editor->Label3->text(), QStringLiteral("目標回数\n　　 目標回数"));
    QCOMPARE(editor->List4->item(0)->text(), QStringLiteral("レベル2 （★=1）"));
    QCOMPARE(QApplication::focusWidget(), editor->Gridinputtext);
    // The level numbers are not fields.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(grid->item(2, 0)).center());
    QCOMPARE(editor->sheet().row(), 2);
}

void TestCriteriaEditor::leaving_data()
{
    QTest::addColumn<QString>("change"); // typed, or copied with Shift + Down
    QTest::addColumn<bool>("reload");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("saved");
    QTest::newRow("without changes") << "" << false << int(DialogAnswer::Yes) << false << false;
    QTest::newRow("changed, saved on leaving") << "typed" << false << int(DialogAnswer::Yes) << true << true;
    QTest::newRow("changed, not saved") << "typed" << false << int(DialogAnswer::No) << true << false;
    QTest::newRow("changed and undone still asks")
        << "typed" << true << int(DialogAnswer::No) << true << false;
    QTest::newRow("copied down, asks") << "copied" << false << int(DialogAnswer::No) << true << false;
}

void TestCriteriaEditor::leaving()
{
    QFETCH(QString, change);
    QFETCH(bool, reload);
    QFETCH(int, answer);
    QFETCH(bool, asked);
    QFETCH(bool, saved);
    EditorFixture f;
    FrmTimeData *editor = f.open();
    const QByteArray before = f.criteriaBytes();
    if (change == "typed") {
        f.key(Qt::Key_Space);
        QTest::keyClicks(editor->Gridinputtext, "55");
    } else if (change == "copied") {
        f.key(Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(editor->sheet().text(2, 1), QStringLiteral("60"));
    }
    if (reload) {
        editor->Command2->click();
        QCOMPARE(editor->sheet().text(1, 1), QStringLiteral("60"));
        QCOMPARE(f.background(1, 1), QColor(Qt::white));
        QCOMPARE(editor->Gridinputtext->text(), QStringLiteral("60"));
    }
    f.fakes.dialogs.answers = {DialogAnswer(answer)};
    editor->Command4->click();
    QCOMPARE(f.fakes.dialogs.messages.size(), asked ? 1 : 0);
    if (asked) {
        QCOMPARE(f.fakes.dialogs.messages[0].text,
                 QStringLiteral("データが変更されています。記録しますか？"));
        QCOMPARE(f.fakes.dialogs.messages[0].title, QStringLiteral("注意"));
        QCOMPARE(f.fakes.dialogs.messages[0].buttons, DialogButtons::YesNo);
    }
    QCOMPARE(f.criteriaBytes() != before, saved);
    QCOMPARE(hensuu1().passTime[1], saved ? 55 : 60);
    QCOMPARE(f.levelMenus, 1);
}

void TestCriteriaEditor::saveFromTheScreen()
{
    EditorFixture f;
    FrmTimeData *editor = f.open();
    f.key(Qt::Key_Down);
    QTest::keyClicks(editor->Gridinputtext, ",5");
    editor->Command3->click();
    QCOMPARE(f.fakes.dialogs.messages.size(), 1);
    QVERIFY(f.fakes.dialogs.messages[0].text.startsWith("レベル2の「目標Time」（1列目）に「,」"));
    QCOMPARE(hensuu1().passTime[2], 90);

    // A file that cannot be replaced (here a folder stands in its place) is reported;
    // what was typed stays, still to be saved.
    f.key(Qt::Key_Backspace);
    f.key(Qt::Key_Backspace);
    QCOMPARE(editor->sheet().text(2, 1), QStringLiteral("90"));
    const QString path = criteriaPath(f.classroom);
    QFile::remove(path);
    QDir().mkpath(path + "/x");
    editor->Command3->click();
    QCOMPARE(f.fakes.dialogs.messages.size(), 2);
    QVERIFY2(f.fakes.dialogs.messages[1].text.startsWith("合格タイムデータを記録できませんでした。"),
             qPrintable(f.fakes.dialogs.messages[1].text));
    QCOMPARE(editor->sheet().criteriaChanged, int16_t(1));
    QVERIFY(!editor->Picture6->isVisible());

    // Leaving then asks; a save that fails again keeps the teacher on the editor.
    editor->Command4->click();
    QCOMPARE(f.fakes.dialogs.messages.size(), 4);
    QCOMPARE(f.levelMenus, 0);

    QDir(path).removeRecursively();
    editor->Command3->click();
    QCOMPARE(f.fakes.dialogs.messages.size(), 4);
    QCOMPARE(editor->sheet().criteriaChanged, int16_t(0));
    QCOMPARE(f.criteriaBytes(), encodeCp932(kCaptionLine + "60,120,300,10,1,30,1500,7,1,,,\r\n"
                                                           "90,150,300,10,1.5,30,1500,7,1,,,\r\n"
                                                           "120,200,300,10,2,30,1500,7,1,,,\r\n"));
    editor->Command4->click();
    QCOMPARE(f.fakes.dialogs.messages.size(), 4);
    QCOMPARE(f.levelMenus, 1);
}

void TestCriteriaEditor::missingFileReturnsToTheLevelMenu()
{
    EditorFixture f;
    const QString path = criteriaPath(f.classroom);
    QFile::remove(path);
    FrmTimeData *editor = f.open();
    QCOMPARE(f.fakes.dialogs.messages.size(), 1);
    QVERIFY(f.fakes.dialogs.messages[0].text.contains(QDir::toNativeSeparators(path)));
    QCOMPARE(f.levelMenus, 1);
    editor->Command3->click();
    editor->Command4->click();
    QCOMPARE(f.levelMenus, 2);
    QVERIFY(!QFileInfo::exists(path));
}

void TestCriteriaEditor::teacherChangesAPassTimeFromTheLevelMenu()
{
    EditorFixture f;
    wireSubsystems();
    Hensuu1 &h = hensuu1();
    h.currentPupil = 1000;
    h.currentPupilName = QStringLiteral("講師");
    ScreenHost &host = ScreenHost::instance();
    OpenLevelMenu();
    auto *menu = qobject_cast<seisekitime1 *>(host.current());
    QVERIFY(menu);
    menu->Command8->click();
    menu->Command10[1]->click();
    auto *editor = qobject_cast<FrmTimeData *>(host.current());
    QVERIFY(editor);

    QTest::keyClick(editor->Gridinputtext, Qt::Key_Down);
    QTest::keyClick(editor->Gridinputtext, Qt::Key_Space);
    QTest::keyClicks(editor->Gridinputtext, "85");
    f.fakes.dialogs.answers = {DialogAnswer::Yes};
    editor->Command4->click();
    QCOMPARE(f.fakes.dialogs.messages.size(), 1);
    menu = qobject_cast<seisekitime1 *>(host.current());
    QVERIFY(menu);
    QVERIFY2(menu->Label7[2]->text().startsWith(QStringLiteral("目標=85秒")),
             qPrintable(menu->Label7[2]->text()));
}

QTEST_MAIN(TestCriteriaEditor)
#include "test_criteria_editor.moc"
