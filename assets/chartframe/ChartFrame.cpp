// Draws the frame of the power-function chart: the plot box, both axes with
// their tick labels and titles, the dashed guides at the no-interaction
// strength and at the nominal size, and the captions under the axis that say
// which side of 1 is which interaction. The chart code draws the curves onto
// this picture by the same mapping: strength 0..3 to x = 117..595, rate 0..1
// to y = 368..34.
//
// The picture holds only black, white and pure red pixels, so it is drawn
// without anti-aliasing and every pixel is then snapped to the nearest of the
// three colours.

#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <QString>
#include <QStringList>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int Width = 640;
constexpr int Height = 521;
constexpr int Left = 117;
constexpr int Right = 595;
constexpr int Top = 34;
constexpr int Bottom = 368;
constexpr int DotsPerMeter = 3780; // 96 dots per inch

const QColor Black(0, 0, 0);
const QColor White(255, 255, 255);
const QColor Red(255, 0, 0);

int chartX(double strength) { return static_cast<int>(std::lround(Left + (Right - Left) / 3.0 * strength)); }
int chartY(double rate) { return static_cast<int>(std::lround(Bottom - (Bottom - Top) * rate)); }

QFont font(int pixels, bool italic = false) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixels);
    f.setItalic(italic);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

// A one-pixel dashed line along a row or a column, dashes of 'on' pixels
// separated by gaps of 'off' pixels, starting with a dash at the first end.
// At a ratio above 1 each of the picture's pixels is ratio x ratio pixels of the image.
void dashedLine(QImage& image, int x1, int y1, int x2, int y2, int on, int off) {
    const bool vertical = x1 == x2;
    const int length = vertical ? y2 - y1 : x2 - x1;
    const int r = static_cast<int>(image.devicePixelRatio());
    for (int k = 0; k <= length; ++k)
        if (k % (on + off) < on)
            for (int dy = 0; dy < r; ++dy)
                for (int dx = 0; dx < r; ++dx)
                    image.setPixelColor((vertical ? x1 : x1 + k) * r + dx, (vertical ? y1 + k : y1) * r + dy, Red);
}

// A solid filled arrow head with its tip at (x, y), pointing in direction (dx, dy).
void arrowHead(QPainter& p, int x, int y, int dx, int dy) {
    constexpr int Length = 9;
    constexpr int Half = 4;
    QPolygon head;
    head << QPoint(x, y) << QPoint(x - dx * Length - dy * Half, y - dy * Length - dx * Half)
         << QPoint(x - dx * Length + dy * Half, y - dy * Length + dx * Half);
    p.setBrush(Black);
    p.drawPolygon(head);
    p.setBrush(Qt::NoBrush);
}

void drawText(QPainter& p, const QFont& f, int x, int y, const QString& text, Qt::Alignment align) {
    p.setFont(f);
    const QFontMetrics m(f, p.device());
    const int w = m.horizontalAdvance(text);
    int left = x;
    if (align & Qt::AlignHCenter)
        left = x - w / 2;
    else if (align & Qt::AlignRight)
        left = x - w;
    int baseline = y + m.ascent();
    if (align & Qt::AlignVCenter)
        baseline = y + (m.ascent() - m.descent()) / 2;
    p.drawText(left, baseline, text);
}

// At ratio 1 an aliased line through a pixel's coordinates covers that pixel;
// at ratio 2 its two-pixel pen is centred there, half a picture pixel early,
// unless the painter moves it to the middle of the pixel's 2 x 2 block.
void startPainting(QPainter& p, const QImage& image) {
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setPen(QPen(Black, 1));
    if (image.devicePixelRatio() != 1)
        p.translate(0.5, 0.5);
}

void drawFrame(QImage& image) {
    QPainter p(&image);
    startPainting(p, image);

    // The guides lie under the box and the curves.
    p.end();
    dashedLine(image, chartX(1.0), Top + 1, chartX(1.0), Bottom - 1, 6, 4);
    dashedLine(image, Left + 1, 351, Right - 1, 351, 6, 4);
    p.begin(&image);
    startPainting(p, image);

    p.drawLine(Left, Top, Right, Top);
    p.drawLine(Left, Bottom, Right, Bottom);
    p.drawLine(Left, Top, Left, Bottom);
    p.drawLine(Right, Top, Right, Bottom);

    const QFont ticks = font(12);
    const std::array<std::pair<double, const char*>, 6> rates{
        {{0.0, "0.00"}, {0.05, "0.05"}, {0.25, "0.25"}, {0.5, "0.50"}, {0.75, "0.75"}, {1.0, "1.00"}}};
    for (const auto& [rate, label] : rates) {
        const int y = rate == 0.05 ? 351 : chartY(rate);
        p.drawLine(Left - 5, y, Left - 1, y);
        drawText(p, ticks, Left - 9, y, QString::fromLatin1(label), Qt::AlignRight | Qt::AlignVCenter);
    }
    for (int k = 0; k <= 6; ++k) {
        const double strength = 0.5 * k;
        const int x = k == 2 ? 276 : chartX(strength);
        p.drawLine(x, Bottom + 1, x, Bottom + 5);
        drawText(p, ticks, x, Bottom + 8, QString::number(strength, 'f', 1), Qt::AlignHCenter);
    }

    // Axis titles.
    const QFont title = font(15);
    const QFont titleItalic = font(15, true);
    drawText(p, title, (Left + Right) / 2, Bottom + 28, QStringLiteral("Interaction Strength"), Qt::AlignHCenter);
    {
        const QString rest = QStringLiteral("(Reject Null Hypothesis)");
        const QFontMetrics mi(titleItalic, &image);
        const QFontMetrics mr(title, &image);
        const int wP = mi.horizontalAdvance(QStringLiteral("P"));
        const int total = wP + mr.horizontalAdvance(rest);
        p.save();
        p.translate(40, (Top + Bottom) / 2 + total / 2);
        p.rotate(-90);
        p.setFont(titleItalic);
        p.drawText(0, 0, QStringLiteral("P"));
        p.setFont(title);
        p.drawText(wP + 1, 0, rest);
        p.restore();
    }

    // What each side of the no-interaction strength means.
    const QFont caption = font(13);
    const int arrowRow = 440;
    const int x1 = 276;
    p.drawLine(x1 - 24, arrowRow, Left + 8, arrowRow);
    arrowHead(p, Left + 1, arrowRow, -1, 0);
    const QStringList facilitation{QStringLiteral("Facilitation,"), QStringLiteral("Habitat"),
                                   QStringLiteral("Filtering")};
    const QFontMetrics mc(caption, &image);
    for (int i = 0; i < facilitation.size(); ++i)
        drawText(p, caption, Left + 1, arrowRow + 8 + i * mc.height(), facilitation[i], Qt::AlignLeft);

    p.drawLine(x1, arrowRow - 4, x1, arrowRow + 26);
    arrowHead(p, x1, arrowRow - 12, 0, -1);
    drawText(p, caption, x1, arrowRow + 30, QStringLiteral("No Interactions"), Qt::AlignHCenter);

    p.drawLine(x1 + 24, arrowRow, Right - 8, arrowRow);
    arrowHead(p, Right - 1, arrowRow, 1, 0);
    drawText(p, caption, Right - 1, arrowRow + 8, QStringLiteral("Competition"), Qt::AlignRight);
}

// The picture is drawn in "DejaVu Sans" and nothing else: another face would
// draw another picture, with labels of other widths in other places.
bool fontsPresent() {
    for (const bool italic : {false, true}) {
        const QFontInfo info(font(15, italic));
        if (info.family() != QStringLiteral("DejaVu Sans") || info.italic() != italic)
            return false;
    }
    return true;
}

// Every pixel becomes black, white or red, whichever is nearest.
void snapToThreeColours(QImage& image) {
    const std::array<QColor, 3> palette{Black, White, Red};
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            int best = 0;
            long bestDistance = -1;
            for (int i = 0; i < 3; ++i) {
                const long dr = c.red() - palette[i].red();
                const long dg = c.green() - palette[i].green();
                const long db = c.blue() - palette[i].blue();
                const long d = dr * dr + dg * dg + db * db;
                if (bestDistance < 0 || d < bestDistance) {
                    bestDistance = d;
                    best = i;
                }
            }
            image.setPixelColor(x, y, palette[best]);
        }
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    // The picture at ratio 2 is the same frame for screens at scale 2: every
    // line as thick in its pixels, every text drawn at its resolution.
    const int ratio = argc == 3 ? std::atoi(argv[2]) : 1;
    if ((argc != 2 && argc != 3) || (ratio != 1 && ratio != 2)) {
        std::fprintf(stderr, "usage: chartframe OUTPUT.png [RATIO: 1 or 2]\n");
        return 2;
    }
    if (!fontsPresent()) {
        std::fprintf(stderr, "chartframe: the font \"DejaVu Sans\" (regular and oblique) is not installed\n");
        return 1;
    }
    QImage image(Width * ratio, Height * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.setDotsPerMeterX(DotsPerMeter);
    image.setDotsPerMeterY(DotsPerMeter);
    image.fill(White);
    drawFrame(image);
    snapToThreeColours(image);
    QImage out = image.convertToFormat(QImage::Format_RGB888);
    if (!out.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "chartframe: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
