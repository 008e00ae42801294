// The level menu: the pupil's home screen between drills, one column per level.
#pragma once

#include "core/hensuu1.h"
#include "core/screen_host.h"
#include "core/widgets.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>

class seisekitime1 : public Screen {
    Q_OBJECT
public:
    explicit seisekitime1(QWidget *parent = nullptr);

    void activate() override;
    void 回数など表示();
    // Enables the start buttons the pupil may use and marks the banned levels.
    void LevelAccessPassRun();
    void startLevel(int level, bool withWaitPanel);
    void back();

    int16_t menuReady = 0;

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
    void placeColumns();
    void showWaitPanel(bool shown);

    int m_columnWidth = 0;
};
