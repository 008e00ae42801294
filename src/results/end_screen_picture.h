#pragma once

#include <QImage>

// The end screen's background, painted by the program: an evening-to-morning sky
// over a green hill with a finish flag, a trophy and confetti, with light panels
// behind the figures so that they stay readable. 1024 x 768, in pixels of the given
// ratio, so that a scaled screen shows it painted at its size rather than enlarged.
QImage paintEndScreenPicture(qreal devicePixelRatio = 1);
