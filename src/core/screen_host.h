// One full-screen window that shows one screen at a time on the 1024 x 768 design
// canvas, centred on larger displays. A screen is created afresh each time it is
// shown and destroyed when the next one replaces it.
#pragma once

#include <QPointer>
#include <QWidget>

inline constexpr int kCanvasWidth = 1024;
inline constexpr int kCanvasHeight = 768;

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

    // Shows the window, full screen or at the canvas size (tests, screenshots).
    void start(bool fullScreen);
    // Makes next the screen shown, its caption the window's; the screen it replaces is
    // deleted once control returns to the event loop, so a handler of the old screen
    // may still be running.
    void show(Screen *next);
    Screen *current() const { return m_current; }

    void showBackdrop();
    void closeBackdrop();
    bool backdropShown() const;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    ScreenHost();
    void place(QWidget *widget) const;

    QPointer<Screen> m_current;
    QPointer<QWidget> m_backdrop;
};

// The font of the screens: MS Gothic where Windows has it, else Noto Sans CJK JP.
QFont screenFont(int pointSize, bool bold = false);
// For fixed-column lists: a full-width character is exactly two half-width cells.
QFont fixedPitchFont(int pointSize);
