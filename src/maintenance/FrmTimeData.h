// The teacher's pass-criteria editor: the criteria table in a grid, one row per level,
// and beside it how the school's times on the current row's level are spread.
#pragma once

#include "core/screen_host.h"
#include "maintenance/criteria_sheet.h"

#include <QByteArray>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>

class FrmTimeData : public Screen
{
    Q_OBJECT
public:
    explicit FrmTimeData(QWidget *parent = nullptr);

    // Loads the grid, makes level 1's pass time current and builds the distribution
    // view; a criteria file that cannot be read is reported and the level menu opens.
    void activate() override;

    void TextToGrid転送();
    void GridToText転送();
    void command2Click(); // "元に戻す"
    void command3Click(); // "更新記録"
    void command4Click(); // "戻る"

    const CriteriaSheet &sheet() const { return m_sheet; }

    QLabel *Label5;
    QTableWidget *MSFlexGrid1; // the header holds row 0, table row r - 1 is level r
    QLineEdit *Gridinputtext;
    QLabel *Label6;
    QLabel *Label3; // the current column's explanation
    QLabel *Label1;
    QPushButton *Command3;
    QPushButton *Command2;
    QPushButton *Command4;
    QLabel *Label7;
    QLabel *Label9;
    QLabel *Label10;
    QListWidget *List3; // every attempt
    QListWidget *List4; // the pupils' best times
    QWidget *Picture6;
    QLabel *Label8;

protected:
    bool previewKey(QKeyEvent *event) override;

private:
    // Loads the grid from the file; false, after the message, when it cannot be read.
    bool loadGrid();
    bool save();
    void leave();
    void showSheet();
    void placeBox();
    void cellClicked(int tableRow, int column);
    void rebuildDistribution();
    void showWaitPanel(bool shown);

    CriteriaSheet m_sheet;
    bool m_loaded = false;
    QByteArray m_resultsBytes; // the results file's buffer, reused from rebuild to rebuild
};
