#include "core/hensuu1.h"
#include "drill/answer_entry.h"
#include "drill/drill_run.h"

#include <QTest>

namespace {

Problem problemOf(QStringList rows, int pattern = 4)
{
    Problem problem;
    problem.pattern = pattern;
    problem.stepCount = static_cast<int>(rows.size());
    for (int i = 0; i < rows.size(); ++i)
        problem.stepText[i + 1] = rows[i];
    problem.hint[2] = QStringLiteral("かっこの中のかけ算を先に");
    if (rows.size() == 4)
        problem.hint[3] = QStringLiteral("かっこの中を先に");
    return problem;
}

const QStringList kFourRows{"2＋(3＋4×5)", "2＋(3＋20)", "2＋23", "25"};
const QStringList kThreeRows{"3＋4×5", "3＋20", "23"};

// Plays keys on a sheet: a character types itself, '<' '>' '^' 'v' are the arrows.
void play(AnswerSheet &sheet, const QString &keys)
{
    for (QChar key : keys) {
        switch (key.unicode()) {
        case u'<':
            sheet.walkLeft();
            break;
        case u'>':
            sheet.walkRight();
            break;
        case u'^':
            sheet.eraseAll();
            break;
        case u'v':
            sheet.eraseField();
            break;
        default:
            sheet.entryKey(key);
        }
    }
}

} // namespace

class TestAnswerEntry : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void keyMap_data();
    void keyMap();
    void freshProblem();
    void cursorWalks_data();
    void cursorWalks();
    void fieldHoldsTwentyCharacters();
    void judging_data();
    void judging();
    void wrongAnswerMarksOnlyTheWrongRows();
    void replacementAfterAWrongAnswer();
    void levelHintFollowsTheCursorOnLevelOne();
    void characterKeys_data();
    void characterKeys();
};

void TestAnswerEntry::keyMap_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("entered");

    QTest::newRow("digits") << "0123456789"
                            << "0123456789";
    QTest::newRow("operators") << "+-*/"
                               << "＋－×÷";
    QTest::newRow("brackets by z and x") << "zx"
                                         << "()";
    QTest::newRow("brackets themselves") << "()"
                                         << "()";
    QTest::newRow("comma and full stop are accepted") << ",."
                                                      << ",.";
    QTest::newRow("capital Z and X type nothing") << "ZX"
                                                  << "";
    QTest::newRow("other letters type nothing") << "abcyXÿ"
                                                << "";
    QTest::newRow("full-width characters type nothing") << "＋×２"
                                                        << "";
    QTest::newRow("braces cannot be typed") << "{}[]"
                                            << "";
    QTest::newRow("a row as typed") << "2+z3+20x"
                                    << "2＋(3＋20)";
}

void TestAnswerEntry::keyMap()
{
    QFETCH(QString, keys);
    QFETCH(QString, entered);
    QString typed;
    for (QChar key : keys) {
        if (const std::optional<QChar> c = enteredCharacter(key))
            typed += *c;
    }
    QCOMPARE(typed, entered);
    // And back: the keys that type what was entered type it again.
    QString again;
    for (QChar key : keysTyping(entered))
        again += enteredCharacter(key).value_or(u'?');
    QCOMPARE(again, entered);
}

void TestAnswerEntry::freshProblem()
{
    AnswerSheet sheet;
    sheet.present(problemOf(kFourRows));
    QCOMPARE(sheet.stepCount(), 4);
    QCOMPARE(sheet.cursorPos(), 2);
    QCOMPARE(sheet.rowText(1), kFourRows[0]);
    QCOMPARE(sheet.shade(1), Shade::Given);
    QCOMPARE(sheet.shade(2), Shade::Cursor);
    QCOMPARE(sheet.shade(3), Shade::Field);
    QCOMPARE(sheet.shade(4), Shade::Field);
    for (int row = 2; row <= 4; ++row) {
        QVERIFY(sheet.rowText(row).isEmpty());
        QVERIFY(sheet.rowShown(row));
        QVERIFY(!sheet.correctShown(row));
        QVERIFY(!sheet.hintShown(row));
    }
    QVERIFY(!sheet.rowShown(5));

    // A three-row problem after a four-row one hides the fourth row.
    play(sheet, "2+z3");
    sheet.present(problemOf(kThreeRows, 1));
    QVERIFY(!sheet.rowShown(4));
    QVERIFY(sheet.rowText(2).isEmpty());
    QCOMPARE(sheet.cursorPos(), 2);
}

void TestAnswerEntry::cursorWalks_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QStringList>("typed"); // rows 2.. of the sheet
    QTest::addColumn<QString>("input");

    QTest::newRow("space moves to the next row")
        << kFourRows << "12 3" << 3 << QStringList{"12", "3", ""} << "3";
    QTest::newRow("left from the first entry row to the answer row")
        << kFourRows << "<" << 4 << QStringList{"", "", ""} << "";
    QTest::newRow("left on a three-row problem") << kThreeRows << "<" << 3 << QStringList{"", ""} << "";
    QTest::newRow("left loads the row it arrives on")
        << kFourRows << "7 8 9<<" << 2 << QStringList{"7", "8", "9"} << "7";
    QTest::newRow("right from the answer row to the first entry row")
        << kFourRows << "  >" << 2 << QStringList{"", "", ""} << "";
    QTest::newRow("right on a three-row problem") << kThreeRows << ">>" << 2 << QStringList{"", ""} << "";
    QTest::newRow("right then typing goes on at the end of the row")
        << kFourRows << "12 3<4" << 2 << QStringList{"124", "3", ""} << "124";
    QTest::newRow("up erases every typed row and goes to the first")
        << kFourRows << "1 2 3^" << 2 << QStringList{"", "", ""} << "";
    QTest::newRow("typing after up starts afresh")
        << kFourRows << "1 2 3^5" << 2 << QStringList{"5", "", ""} << "5";
    QTest::newRow("down empties only the row under the cursor")
        << kFourRows << "1 2 3<v" << 3 << QStringList{"1", "", "3"} << "";
    QTest::newRow("backspace drops the last character")
        << kFourRows << "123\b" << 2 << QStringList{"12", "", ""} << "12";
    QTest::newRow("backspace on an empty row does nothing")
        << kFourRows << "\b\b" << 2 << QStringList{"", "", ""} << "";
    QTest::newRow("backspace after moving works on the new row")
        << kFourRows << "12 34<\b" << 2 << QStringList{"1", "34", ""} << "1";
}

void TestAnswerEntry::cursorWalks()
{
    QFETCH(QStringList, rows);
    QFETCH(QString, keys);
    QFETCH(int, cursor);
    QFETCH(QStringList, typed);
    QFETCH(QString, input);

    AnswerSheet sheet;
    sheet.present(problemOf(rows));
    play(sheet, keys);
    QCOMPARE(sheet.cursorPos(), cursor);
    QCOMPARE(sheet.inputText(), input);
    for (int i = 0; i < typed.size(); ++i) {
        const int row = i + 2;
        QCOMPARE(sheet.rowText(row), typed[i]);
        QCOMPARE(sheet.shade(row), row == cursor ? Shade::Cursor : Shade::Field);
    }
    QCOMPARE(sheet.rowText(1), rows[0]);
    QCOMPARE(sheet.shade(1), Shade::Given);
}

void TestAnswerEntry::fieldHoldsTwentyCharacters()
{
    AnswerSheet sheet;
    sheet.present(problemOf(kFourRows));
    for (int i = 0; i < kFieldCapacity; ++i)
        QCOMPARE(sheet.entryKey(u'7'), AnswerSheet::KeyOutcome::Typed);
    QCOMPARE(sheet.entryKey(u'7'), AnswerSheet::KeyOutcome::Refused);
    QCOMPARE(sheet.entryKey(u'q'), AnswerSheet::KeyOutcome::Refused); // any key, mapped or not
    QCOMPARE(sheet.rowText(2), QString(kFieldCapacity, u'7'));
    QCOMPARE(sheet.entryKey(kBackspaceKey), AnswerSheet::KeyOutcome::Typed);
    QCOMPARE(sheet.entryKey(u'+'), AnswerSheet::KeyOutcome::Typed);
    QCOMPARE(sheet.rowText(2), QString(kFieldCapacity - 1, u'7') + kPlus);
    QCOMPARE(sheet.entryKey(u'+'), AnswerSheet::KeyOutcome::Refused);

    // A Space that moves onto a full row is refused there, after it has moved.
    QCOMPARE(sheet.entryKey(kSpaceKey), AnswerSheet::KeyOutcome::Nothing);
    for (int i = 0; i < kFieldCapacity; ++i)
        sheet.entryKey(u'(');
    sheet.walkLeft();
    QCOMPARE(sheet.cursorPos(), 2);
    QCOMPARE(sheet.entryKey(kSpaceKey), AnswerSheet::KeyOutcome::Refused);
    QCOMPARE(sheet.cursorPos(), 3);
    QCOMPARE(sheet.inputText(), QString(kFieldCapacity, u'('));
}

void TestAnswerEntry::judging_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("result");
    QTest::addColumn<QList<int>>("wrongRows");

    QTest::newRow("all right") << kFourRows << "2+z3+20x 2+23 25" << 1 << QList<int>{};
    QTest::newRow("brackets typed as brackets") << kFourRows << "2+(3+20) 2+23 25" << 1 << QList<int>{};
    QTest::newRow("three rows right") << kThreeRows << "3+20 23" << 1 << QList<int>{};
    QTest::newRow("answer wrong") << kFourRows << "2+z3+20x 2+23 24" << 2 << QList<int>{4};
    QTest::newRow("a middle row wrong, the rows beside it right")
        << kFourRows << "2+z3+20x 25 25" << 2 << QList<int>{3};
    QTest::newRow("several rows wrong") << kFourRows << "2+3+20 2+23 26" << 2 << QList<int>{2, 4};
    QTest::newRow("empty rows are wrong") << kFourRows << "  25" << 2 << QList<int>{2, 3};
    QTest::newRow("nothing typed") << kThreeRows << "" << 2 << QList<int>{2, 3};
    QTest::newRow("a trailing full stop is wrong") << kThreeRows << "3+20 23." << 2 << QList<int>{3};
    QTest::newRow("same value written otherwise is wrong") << kThreeRows << "20+3 23" << 2 << QList<int>{2};
    QTest::newRow("a leading zero is wrong") << kThreeRows << "3+20 023" << 2 << QList<int>{3};
}

void TestAnswerEntry::judging()
{
    QFETCH(QStringList, rows);
    QFETCH(QString, keys);
    QFETCH(int, result);
    QFETCH(QList<int>, wrongRows);

    AnswerSheet sheet;
    sheet.present(problemOf(rows));
    play(sheet, keys);
    QCOMPARE(sheet.judge(), result);
    sheet.markWrong();
    for (int row = 1; row <= sheet.stepCount(); ++row) {
        const bool wrong = wrongRows.contains(row);
        QCOMPARE(sheet.correctShown(row), wrong);
        if (wrong)
            QCOMPARE(sheet.shade(row), Shade::Wrong);
        else
            QVERIFY(sheet.shade(row) != Shade::Wrong);
    }
}

void TestAnswerEntry::wrongAnswerMarksOnlyTheWrongRows()
{
    AnswerSheet sheet;
    sheet.present(problemOf(kFourRows));
    play(sheet, "2+z3+20x 2+24 ");
    sheet.recolour();
    sheet.markWrong();
    QCOMPARE(sheet.shade(1), Shade::Given);
    QCOMPARE(sheet.shade(2), Shade::Field);
    QCOMPARE(sheet.shade(3), Shade::Wrong);
    QCOMPARE(sheet.shade(4), Shade::Wrong);
    QCOMPARE(sheet.stepText(3), QStringLiteral("2＋23"));
    // Both hints of the problem show at once; rows 4 and 5 have none.
    QVERIFY(sheet.hintShown(2));
    QVERIFY(sheet.hintShown(3));
    QVERIFY(!sheet.hintShown(4));
    QVERIFY(!sheet.hintShown(5));
    // The typed rows stay as typed, for the pupil to compare.
    QCOMPARE(sheet.rowText(3), QStringLiteral("2＋24"));
}

void TestAnswerEntry::replacementAfterAWrongAnswer()
{
    AnswerSheet sheet;
    sheet.present(problemOf(kFourRows));
    play(sheet, "1 2 3");
    sheet.markWrong();
    sheet.present(problemOf(kThreeRows, 1));
    sheet.resetEntries();
    QCOMPARE(sheet.cursorPos(), 2);
    QCOMPARE(sheet.shade(2), Shade::Cursor);
    QCOMPARE(sheet.shade(3), Shade::Field);
    for (int row = 1; row <= kMaxSteps; ++row) {
        QVERIFY(!sheet.correctShown(row));
        QVERIFY(!sheet.hintShown(row));
    }
    QVERIFY(sheet.rowText(2).isEmpty());
    QCOMPARE(sheet.rowText(1), kThreeRows[0]);
}

void TestAnswerEntry::levelHintFollowsTheCursorOnLevelOne()
{
    AnswerSheet levelOne(1);
    levelOne.present(problemOf(kThreeRows, 1));
    QVERIFY(levelOne.levelHint().isEmpty()); // nothing before the cursor moves
    levelOne.entryKey(kSpaceKey);
    QVERIFY(levelOne.levelHint().isEmpty());
    levelOne.walkLeft();
    QCOMPARE(levelOne.levelHint(), QStringLiteral("かけ算を先に"));

    AnswerSheet levelTwo(2);
    levelTwo.present(problemOf(kFourRows));
    levelTwo.walkRight();
    levelTwo.walkLeft();
    QVERIFY(levelTwo.levelHint().isEmpty());
}

void TestAnswerEntry::characterKeys_data()
{
    QTest::addColumn<int>("timedOut");
    QTest::addColumn<int>("setCompleted");
    QTest::addColumn<int>("judgingBusy");
    QTest::addColumn<int>("wrongAnswerState");
    QTest::addColumn<QChar>("key");
    QTest::addColumn<bool>("onAnswerRow");
    QTest::addColumn<CharacterKeyAction>("action");

    using A = CharacterKeyAction;
    QTest::newRow("typing") << 0 << 0 << 0 << 0 << QChar(u'3') << false << A::Entry;
    QTest::newRow("typing on the answer row") << 0 << 0 << 0 << 0 << QChar(u'3') << true << A::Entry;
    QTest::newRow("space moves on") << 0 << 0 << 0 << 0 << QChar(u' ') << false << A::Entry;
    QTest::newRow("space on the answer row judges") << 0 << 0 << 0 << 0 << QChar(u' ') << true << A::Judge;
    QTest::newRow("plus types while no wrong answer shows")
        << 0 << 0 << 0 << 0 << QChar(u'+') << true << A::Entry;
    QTest::newRow("first plus") << 0 << 0 << 0 << 1 << QChar(u'+') << false << A::FirstPlus;
    QTest::newRow("second plus") << 0 << 0 << 0 << 2 << QChar(u'+') << false << A::Confirm;
    QTest::newRow("other key after the first plus")
        << 0 << 0 << 0 << 2 << QChar(u'3') << false << A::RestartPlusCount;
    QTest::newRow("space in the wrong-answer display")
        << 0 << 0 << 0 << 1 << QChar(u' ') << true << A::RestartPlusCount;
    QTest::newRow("timed out") << 1 << 0 << 0 << 0 << QChar(u'3') << false << A::Ignore;
    QTest::newRow("set completed") << 0 << 1 << 0 << 0 << QChar(u' ') << true << A::Ignore;
    QTest::newRow("while judging") << 0 << 0 << 1 << 0 << QChar(u'3') << false << A::Ignore;
    QTest::newRow("plus while judging") << 0 << 0 << 1 << 2 << QChar(u'+') << false << A::Ignore;
    QTest::newRow("plus after the time-out") << 1 << 0 << 0 << 2 << QChar(u'+') << false << A::Ignore;
}

void TestAnswerEntry::characterKeys()
{
    QFETCH(int, timedOut);
    QFETCH(int, setCompleted);
    QFETCH(int, judgingBusy);
    QFETCH(int, wrongAnswerState);
    QFETCH(QChar, key);
    QFETCH(bool, onAnswerRow);
    QFETCH(CharacterKeyAction, action);

    resetHensuu1();
    Hensuu1 &h = hensuu1();
    h.timedOut = static_cast<int16_t>(timedOut);
    h.drillEndState[0] = static_cast<int16_t>(setCompleted);
    h.judgingBusy = static_cast<int16_t>(judgingBusy);
    h.wrongAnswerState = static_cast<int16_t>(wrongAnswerState);
    QCOMPARE(characterKeyAction(h, key, onAnswerRow), action);
}

QTEST_GUILESS_MAIN(TestAnswerEntry)
#include "test_answer_entry.moc"
