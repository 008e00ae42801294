#include "results/end_screen_picture.h"

#include "core/screen_host.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <array>

namespace
{
void paintSky(QPainter &p)
{
    QLinearGradient sky(0, 0, 0, kCanvasHeight);
    sky.setColorAt(0.0, QColor(118, 186, 240));
    sky.setColorAt(0.55, QColor(206, 232, 250));
    sky.setColorAt(1.0, QColor(255, 244, 214));
    p.fillRect(0, 0, kCanvasWidth, kCanvasHeight, sky);

    QRadialGradient sun(900, 80, 90);
    sun.setColorAt(0.0, QColor(255, 250, 210));
    sun.setColorAt(0.45, QColor(255, 222, 120));
    sun.setColorAt(1.0, QColor(255, 222, 120, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(sun);
    p.drawEllipse(QPointF(900, 80), 90, 90);
}

// A hill from the left edge to the right, down to the bottom of the canvas.
void paintHill(QPainter &p, double left, QPointF c1, QPointF c2, QPointF middle, QPointF c3, QPointF c4,
               double right, const QColor &colour)
{
    QPainterPath hill;
    hill.moveTo(0, left);
    hill.cubicTo(c1, c2, middle);
    hill.cubicTo(c3, c4, QPointF(kCanvasWidth, right));
    hill.lineTo(kCanvasWidth, kCanvasHeight);
    hill.lineTo(0, kCanvasHeight);
    hill.closeSubpath();
    p.setBrush(colour);
    p.drawPath(hill);
}

void paintHills(QPainter &p)
{
    paintHill(p, 600, {220, 540}, {420, 610}, {640, 570}, {800, 545}, {930, 560}, 585, QColor(150, 205, 120));
    paintHill(p, 660, {260, 620}, {520, 700}, {760, 650}, {880, 628}, {960, 640}, 655, QColor(96, 170, 84));
}

void paintFinishFlag(QPainter &p)
{
    const QPointF foot(900, 640);
    p.setPen(QPen(QColor(90, 70, 50), 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(foot, foot - QPointF(0, 210));
    const int cell = 16;
    const QPointF top = foot - QPointF(-3, 208);
    p.setPen(Qt::NoPen);
    for (int row = 0; row < 5; ++row) {
        for (int column = 0; column < 6; ++column) {
            // A slight wave in the cloth.
            const double lift = (column % 2) * 2.0;
            p.setBrush(((row + column) % 2) == 0 ? QColor(30, 30, 30) : QColor(250, 250, 250));
            p.drawRect(QRectF(top.x() + column * cell, top.y() + row * cell + lift, cell, cell));
        }
    }
}

void paintTrophy(QPainter &p)
{
    const QColor gold(240, 188, 40);
    const QColor shade(200, 140, 20);
    p.setPen(QPen(shade, 3));
    p.setBrush(gold);
    QPainterPath cup;
    cup.moveTo(760, 420);
    cup.lineTo(860, 420);
    cup.cubicTo(860, 480, 840, 505, 810, 512);
    cup.cubicTo(780, 505, 760, 480, 760, 420);
    p.drawPath(cup);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(gold, 8, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(736, 430, 40, 42), 90 * 16, 180 * 16);
    p.drawArc(QRectF(844, 430, 40, 42), 270 * 16, 180 * 16);
    p.setPen(QPen(shade, 3));
    p.setBrush(gold);
    p.drawRect(QRectF(802, 512, 16, 26));
    p.drawRoundedRect(QRectF(780, 538, 60, 16), 4, 4);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 250, 220, 170));
    p.drawEllipse(QRectF(775, 432, 16, 40));
}

void paintConfetti(QPainter &p)
{
    const std::array<QColor, 5> colours = {QColor(240, 80, 90), QColor(255, 190, 40), QColor(70, 160, 230),
                                           QColor(120, 200, 90), QColor(190, 110, 220)};
    // A fixed pattern, so that every showing looks the same.
    unsigned state = 12345;
    auto next = [&state](unsigned range) {
        state = state * 1103515245u + 12345u;
        return static_cast<int>((state >> 16) % range);
    };
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 70; ++i) {
        const int x = 660 + next(360);
        const int y = 250 + next(300);
        p.save();
        p.translate(x, y);
        p.rotate(next(180));
        p.setBrush(colours[i % colours.size()]);
        p.drawRect(-5, -2, 10, 5);
        p.restore();
    }
}

void paintPanels(QPainter &p)
{
    p.setPen(QPen(QColor(255, 255, 255, 230), 2));
    p.setBrush(QColor(255, 255, 255, 175));
    p.drawRoundedRect(QRectF(24, 14, 620, 470), 22, 22);
    p.drawRoundedRect(QRectF(664, 78, 340, 150), 18, 18);
}
} // namespace

QImage paintEndScreenPicture(qreal devicePixelRatio)
{
    QImage image((QSizeF(kCanvasWidth, kCanvasHeight) * devicePixelRatio).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(devicePixelRatio);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    paintSky(p);
    paintHills(p);
    paintFinishFlag(p);
    paintTrophy(p);
    paintConfetti(p);
    paintPanels(p);
    return image;
}
