// Every screen of the program in the states worth looking at, drawn offscreen on a
// classroom's configuration: ranvex-screenshots saves each as a picture, and the
// layout test checks each for hidden text. A screen added here is in both.
#pragma once

#include <QString>
#include <QWidget>

#include <functional>

// Called with each screen state, named as its picture; false when it failed.
using ScreenVisitor = std::function<bool(QWidget *screen, const QString &name)>;

// Loads the classroom's configuration as start-up does and visits every screen state,
// with a clock that moves on at will and no sound. An empty text on success, else
// what went wrong; a visitor's failure is counted and the visit goes on.
QString visitScreens(const QString &programFolder, const ScreenVisitor &visit);
