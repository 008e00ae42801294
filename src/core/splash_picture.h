#pragma once

#include <QImage>

// The splash landscape, painted by the program: blue sky with white clouds over a
// yellow flower field with a single tree. 640 x 480, 24-bit colour.
QImage paintSplashPicture();
