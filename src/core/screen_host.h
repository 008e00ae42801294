// One full-screen window that shows one screen at a time on the 1024 x 768 design
// canvas, drawn as large as the display allows and centred. A screen is created afresh
// each time it is shown and destroyed when the next one replaces it.
#pragma once

#include <QColor>
#include <QPoint>
#include <QPointer>
#include <QSize>
#include <QWidget>

class QGraphicsView;

inline constexpr int kCanvasWidth = 1024;
inline constexpr int kCanvasHeight = 768;

// Where the design stands on a display: drawn scale times its size, its top left corner
// at offset (display pixels). Scaled, it is as large as fits, min(width / 1024,
// height / 768), and centred; unscaled, at its own size, centred, or from the top left
// where the display is smaller. The bands around it show the screen's background.
struct DesignPlacement {
    double scale = 1;
    QPoint offset;
};
DesignPlacement designPlacement(QSize display, bool scaled);

enum class WindowMode {
    FullScreen,         // the design scaled to the display: the classroom PC
    FullScreenUnscaled, // RANVEX_UNSCALED=1: at its own size in the middle of the display
    Windowed,           // RANVEX_WINDOWED=1: a 1024 x 768 window (developers, tests, screenshots)
};
// The mode the environment asks for, full screen and scaled unless told otherwise.
WindowMode windowModeFromEnvironment();

// Design positions are in twips: 15 twips to a pixel.
constexpr int twips(int value) { return value / 15; }
inline QRect twipsRect(int left, int top, int width, int height)
{
    return {twips(left), twips(top), twips(width), twips(height)};
}

class Screen : public QWidget {
    Q_OBJECT
public:
    explicit Screen(QWidget *parent = nullptr);
    // Runs each time the screen becomes the one shown.
    virtual void activate() {}

protected:
    // The form's key preview: sees every key pressed on the screen or any of its
    // controls before the focused control does. Return true to swallow the key.
    // (Keys count where the keyboard sends them: to the focused control, or to the
    // screen when nothing has the focus; tests send keys the same way.)
    virtual bool previewKey(QKeyEvent *) { return false; }
    bool eventFilter(QObject *watched, QEvent *event) override;
};

class ScreenHost : public QWidget {
    Q_OBJECT
public:
    static ScreenHost &instance();

    // Shows the window. Full screen it covers the display whether or not a window
    // manager runs, and scaled everything on it is drawn at the design's scale: fonts
    // (drawn at their scaled size), lines, pictures, mouse areas; on a display at least
    // as large as the design, message boxes too. The scale is the program's for the rest
    // of its run, so it is set before the first window; a second start keeps it.
    void start(WindowMode mode);
    // Makes next the screen shown, its caption the window's; the screen it replaces is
    // deleted once control returns to the event loop, so a handler of the old screen
    // may still be running.
    void show(Screen *next);
    Screen *current() const { return m_current; }

    void showBackdrop();
    void closeBackdrop();
    bool backdropShown() const;

    // Whether the widget stands on the program's window, and where on the display, in
    // display pixels.
    bool holds(const QWidget *widget) const;
    QRect onDisplay(const QWidget *widget) const;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ScreenHost();
    void place(QWidget *widget) const;
    void shrink(double scale);
    void updateBands();

    double m_scale = 1;
    bool m_scaleSet = false;
    // Where the screens stand: the window itself, or, where the design is drawn smaller
    // than its size, a canvas shown through m_view.
    QWidget *m_canvas = this;
    QGraphicsView *m_view = nullptr;
    QColor m_bandColour = Qt::black;
    QPointer<Screen> m_current;
    QPointer<QWidget> m_backdrop;
};

// The font of the screens: MS Gothic where Windows has it, else Noto Sans CJK JP.
QFont screenFont(int pointSize, bool bold = false);
// For fixed-column lists: a full-width character is exactly two half-width cells.
QFont fixedPitchFont(int pointSize);
