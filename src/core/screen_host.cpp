#include "core/screen_host.h"

#include "core/BASEFRM.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QPalette>

Screen::Screen(QWidget *parent) : QWidget(parent)
{
    setFixedSize(kCanvasWidth, kCanvasHeight);
    setAutoFillBackground(true);
    setFont(screenFont(9));
    QApplication::instance()->installEventFilter(this);
}

bool Screen::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    // A key a control ignores travels on to its parents; preview it only once, at the
    // widget it was first delivered to.
    auto *widget = static_cast<QWidget *>(watched);
    QWidget *receiver = QApplication::focusWidget() ? QApplication::focusWidget() : this;
    if (widget != receiver || (widget != this && !isAncestorOf(widget)))
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (previewKey(key))
        return true;
    // As on Windows, Enter presses the focused button (Space already does); the keypad's
    // Enter as well.
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (enter && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (auto *button = qobject_cast<QAbstractButton *>(widget); button && button->isEnabled()) {
            button->click();
            return true;
        }
    }
    return false;
}

ScreenHost &ScreenHost::instance()
{
    static ScreenHost *host = new ScreenHost;
    return *host;
}

namespace {
const QString kProgramCaption = QStringLiteral("Ranvex");
}

ScreenHost::ScreenHost()
{
    setWindowTitle(kProgramCaption);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
    resize(kCanvasWidth, kCanvasHeight);
}

void ScreenHost::start(bool fullScreen)
{
    if (fullScreen)
        showFullScreen();
    else
        QWidget::show();
}

void ScreenHost::place(QWidget *widget) const
{
    widget->move(std::max(0, (width() - widget->width()) / 2), std::max(0, (height() - widget->height()) / 2));
}

void ScreenHost::show(Screen *next)
{
    Screen *previous = m_current;
    m_current = next;
    // The taskbar names the form on screen, as each form was its own window; the splash
    // screen has no caption of its own.
    setWindowTitle(next->windowTitle().isEmpty() ? kProgramCaption : next->windowTitle());
    next->setParent(this);
    place(next);
    next->show();
    if (m_backdrop)
        m_backdrop->raise();
    next->setFocus();
    if (previous && previous != next) {
        previous->hide();
        previous->deleteLater();
    }
    next->activate();
}

void ScreenHost::showBackdrop()
{
    if (!m_backdrop) {
        m_backdrop = new BASEFRM(this);
        place(m_backdrop);
    }
    m_backdrop->show();
    m_backdrop->raise();
}

void ScreenHost::closeBackdrop()
{
    if (m_backdrop)
        m_backdrop->deleteLater();
    m_backdrop = nullptr;
}

bool ScreenHost::backdropShown() const { return m_backdrop && m_backdrop->isVisible(); }

void ScreenHost::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_current)
        place(m_current);
    if (m_backdrop)
        place(m_backdrop);
}

namespace {
QString pickFamily(const QStringList &candidates)
{
    const QStringList families = QFontDatabase::families();
    for (const QString &family : candidates) {
        if (families.contains(family))
            return family;
    }
    return candidates.last();
}
} // namespace

QFont screenFont(int pointSize, bool bold)
{
    static const QString family =
        pickFamily({QStringLiteral("MS UI Gothic"), QStringLiteral("Noto Sans CJK JP")});
    QFont font(family, pointSize);
    font.setBold(bold);
    return font;
}

QFont fixedPitchFont(int pointSize)
{
    static const QString family =
        pickFamily({QStringLiteral("MS Gothic"), QStringLiteral("Noto Sans Mono CJK JP")});
    QFont font(family, pointSize);
    font.setStyleHint(QFont::TypeWriter);
    return font;
}
