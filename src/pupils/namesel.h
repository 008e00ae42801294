// The name screen: every pupil of the roster with the day's and all-time figures; a
// pupil confirms their name to open their level menu.
#pragma once

#include "core/screen_host.h"
#include "core/widgets.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include <array>

// The school's program menu, beside the program folder: <folder>/../起動/プログラムメニューc.exe
QString programMenuPath(const QString &appFolder);

class namesel : public Screen {
    Q_OBJECT
public:
    explicit namesel(QWidget *parent = nullptr);

    void activate() override;
    void 名簿表示();
    void confirm();
    void openProgramMenu();

    ClickableLabel *Label4;
    QLabel *Label1;
    QLabel *Label2;
    QListWidget *List1;
    QComboBox *Combo1;
    std::array<QRadioButton *, 4> Option1{};
    QPushButton *Command14;
    QPushButton *Command7;
    QWidget *Picture5;
    QLabel *Label19;

protected:
    bool previewKey(QKeyEvent *event) override;

private:
    void choose(int row);
    void showVersion();

    int m_view = 1;
    bool m_filterFilled = false;
    int m_chosenPupil = 0;
    bool m_confirming = false; // the level menu is on its way; a second Enter must not open another
    QList<int> m_linePupils;
};
