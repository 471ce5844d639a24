// Draws the program's two pictures: the About picture, a stylised map of
// green islands in a blue sea cut into nine squares by a light blue
// three-by-three grid, with small red, yellow and black dots (the species) on
// the islands; and the window icon, the same map at icon size.
//
// Everything is computed from fixed shapes and a fixed linear congruential
// sequence, so the pictures come out the same on every machine.

#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QString>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr double Pi = 3.14159265358979323846;

const QColor DeepSea(22, 62, 140);
const QColor ShallowSea(52, 112, 190);
const QColor Land(58, 150, 64);
const QColor Highland(34, 112, 44);
const QColor Beach(214, 200, 140);
const QColor GridLine(160, 215, 255);
const std::array<QColor, 3> DotColours = {QColor(220, 30, 30), QColor(250, 220, 40), QColor(0, 0, 0)};

// A fixed sequence of numbers in [0, 1).
class Sequence {
public:
    explicit Sequence(uint32_t seed) : state_(seed) {}
    double next() {
        state_ = state_ * 1664525u + 1013904223u;
        return (state_ >> 8) / 16777216.0;
    }

private:
    uint32_t state_;
};

// One island: a centre, a mean radius and a wobbly outline, all on the unit square.
struct Island {
    double x;
    double y;
    double radius;
    std::array<double, 4> phases;
};

const Island Islands[] = {
    {0.16, 0.18, 0.10, {0.3, 1.7, 2.9, 4.1}},
    {0.52, 0.14, 0.08, {1.1, 0.2, 3.3, 5.0}},
    {0.84, 0.22, 0.11, {2.2, 4.4, 0.7, 1.9}},
    {0.30, 0.50, 0.13, {0.9, 2.5, 4.8, 0.1}},
    {0.70, 0.55, 0.12, {3.1, 1.3, 2.0, 5.5}},
    {0.15, 0.84, 0.09, {4.2, 0.6, 1.4, 3.8}},
    {0.50, 0.85, 0.10, {5.9, 2.8, 0.4, 1.2}},
    {0.85, 0.84, 0.08, {1.6, 3.9, 5.2, 2.4}},
};

// The island's radius in the direction angle: a circle with a few waves on it.
double outlineRadius(const Island& island, double angle, double scale) {
    const double wobble = 0.18 * std::sin(2 * angle + island.phases[0]) +
                          0.12 * std::sin(3 * angle + island.phases[1]) +
                          0.08 * std::sin(5 * angle + island.phases[2]) +
                          0.05 * std::sin(7 * angle + island.phases[3]);
    return island.radius * scale * (1.0 + wobble);
}

QPainterPath islandPath(const Island& island, double size, double scale) {
    QPainterPath path;
    constexpr int Steps = 90;
    for (int k = 0; k <= Steps; ++k) {
        const double angle = 2 * Pi * k / Steps;
        const double r = outlineRadius(island, angle, scale) * size;
        const QPointF point(island.x * size + r * std::cos(angle), island.y * size + r * std::sin(angle));
        if (k == 0)
            path.moveTo(point);
        else
            path.lineTo(point);
    }
    path.closeSubpath();
    return path;
}

// Whether (x, y) on the unit square lies well inside an island.
bool onLand(double x, double y) {
    for (const Island& island : Islands) {
        const double dx = x - island.x;
        const double dy = y - island.y;
        const double distance = std::sqrt(dx * dx + dy * dy);
        if (distance < 0.75 * outlineRadius(island, std::atan2(dy, dx), 1.0))
            return true;
    }
    return false;
}

QImage drawMap(int size, bool icon) {
    QImage image(size, size, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    // The sea, lighter towards the middle.
    QRadialGradient sea(size / 2.0, size / 2.0, size * 0.75);
    sea.setColorAt(0.0, ShallowSea);
    sea.setColorAt(1.0, DeepSea);
    painter.fillRect(image.rect(), sea);

    // Faint swell lines on the open water (the About picture only).
    if (!icon) {
        painter.setPen(QPen(QColor(80, 140, 210), 1.0));
        for (int row = 0; row < 14; ++row) {
            const double y0 = (row + 0.5) * size / 14.0;
            QPainterPath swell;
            swell.moveTo(0, y0);
            for (int x = 0; x <= size; x += 4)
                swell.lineTo(x, y0 + 1.5 * std::sin(x * 0.09 + row));
            painter.drawPath(swell);
        }
    }

    // The islands: a beach, the land, a darker heart.
    painter.setPen(Qt::NoPen);
    for (const Island& island : Islands) {
        painter.setBrush(Beach);
        painter.drawPath(islandPath(island, size, 1.08));
        painter.setBrush(Land);
        painter.drawPath(islandPath(island, size, 1.0));
        painter.setBrush(Highland);
        painter.drawPath(islandPath(island, size, 0.45));
    }

    // The species: small dots on land.
    const double dotRadius = icon ? size / 40.0 : size / 90.0;
    const int wanted = icon ? 12 : 60;
    Sequence sequence(20261210u);
    int placed = 0;
    for (int attempt = 0; placed < wanted && attempt < 20000; ++attempt) {
        const double x = sequence.next();
        const double y = sequence.next();
        if (!onLand(x, y))
            continue;
        painter.setBrush(DotColours[placed % DotColours.size()]);
        painter.drawEllipse(QPointF(x * size, y * size), dotRadius, dotRadius);
        ++placed;
    }

    // The nine squares: the sites of the matrix.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(GridLine, icon ? 2.0 : 3.0));
    for (int k = 1; k < 3; ++k) {
        const double at = size * k / 3.0;
        painter.drawLine(QPointF(at, 0), QPointF(at, size));
        painter.drawLine(QPointF(0, at), QPointF(size, at));
    }
    painter.drawRect(QRectF(0.5, 0.5, size - 1.0, size - 1.0));
    painter.end();
    return image;
}

} // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: aboutpicture <about.jpg> <icon.png>\n");
        return 2;
    }
    const QImage about = drawMap(283, false);
    if (!about.save(QString::fromLocal8Bit(argv[1]), "JPG", 92)) {
        std::fprintf(stderr, "aboutpicture: cannot write %s\n", argv[1]);
        return 1;
    }
    const QImage icon = drawMap(64, true);
    if (!icon.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "aboutpicture: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
