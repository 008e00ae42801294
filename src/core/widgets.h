// Small controls the forms share.
#pragma once

#include <QAbstractButton>
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

// Runs chosen() each time the option button becomes checked, however it got checked: a
// click, the keyboard, an assistive technology's action (which toggles the button
// without clicking it). Once per choice; choosing the checked button again is no choice.
template <typename Chosen> void onChosen(QAbstractButton *button, QObject *context, Chosen chosen)
{
    QObject::connect(button, &QAbstractButton::toggled, context, [chosen](bool checked) {
        if (checked)
            chosen();
    });
}
// Checks the option button as a screen sets itself up, without running what onChosen()
// connected: the screen runs what it needs itself.
void checkQuietly(QAbstractButton *button);
