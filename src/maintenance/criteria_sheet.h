// The criteria editor's grid as cells: row 0 the captions, column 0 the level
// numbers, rows 1..lastRow the twelve fields of each level as the file spells them;
// with the current cell, the cells the teacher has changed, and what the edit box's
// keys do. The form only shows it.
#pragma once

#include "results/criteria_table.h"

#include <array>
#include <cstdint>
#include <vector>

inline constexpr int kSheetColumns = kCriteriaFields + 1; // the level number, then the fields

// Row 0, columns 0..12: "レベル", the nine captions, three empty ones.
QStringList criteriaCaptions();
// What Label3 says of a column: its title, a line break and the explanation; empty
// for the level number and the three kept fields.
QString columnExplanation(int column);

enum class SheetKey { Up, Down, ShiftDown, Left, Right };

class CriteriaSheet
{
public:
    // Reads the criteria file into rows 1..lastRow: twelve fields to a line, line 0
    // (the captions) dropped. The current cell stays where it was as far as the new
    // rows reach; no cell is marked changed any more; criteriaChanged is kept. Returns
    // an empty text, or a message naming the file when it is missing, unreadable or
    // holds no level; the rows are then as they were.
    QString load(const QString &path);

    // Writes rows 0..lastRow, columns 1..12, and reads the table back for the running
    // program; clears criteriaChanged. A field that would split or shift its line when
    // read back, or that the file's code page cannot hold, is refused before anything
    // is written. Returns an empty text, or the message that says what went wrong.
    QString save(const QString &path);

    int lastRow() const { return static_cast<int>(m_rows.size()) - 1; }
    int row() const { return m_row; }
    int column() const { return m_column; }
    QString text(int row, int column) const { return m_rows[row][column]; }
    bool changed(int row, int column) const { return m_changed[row][column]; }
    const CriteriaGrid &rows() const { return m_rows; }

    // What GridToText転送 copies into the edit box.
    QString currentText() const { return text(m_row, m_column); }
    // TextToGrid転送: the box's text into the current cell, which is marked changed,
    // with criteriaChanged set, when the text differs.
    void textToGrid(const QString &boxText);
    // An arrow moves the current cell within rows 1..lastRow and columns 1..12;
    // Shift + Down instead extends the selection a row down and writes the box's text
    // into every selected row of the column, each cell it changes marked as a typed
    // one is. True when the current cell moved.
    bool pressKey(SheetKey key, const QString &boxText);
    // A click on a field makes it current; false for the captions and level numbers.
    bool select(int row, int column);

    int16_t criteriaChanged = 0;

private:
    QString fieldProblem() const;
    // A cell whose text this changes is marked changed, and so is the sheet.
    void write(int row, int column, const QString &text);
    bool moveTo(int row, int column);

    CriteriaGrid m_rows{criteriaCaptions()};
    std::vector<std::array<bool, kSheetColumns>> m_changed{1};
    int m_row = 1;
    int m_column = 1;
    int m_selectionEnd = 1;
};
