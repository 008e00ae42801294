// Small controls the forms share.
#pragma once

#include <QLabel>

// A label that can be clicked, like the level names of the menu and the title of the
// name screen.
class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};

// Sets the background colour of a widget (and lets it paint it).
void setBackground(QWidget *widget, const QColor &colour);
