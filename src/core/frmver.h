// The version screen, opened modally from the name selection screen.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>

inline constexpr auto kVersionText = "Version" RANVEX_VERSION;

class frmver : public QDialog {
    Q_OBJECT
public:
    explicit frmver(QWidget *parent = nullptr);
    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label4;
    QPushButton *Command1;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void activate();
};
