#include "layout_check.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QStyle>

namespace
{

QString nameOf(const QWidget *widget)
{
    if (!widget->objectName().isEmpty())
        return widget->objectName();
    QString text;
    if (const auto *label = qobject_cast<const QLabel *>(widget))
        text = label->text();
    else if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
        text = button->text();
    return QStringLiteral("%1「%2」")
        .arg(QString::fromLatin1(widget->metaObject()->className()), text.left(16));
}

const QLabel *textLabel(const QWidget *widget)
{
    const auto *label = qobject_cast<const QLabel *>(widget);
    return label && !label->text().isEmpty() ? label : nullptr;
}

// Where the widget shows what it must not lose, in the screen's coordinates: the ink of
// a label's text (a line box leaves room above and below that nothing is drawn in), a
// list's whole box.
QRect shownRect(const QWidget *screen, const QWidget *widget)
{
    QRect local = widget->rect();
    if (const QLabel *label = textLabel(widget)) {
        const QFontMetrics metrics = label->fontMetrics();
        const QRect line = widget->style()->itemTextRect(metrics, label->contentsRect(), label->alignment(),
                                                         label->isEnabled(), label->text());
        // A glyph's bearing may reach a pixel past its box without anyone seeing it.
        local = label->wordWrap() ? label->contentsRect()
                                  : metrics.tightBoundingRect(label->text())
                                        .translated(line.left(), line.top() + metrics.ascent())
                                        .adjusted(1, 1, -1, -1);
    }
    return QRect(widget->mapTo(screen, local.topLeft()), local.size());
}

QRect screenRect(const QWidget *screen, const QWidget *widget)
{
    return QRect(widget->mapTo(screen, QPoint(0, 0)), widget->size());
}

// Controls that paint over what lies beneath them.
bool covers(const QWidget *widget)
{
    return textLabel(widget) || qobject_cast<const QAbstractButton *>(widget) ||
           qobject_cast<const QComboBox *>(widget) || qobject_cast<const QAbstractItemView *>(widget) ||
           qobject_cast<const QLineEdit *>(widget) || qobject_cast<const QAbstractSpinBox *>(widget) ||
           qobject_cast<const QAbstractSlider *>(widget) || qobject_cast<const QProgressBar *>(widget) ||
           widget->autoFillBackground() || !widget->styleSheet().isEmpty() ||
           (qobject_cast<const QLabel *>(widget) && !static_cast<const QLabel *>(widget)->pixmap().isNull());
}

// True when upper is painted after lower: at the first parent they share, the branch
// holding upper comes later among its children.
bool drawnAbove(const QWidget *upper, const QWidget *lower)
{
    QList<const QObject *> lowerChain;
    for (const QObject *o = lower; o; o = o->parent())
        lowerChain.prepend(o);
    QList<const QObject *> upperChain;
    for (const QObject *o = upper; o; o = o->parent())
        upperChain.prepend(o);
    qsizetype i = 0;
    while (i < lowerChain.size() && i < upperChain.size() && lowerChain[i] == upperChain[i])
        ++i;
    if (i == 0 || i == lowerChain.size() || i == upperChain.size())
        return false; // one holds the other
    const QObjectList &siblings = lowerChain[i - 1]->children();
    return siblings.indexOf(upperChain[i]) > siblings.indexOf(lowerChain[i]);
}

} // namespace

QStringList hiddenTextsOf(const QWidget *screen, const QStringList &designedOverlays)
{
    QList<const QWidget *> shown;
    for (const QWidget *widget : screen->findChildren<QWidget *>()) {
        if (widget->isVisibleTo(screen) && !widget->isWindow())
            shown << widget;
    }
    const auto inOverlay = [&](const QWidget *widget) {
        for (const QWidget *w = widget; w && w != screen; w = w->parentWidget()) {
            if (designedOverlays.contains(w->objectName()))
                return true;
        }
        return false;
    };

    QStringList problems;
    for (const QWidget *widget : shown) {
        if (!textLabel(widget) && !qobject_cast<const QAbstractItemView *>(widget))
            continue;
        const QRect text = shownRect(screen, widget);
        // Cut off by its own rectangle or by the panels it stands on.
        for (const QWidget *w = widget; w != screen; w = w->parentWidget()) {
            if (!screenRect(screen, w).contains(text)) {
                problems << QStringLiteral("%1: does not fit in %2").arg(nameOf(widget), nameOf(w));
                break;
            }
        }
        for (const QWidget *upper : shown) {
            if (upper == widget || !covers(upper) || inOverlay(upper) || !drawnAbove(upper, widget))
                continue;
            const QRect cover = textLabel(upper) ? shownRect(screen, upper) : screenRect(screen, upper);
            if (cover.intersects(text))
                problems << QStringLiteral("%1: covered by %2").arg(nameOf(widget), nameOf(upper));
        }
    }
    return problems;
}
