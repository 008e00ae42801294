// The answer sheet of one problem: the rows the pupil types with the keyboard, the
// entry cursor and its walks, and the judging of every row against the problem.
#pragma once

#include "drill/problem_patterns.h"

#include <QString>

#include <array>
#include <optional>

// A field takes this many characters; a further key is refused with the warning sound.
inline constexpr int kFieldCapacity = 20;

// The character a key enters into a row (the key map), if any: digits, the four
// operators as "＋", "－", "×", "÷", z and x as brackets, brackets, comma and full stop.
std::optional<QChar> enteredCharacter(QChar key);

// The keys that type a row: "*" for "×", z and x for the brackets, and so on.
QString keysTyping(const QString &row);

inline constexpr QChar kSpaceKey = u' ';
inline constexpr QChar kBackspaceKey = u'\b';

// How a row is coloured.
enum class Shade { Given, Field, Cursor, Wrong };

class AnswerSheet {
public:
    enum class KeyOutcome { Nothing, Typed, Refused };

    // The level decides whether the cursor hint follows the cursor (level 1 only).
    explicit AnswerSheet(int level = 0) : m_level(level) {}

    // Lays a new problem out: the given row, empty entry rows, the cursor on the first
    // entry row; correct rows and hints hidden. The typed text under the cursor is
    // left as it is (the callers empty it first).
    void present(const Problem &problem);

    // The problem's first row is given; the cursor may stand on any other position of
    // the problem. Positions past the problem also count as open, but the walks step
    // over them (positions 6..10 are reserved and never open).
    static bool isOpen(int position);

    // A key of the entry: Space moves on to the next row (it never judges: the screen
    // judges a Space on the answer row itself), Backspace drops the last character,
    // any other key types its character, unless the field is already full.
    KeyOutcome entryKey(QChar key);
    void walkLeft();  // to the previous entry row; from the first to the answer row
    void walkRight(); // to the next entry row; from the answer row to the first
    void eraseAll();  // every typed row of the problem emptied; cursor on the first row
    void eraseField();

    // 1 when every entry row reads exactly as the problem's row, 2 when one does not
    // (an empty row is wrong).
    int judge() const;
    // After a wrong answer: the wrong rows pink with the correct rows under them, and
    // every hint of the problem shown at once.
    void markWrong();
    // Before a replacement problem after a wrong answer: every entry row empty and
    // light green, no correct row shown, the cursor on the first entry row.
    void resetEntries();
    void showHint(int row);
    // The cursor's level hint (ヒント表示), on level 1.
    void showLevelHint();
    void clearInput() { m_inputText.clear(); }
    // Every row back to its own colour: the given row pale yellow, entry rows light green.
    void recolour();

    int stepCount() const { return m_stepCount; }
    int cursorPos() const { return m_cursorPos; }
    const QString &inputText() const { return m_inputText; }
    int pattern() const { return m_pattern; }
    QString stepText(int position) const { return inRange(position) ? m_stepText[position] : QString(); }
    QString rowText(int row) const { return inRange(row) ? m_rowText[row] : QString(); }
    Shade shade(int row) const { return inRange(row) ? m_shade[row] : Shade::Field; }
    bool rowShown(int row) const { return inRange(row) && row <= m_stepCount; }
    bool correctShown(int row) const { return inRange(row) && m_correctShown[row]; }
    QString hint(int row) const { return inRange(row) ? m_hint[row] : QString(); }
    bool hintShown(int row) const { return inRange(row) && m_hintShown[row]; }
    const QString &levelHint() const { return m_levelHint; }

private:
    static bool inRange(int row) { return row >= 1 && row <= kMaxSteps; }
    bool rowWrong(int row) const;
    void enterField();
    void moveForward();
    void setShade(int row, Shade shade);
    void writeInput();
    void followLevelHint();

    int m_level;
    int m_pattern = 0;
    int m_stepCount = 0;
    int m_cursorPos = 0;
    QString m_inputText;
    QString m_levelHint;
    std::array<QString, kMaxSteps + 1> m_stepText{};
    std::array<QString, kMaxSteps + 1> m_rowText{};
    std::array<Shade, kMaxSteps + 1> m_shade{};
    std::array<bool, kMaxSteps + 1> m_correctShown{};
    std::array<QString, kMaxSteps + 1> m_hint{};
    std::array<bool, kMaxSteps + 1> m_hintShown{};
};
