// Small controls the forms share.
#pragma once

#include <QLabel>
#include <QPushButton>

// A label that can be clicked, like the level names of the menu and the title of the
// name screen.
class ClickableLabel : public QLabel
{
    Q_OBJECT
public:
    using QLabel::QLabel;

Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};

// Sets the background colour of a widget (and lets it paint it).
void setBackground(QWidget *widget, const QColor &colour);
// Sets the colour a label writes its text in.
void setTextColour(QWidget *widget, const QColor &colour);

// A label or a button of a form at its place, in the screens' font.
QLabel *makeLabel(QWidget *parent, const QString &text, const QRect &geometry, int pointSize,
                  bool bold = false);
QPushButton *makeButton(QWidget *parent, const QString &text, const QRect &geometry, int pointSize,
                        bool bold = true);
