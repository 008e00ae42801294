#include "core/splash_picture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <random>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kHorizon = 280;

void paintSky(QPainter &p)
{
    QLinearGradient sky(0, 0, 0, kHorizon);
    sky.setColorAt(0.0, QColor(40, 110, 200));
    sky.setColorAt(0.7, QColor(110, 175, 235));
    sky.setColorAt(1.0, QColor(190, 220, 245));
    p.fillRect(0, 0, kWidth, kHorizon + 10, sky);
}

void paintCloud(QPainter &p, QPointF at, double scale)
{
    QPainterPath cloud;
    cloud.setFillRule(Qt::WindingFill);
    const struct {
        double x, y, r;
    } puffs[] = {{0, 0, 28}, {30, -14, 34}, {64, -4, 30}, {92, 6, 22}, {40, 12, 26}, {-24, 10, 20}};
    for (const auto &puff : puffs)
        cloud.addEllipse(QPointF(at.x() + puff.x * scale, at.y() + puff.y * scale), puff.r * scale,
                         puff.r * scale * 0.8);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(215, 225, 238));
    p.drawPath(cloud.translated(3 * scale, 6 * scale));
    p.setBrush(Qt::white);
    p.drawPath(cloud);
}

void paintHills(QPainter &p)
{
    QPainterPath hills;
    hills.moveTo(0, kHorizon);
    hills.cubicTo(120, kHorizon - 40, 220, kHorizon - 30, 330, kHorizon - 8);
    hills.cubicTo(430, kHorizon - 45, 540, kHorizon - 35, kWidth, kHorizon - 12);
    hills.lineTo(kWidth, kHorizon + 20);
    hills.lineTo(0, kHorizon + 20);
    hills.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 150, 90));
    p.drawPath(hills);
}

void paintField(QPainter &p)
{
    QLinearGradient field(0, kHorizon, 0, kHeight);
    field.setColorAt(0.0, QColor(200, 190, 40));
    field.setColorAt(1.0, QColor(120, 150, 20));
    p.fillRect(0, kHorizon, kWidth, kHeight - kHorizon, field);

    // Flowers get larger towards the viewer; a fixed seed keeps the picture the same.
    std::mt19937 rng(1987);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 2600; ++i) {
        const double depth = unit(rng);
        const double y = kHorizon + depth * depth * (kHeight - kHorizon);
        const double x = unit(rng) * kWidth;
        const double r = 0.8 + depth * depth * 5.5;
        const int shade = static_cast<int>(unit(rng) * 40);
        p.setBrush(QColor(255, 215 + shade, 20 + shade));
        p.drawEllipse(QPointF(x, y), r, r * 0.75);
        if (r > 3) {
            p.setBrush(QColor(200, 120, 10));
            p.drawEllipse(QPointF(x, y), r * 0.3, r * 0.3);
        }
    }
}

void paintTree(QPainter &p)
{
    const QPointF base(455, 330);
    QPainterPath trunk;
    trunk.moveTo(base.x() - 10, base.y());
    trunk.cubicTo(base.x() - 6, base.y() - 60, base.x() - 8, base.y() - 100, base.x() - 4, base.y() - 140);
    trunk.lineTo(base.x() + 6, base.y() - 140);
    trunk.cubicTo(base.x() + 6, base.y() - 100, base.x() + 8, base.y() - 60, base.x() + 12, base.y());
    trunk.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(95, 60, 30));
    p.drawPath(trunk);
    p.setBrush(QColor(60, 90, 40, 90));
    p.drawEllipse(QPointF(base.x() + 4, base.y() + 2), 55, 9);

    const struct {
        double x, y, r;
        QColor colour;
    } crowns[] = {
        {-50, -150, 48, QColor(40, 100, 35)},  {45, -155, 50, QColor(40, 100, 35)},
        {0, -190, 60, QColor(45, 115, 40)},    {-30, -215, 45, QColor(55, 130, 45)},
        {35, -210, 44, QColor(55, 130, 45)},   {0, -150, 50, QColor(50, 120, 40)},
        {-15, -235, 30, QColor(75, 150, 60)},  {20, -180, 28, QColor(80, 155, 65)},
    };
    for (const auto &crown : crowns) {
        QRadialGradient leaves(QPointF(base.x() + crown.x - crown.r / 3, base.y() + crown.y - crown.r / 3),
                               crown.r * 1.3);
        leaves.setColorAt(0, crown.colour.lighter(125));
        leaves.setColorAt(1, crown.colour.darker(120));
        p.setBrush(leaves);
        p.drawEllipse(QPointF(base.x() + crown.x, base.y() + crown.y), crown.r, crown.r * 0.85);
    }
}

} // namespace

QImage paintSplashPicture()
{
    QImage image(kWidth, kHeight, QImage::Format_RGB888);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    paintSky(p);
    paintCloud(p, {110, 80}, 1.0);
    paintCloud(p, {390, 55}, 0.8);
    paintCloud(p, {560, 130}, 0.55);
    paintCloud(p, {250, 170}, 0.45);
    paintHills(p);
    paintField(p);
    paintTree(p);
    return image;
}
