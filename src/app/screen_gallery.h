// Every screen of the program in the states worth looking at, drawn offscreen on a
// classroom's configuration: ranvex-screenshots saves each as a picture, and the
// layout test checks each for hidden text. A screen added here is in both.
#pragma once

#include "core/screen_host.h"

#include <QSize>
#include <QString>
#include <QWidget>

#include <functional>

// Called with each screen state, named as its picture; false when it failed.
using ScreenVisitor = std::function<bool(QWidget *screen, const QString &name)>;

// Loads the classroom's configuration as start-up does and visits every screen state,
// with a clock that moves on at will and no sound, in the program's window shown in
// the given mode. An empty text on success, else what went wrong; a visitor's failure
// is counted and the visit goes on.
QString visitScreens(const QString &programFolder, const ScreenVisitor &visit,
                     WindowMode mode = WindowMode::Windowed);

// A display size written as "1920x1080"; an invalid size for anything else.
QSize displaySize(const QString &text);
// Before the application is made: Qt's offscreen platform with one display of this
// size, so that the screens are drawn as a classroom PC with that display shows them.
// False, with a message on standard error, when the display cannot be described.
bool useOffscreenDisplay(QSize display);
