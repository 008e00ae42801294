#include "core/screen_host.h"

#include "core/BASEFRM.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontDatabase>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QKeyEvent>
#include <QPainter>
#include <QPalette>
#include <QScreen>
// Qt's scale for dense displays, set from the program: every window is then laid out,
// drawn and given the mouse in the design's own pixels, and fonts are rendered at the
// scaled size. Qt offers no public call for a factor found at run time (QT_SCALE_FACTOR
// must be set before the application exists, when the display's size is not known).
#include <QtGui/private/qhighdpiscaling_p.h>

#include <cmath>

DesignPlacement designPlacement(QSize display, bool scaled)
{
    DesignPlacement placement;
    if (scaled && !display.isEmpty()) {
        placement.scale =
            std::min(double(display.width()) / kCanvasWidth, double(display.height()) / kCanvasHeight);
    }
    const auto centred = [&](int room, int length) {
        return std::max(0, static_cast<int>(std::lround((room - length * placement.scale) / 2)));
    };
    placement.offset = {centred(display.width(), kCanvasWidth), centred(display.height(), kCanvasHeight)};
    return placement;
}

WindowMode windowModeFromEnvironment()
{
    if (qEnvironmentVariableIntValue("RANVEX_WINDOWED") != 0)
        return WindowMode::Windowed;
    if (qEnvironmentVariableIntValue("RANVEX_UNSCALED") != 0)
        return WindowMode::FullScreenUnscaled;
    return WindowMode::FullScreen;
}

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
    // widget it was first delivered to. Through a graphics view (a design drawn smaller
    // than its size) the view holds the keyboard and hands each key on to the control
    // that has the focus on the canvas.
    auto *widget = static_cast<QWidget *>(watched);
    QWidget *receiver =
        window()->graphicsProxyWidget() ? window()->focusWidget() : QApplication::focusWidget();
    if (!receiver)
        receiver = this;
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
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(kCanvasWidth, kCanvasHeight);
}

void ScreenHost::start(WindowMode mode)
{
    if (mode == WindowMode::Windowed) {
        resize(kCanvasWidth, kCanvasHeight);
        QWidget::show();
        return;
    }
    QScreen *display = QGuiApplication::primaryScreen();
    if (mode == WindowMode::FullScreen && !m_scaleSet) {
        m_scaleSet = true;
        m_scale = designPlacement(display->geometry().size(), true).scale;
        // On a display larger than the design Qt itself draws every window of the program
        // at the scale. Qt's painters know no scale below 1, so on a smaller display the
        // screens are drawn through a graphics view that shrinks them; message boxes,
        // windows of their own, then keep their own size.
        if (m_scale > 1)
            QHighDpiScaling::setGlobalFactor(m_scale);
        else if (m_scale < 1)
            shrink(m_scale);
    }
    // Without a window manager (a kiosk session) no one but the program itself gives
    // the window the display's size.
    setGeometry(display->geometry());
    showFullScreen();
}

void ScreenHost::shrink(double scale)
{
    m_view = new QGraphicsView(this);
    m_view->setFrameShape(QFrame::NoFrame);
    m_view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setScene(new QGraphicsScene(m_view));
    m_canvas = new QWidget;
    m_canvas->setFixedSize(kCanvasWidth, kCanvasHeight);
    m_view->scene()->addWidget(m_canvas);
    m_view->setSceneRect(0, 0, kCanvasWidth, kCanvasHeight);
    m_view->setTransform(QTransform::fromScale(scale, scale));
    m_view->setGeometry(rect());
}

void ScreenHost::place(QWidget *widget) const
{
    // In the window's own pixels the design has its own size: the scale, where there is
    // one, is the whole window's.
    widget->move(designPlacement(m_canvas->size(), false).offset);
}

bool ScreenHost::holds(const QWidget *widget) const
{
    return m_canvas->isAncestorOf(widget);
}

QRect ScreenHost::onDisplay(const QWidget *widget) const
{
    const QRect onCanvas(widget->mapTo(m_canvas, QPoint(0, 0)), widget->size());
    if (m_view)
        return m_view->viewportTransform().mapRect(QRectF(onCanvas)).toRect();
    return QRectF(QPointF(onCanvas.topLeft()) * m_scale, QSizeF(onCanvas.size()) * m_scale).toRect();
}

void ScreenHost::updateBands()
{
    // The bands around the canvas in the background colour of what is in front.
    const QWidget *front = backdropShown() ? m_backdrop.data() : m_current.data();
    const QColor colour = front ? front->palette().color(QPalette::Window) : QColor(Qt::black);
    if (m_view)
        m_view->setBackgroundBrush(colour);
    m_bandColour = colour;
    update();
}

void ScreenHost::paintEvent(QPaintEvent *)
{
    QPainter(this).fillRect(rect(), m_bandColour);
}

bool ScreenHost::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::PaletteChange && watched == m_current)
        updateBands();
    return QWidget::eventFilter(watched, event);
}

void ScreenHost::show(Screen *next)
{
    Screen *previous = m_current;
    m_current = next;
    // The taskbar names the form on screen, as each form was its own window; the splash
    // screen has no caption of its own.
    setWindowTitle(next->windowTitle().isEmpty() ? kProgramCaption : next->windowTitle());
    next->setParent(m_canvas);
    place(next);
    next->installEventFilter(this);
    next->show();
    updateBands();
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
        m_backdrop = new BASEFRM(m_canvas);
        place(m_backdrop);
    }
    m_backdrop->show();
    m_backdrop->raise();
    updateBands();
}

void ScreenHost::closeBackdrop()
{
    if (m_backdrop)
        m_backdrop->deleteLater();
    m_backdrop = nullptr;
    updateBands();
}

bool ScreenHost::backdropShown() const { return m_backdrop && m_backdrop->isVisible(); }

void ScreenHost::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_view)
        m_view->setGeometry(rect());
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
