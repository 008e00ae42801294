// The drill screen: one set of problems of the current level, solved row by row with
// the keyboard against the running clock.
#pragma once

#include "core/screen_host.h"
#include "drill/answer_entry.h"
#include "drill/drill_run.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <array>

class MainFrm : public Screen {
    Q_OBJECT
public:
    explicit MainFrm(QWidget *parent = nullptr);

    // The drill screen when it is the screen shown.
    static MainFrm *shown();

    // Runs 初期設定, レベル別設定, スタート and 問題作成表示.
    void activate() override;

    void 初期設定();
    void レベル別設定();
    void スタート();
    void 問題作成表示();
    void 判定();
    void 判定後処理();
    void ヒント表示();

    // The notice of the end of the run over the status bar: "時間切れ" after a
    // time-out, "成績記録中" (recording) otherwise.
    void showEndNotice(bool timedOut);

    // The keyboard, as the form's key preview hands it on.
    void characterKey(QChar key);
    void arrowKey(int key);

    const AnswerSheet &sheet() const { return m_sheet; }

    // Status bar
    QWidget *sPicture1;
    QLabel *sLabel2;                  // the title
    std::array<QLabel *, 6> sLabel16; // "起動後" "分" "本日" "回目" "このレベル" "回目"
    QLabel *sLabel13;                 // minutes since the name was confirmed
    QLabel *sLabel12;                 // today's attempt number
    QLabel *sLabel11;                 // this level's attempt number today
    std::array<QLabel *, 3> sLabel17; // "YourBest" "Best" "Pass"
    // The lamps 10..39.
    std::array<QLabel *, kLastLamp + 1> sPicture3{};
    QLabel *sShape5;                     // gauge frame: the time limit
    QLabel *sShape3;                     // pass time
    QLabel *sShape4;                     // minimum time
    QLabel *sShape2;                     // elapsed time
    QLabel *sLabel8;                     // level name
    QLabel *sLabel14;                    // school name
    QLabel *sLabel7;                     // pupil name
    QLabel *sLabel4, *sLabel9, *sLabel6; // "残り" N "問"
    QLabel *sLabel5, *sLabel10;          // "タイム" seconds

    // Problem area; rows are indexed 1..5, the controls under the rows 2..5.
    QWidget *Picture2;
    QLabel *Label3;
    std::array<QLabel *, kMaxSteps + 1> InputLabel2{};
    std::array<QLabel *, kMaxSteps + 1> Label1{};
    std::array<QLabel *, kMaxSteps + 1> HyoujiLabel{};
    std::array<QLabel *, kMaxSteps + 1> HintoLabel{};
    QLabel *Label5;
    QLabel *seikaihyoujiLabel;
    QLabel *Label2;
    QLabel *Label4;
    QPushButton *Commandkakunin;

    // Notice box of the end of the run
    QWidget *sPicture2;
    QLabel *lblsss1;
    QLabel *lblsss2;

    QTimer *sTimer1; // the drill clock, every second
    QTimer *sTimer2; // the minutes since login, every ten seconds
    std::array<QTimer *, kMaxSteps + 1> HintoTimer1{};

    const QColor colorGiven{255, 255, 192};
    const QColor colorField{128, 255, 128};
    const QColor colorCursor{0, 192, 0};
    const QColor colorWrong{255, 128, 128};

protected:
    bool previewKey(QKeyEvent *event) override;

private:
    void buildStatusBar();
    void buildProblemArea();
    void buildNoticeBox();
    void sTimer1Tick();
    void sTimer2Tick();
    void HintoTimer1Tick(int row);
    void Commandkakunin_Click();
    void showSheet();
    void setElapsedBar(int width);
    const QColor &colourOf(Shade shade) const;

    AnswerSheet m_sheet;
    DrillClock m_clock;
};

// Starts a drill of currentLevel for currentPupil on a new drill screen.
void StartDrill();
