// The level menu: the pupil's home screen between drills, one column per level.
#pragma once

#include "core/hensuu1.h"
#include "core/screen_host.h"
#include "core/widgets.h"

#include "menu/chart_printing.h"
#include "menu/result_lists.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

class seisekitime1 : public Screen
{
    Q_OBJECT
public:
    explicit seisekitime1(QWidget *parent = nullptr);

    void activate() override;
    void 回数など表示();
    // Enables the start buttons the pupil may use and marks the banned levels.
    void LevelAccessPassRun();
    void startLevel(int level, bool withWaitPanel);
    void back();

    // The result lists: the view (time, points, personal times), the kind of list within
    // it, the period and the grade filter; each change rebuilds every list.
    void Option2_Click(int index);
    void Option1_Click(int index);
    void Combo2_Click(int index);
    void Combo1_Click();
    void Command5_Click();          // today's records
    void Command7_Click();          // a period's records
    void Command6_Click();          // best-time rankings
    void Command3_Click(int level); // one level's ranking
    void 成績リスト色表示();
    void 成績リスト色表示単独(int level);
    void HScroll1_Change(int value);

    // The pupil's own times, and the progress charts of the chart panel: for the chart
    // pupil (the current one, or those chosen in List2) on the levels chosen in List3.
    void Command16_Click();          // the personal times
    void Command17_Click();          // the graph button: levels 1 to 3 of the current pupil
    void Command24_Click(int index); // 0 shows, 1 prints the chosen pupils' charts
    void Command21_Click(int index); // the chart pages of chartPupil: 0 on screen, 1 on paper
    void Command25_Click();          // shows the pupil chooser
    void Command18_Click();          // hides the chart panel

    int16_t menuReady = 0;
    int16_t viewMode = 0;  // 1 time view, 2 points view
    int16_t rankOrder = 0; // points view: 1 so far, 2 today
    int16_t activating = 0;
    int chartPupil = 0;
    int levelOffset = 1; // List3's first line is this level

    QLabel *Label11;
    QLabel *Label12;
    QLabel *Label13;
    QLabel *Label17;
    QLabel *Label18;
    QPushButton *Command1;
    QPushButton *Command8;
    QComboBox *Combo1;
    QWidget *Picture2;
    QProgressBar *ProgressBar1;
    QLabel *Label19;
    QWidget *Picture7;
    std::array<QPushButton *, 2> Command10{};
    QPushButton *Command12;

    std::array<QRadioButton *, 3> Option2{};
    std::array<QRadioButton *, 4> Option1{}; // 1..3
    QComboBox *Combo2;
    QLabel *Label5;
    QWidget *Picture1;
    QWidget *Picture6;
    QProgressBar *ProgressBar2;
    QLabel *Label21;
    QPushButton *Command5;
    QPushButton *Command7;
    QPushButton *Command6;
    PerLevel<QPushButton *> Command3{};
    QScrollBar *HScroll1;

    QPushButton *Command16;
    QPushButton *Command17;
    QWidget *Picture11;
    ChartView *Picture12;
    QListWidget *List3;
    QListWidget *List2;
    std::array<QPushButton *, 2> Command24{};
    QPushButton *Command25;
    QPushButton *Command18;

    PerLevel<QLabel *> Label1{};
    PerLevel<ClickableLabel *> Label3{};
    PerLevel<QPushButton *> Command4{};
    PerLevel<QLabel *> Text1{};
    PerLevel<QLabel *> Label7{};
    PerLevel<QLabel *> Label8{};
    PerLevel<QLabel *> Label9{};
    PerLevel<QLabel *> Label10{};
    PerLevel<QLabel *> Label14{};
    PerLevel<QLabel *> Label15{};
    PerLevel<QListWidget *> List5{};

protected:
    bool previewKey(QKeyEvent *event) override;

private:
    void buildColumn(int level);
    void buildListControls();
    void buildChartPanel();
    QList<int> chosenLevels() const;
    QList<int> chosenPupils() const;
    ChartRequest chartRequest() const;
    void printChartsOf(const QList<int> &pupils);
    void placeColumn(int level, int x);
    void showWaitPanel(bool shown);
    // Disables the buttons and hides the lists while they are rebuilt.
    void beginRebuild();
    void endRebuild();
    void hidePracticeColumn(int level);
    ListRequest listRequest() const;
    void fillList(int level, const LevelList &list);
    // Fills every level's list from the records of the results file.
    void showRecordLists(ListKind kind, const QString &procedure);

    int m_columnWidth = 0;
};
