#include "core/widgets.h"

#include "core/screen_host.h"

#include <QMouseEvent>
#include <QSignalBlocker>

void ClickableLabel::mousePressEvent(QMouseEvent *event)
{
    QLabel::mousePressEvent(event);
    // Taken, so that the release comes here also on a shrunk screen: its graphics view
    // hands a release only to the control that took the press.
    if (event->button() == Qt::LeftButton)
        event->accept();
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
}

void setBackground(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

QLabel *makeLabel(QWidget *parent, const QString &text, const QRect &geometry, int pointSize, bool bold)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(geometry);
    label->setFont(screenFont(pointSize, bold));
    return label;
}

QPushButton *makeButton(QWidget *parent, const QString &text, const QRect &geometry, int pointSize, bool bold)
{
    auto *button = new QPushButton(text, parent);
    button->setGeometry(geometry);
    button->setFont(screenFont(pointSize, bold));
    return button;
}

void checkQuietly(QAbstractButton *button)
{
    const QSignalBlocker quiet(button);
    button->setChecked(true);
}
