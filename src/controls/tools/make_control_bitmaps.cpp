// Draws the bitmaps of the self-drawn controls (knob face, read-out glyphs,
// slider face and background, LED images) at normal and double resolution:
//
//     make_control_bitmaps OUTPUT_FOLDER
//
// writes NAME.png and NAME@2x.png for every bitmap. With --check it compares
// the pictures with the ones in OUTPUT_FOLDER instead and fails on a difference.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>
#include <vector>

namespace {

// The palette of a dark instrument front panel.
const QColor Panel(0x1d, 0x1d, 0x21);
const QColor PanelLow(0x15, 0x15, 0x18);
const QColor Well(0x08, 0x08, 0x0a);
const QColor Legend(0x9c, 0x9c, 0xa6);
const QColor LegendBright(0xd8, 0xd8, 0xde);
const QColor Display(0x10, 0x07, 0x06);
const QColor DisplayEdge(0x05, 0x02, 0x02);
const QColor Segment(0xff, 0x4c, 0x24);

// Drawing in device-independent pixels; scale is 1 or 2.
using Painter = std::function<void(QPainter&, int scale)>;

struct Bitmap {
    QString name;
    QSize size;
    Painter paint;
};

QImage Draw(const Bitmap& bitmap, int scale) {
    QImage image(bitmap.size * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.scale(scale, scale);
    bitmap.paint(painter, scale);
    painter.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

// A vertical gradient over the whole picture: the brushed panel.
void FillPanel(QPainter& p, QSizeF size) {
    QLinearGradient panel(0, 0, 0, size.height());
    panel.setColorAt(0, Panel);
    panel.setColorAt(1, PanelLow);
    p.fillRect(QRectF(QPointF(0, 0), size), panel);
}

// ---- knob ------------------------------------------------------------------

// The pointer turns around the centre of pixel (16, 16) of the knob, which is
// pixel (16, 15) of the face because the face is drawn one pixel down.
const QPointF KnobCentre(16.5, 15.5);

QPointF OnCircle(QPointF centre, double radius, double degrees) {
    const double a = degrees * std::numbers::pi / 180.0;
    return centre + QPointF(radius * std::cos(a), radius * std::sin(a));
}

void PaintKnobFace(QPainter& p, int scale) {
    FillPanel(p, {32, 32});
    p.setRenderHint(QPainter::Antialiasing);

    // The scale: eleven ticks over 270 degrees, the ends and the centre brighter.
    for (int k = 0; k <= 10; ++k) {
        const double degrees = 135.0 + 27.0 * k;
        const bool major = k == 0 || k == 5 || k == 10;
        p.setPen(
            QPen(major ? LegendBright : Legend, major ? 1.2 : 0.9, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(OnCircle(KnobCentre, 12.6, degrees),
                   OnCircle(KnobCentre, major ? 14.6 : 14.0, degrees));
    }

    // Shadow under the knob.
    QRadialGradient shadow(KnobCentre + QPointF(0, 1.2), 13.0);
    shadow.setColorAt(0.75, QColor(0, 0, 0, 200));
    shadow.setColorAt(1.0, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shadow);
    p.drawEllipse(KnobCentre + QPointF(0, 1.2), 13.0, 13.0);

    // The skirt: brushed metal, lit from above.
    QLinearGradient skirt(0, KnobCentre.y() - 11.5, 0, KnobCentre.y() + 11.5);
    skirt.setColorAt(0.0, QColor(0x8e, 0x8f, 0x96));
    skirt.setColorAt(0.45, QColor(0x5c, 0x5d, 0x64));
    skirt.setColorAt(1.0, QColor(0x2c, 0x2d, 0x32));
    p.setBrush(skirt);
    p.setPen(QPen(QColor(0x0c, 0x0c, 0x0e), 0.8));
    p.drawEllipse(KnobCentre, 11.3, 11.3);

    if (scale > 1) {
        // Knurling on the skirt's edge, fine enough only for the sharp variant.
        p.setPen(QPen(QColor(0, 0, 0, 70), 0.35));
        for (int k = 0; k < 48; ++k)
            p.drawLine(OnCircle(KnobCentre, 9.6, k * 7.5), OnCircle(KnobCentre, 11.0, k * 7.5));
    }

    // The cap: dark graphite with a soft highlight at the upper left.
    QRadialGradient cap(KnobCentre + QPointF(-2.5, -3.0), 9.0);
    cap.setColorAt(0.0, QColor(0x4a, 0x4a, 0x52));
    cap.setColorAt(0.55, QColor(0x26, 0x26, 0x2b));
    cap.setColorAt(1.0, QColor(0x12, 0x12, 0x15));
    p.setBrush(cap);
    p.setPen(QPen(QColor(0x08, 0x08, 0x0a), 0.9));
    p.drawEllipse(KnobCentre, 7.6, 7.6);
    // A thin light rim where the cap meets the skirt, brightest at the top.
    QLinearGradient rim(0, KnobCentre.y() - 8, 0, KnobCentre.y() + 8);
    rim.setColorAt(0.0, QColor(255, 255, 255, 90));
    rim.setColorAt(0.5, QColor(255, 255, 255, 0));
    p.setPen(QPen(QBrush(rim), 0.6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(KnobCentre, 8.3, 8.3);
}

// ---- read-out glyphs ---------------------------------------------------------

// Seven segments: a top, b upper right, c lower right, d bottom, e lower left,
// f upper left, g middle.
enum SegmentBit { A = 1, B = 2, C = 4, D = 8, E = 16, F = 32, G = 64 };
constexpr int DigitSegments[10] = {A | B | C | D | E | F, B | C,         A | B | D | E | G,
                                   A | B | C | D | G,     B | C | F | G, A | C | D | F | G,
                                   A | C | D | E | F | G, A | B | C,     A | B | C | D | E | F | G,
                                   A | B | C | D | F | G};

void PaintDisplayBackground(QPainter& p) {
    p.fillRect(QRectF(0, 0, 9, 12), Display);
    // A darker top row makes the window look sunk into the panel.
    p.fillRect(QRectF(0, 0, 9, 1), DisplayEdge);
}

// The digit occupies columns 1..6 and rows 2..10 of the 9 x 12 glyph.
void PaintSegments(QPainter& p, int scale, int segments, double left = 1) {
    const double right = left + 5;
    const double top = 2, middle = 6, bottom = 10;
    struct Bar {
        int bit;
        QRectF sharp; // at normal resolution: whole pixels, no smoothing
        QPointF from; // at double resolution: bevelled bars along these lines
        QPointF to;
    };
    const Bar bars[] = {
        {A, {left + 1, top, 4, 1}, {left + 1.2, top + 0.5}, {right - 0.2, top + 0.5}},
        {B, {right, top + 1, 1, 3}, {right + 0.5, top + 1.2}, {right + 0.5, middle - 0.2}},
        {C, {right, middle + 1, 1, 3}, {right + 0.5, middle + 1.2}, {right + 0.5, bottom - 0.2}},
        {D, {left + 1, bottom, 4, 1}, {left + 1.2, bottom + 0.5}, {right - 0.2, bottom + 0.5}},
        {E, {left, middle + 1, 1, 3}, {left + 0.5, middle + 1.2}, {left + 0.5, bottom - 0.2}},
        {F, {left, top + 1, 1, 3}, {left + 0.5, top + 1.2}, {left + 0.5, middle - 0.2}},
        {G, {left + 1, middle, 4, 1}, {left + 1.2, middle + 0.5}, {right - 0.2, middle + 0.5}},
    };
    for (const Bar& bar : bars) {
        if (!(segments & bar.bit))
            continue;
        if (scale == 1) {
            p.fillRect(bar.sharp, Segment);
            continue;
        }
        p.setRenderHint(QPainter::Antialiasing);
        // A faint glow first, then the bar with pointed ends.
        p.setPen(QPen(QColor(255, 60, 20, 60), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(bar.from, bar.to);
        const QPointF along =
            (bar.to - bar.from) / std::hypot((bar.to - bar.from).x(), (bar.to - bar.from).y());
        const QPointF across(-along.y() * 0.5, along.x() * 0.5);
        QPainterPath path;
        path.moveTo(bar.from);
        path.lineTo(bar.from + along * 0.5 + across);
        path.lineTo(bar.to - along * 0.5 + across);
        path.lineTo(bar.to);
        path.lineTo(bar.to - along * 0.5 - across);
        path.lineTo(bar.from + along * 0.5 - across);
        path.closeSubpath();
        p.setPen(Qt::NoPen);
        p.fillPath(path, Segment);
        p.setRenderHint(QPainter::Antialiasing, false);
    }
}

Painter DigitPainter(int digit) {
    return [digit](QPainter& p, int scale) {
        PaintDisplayBackground(p);
        PaintSegments(p, scale, DigitSegments[digit]);
    };
}

void PaintMinus(QPainter& p, int scale) {
    PaintDisplayBackground(p);
    // Placed towards the right: in the first place only the glyph's right
    // half lies inside the knob.
    PaintSegments(p, scale, G, 2.5);
}

void PaintBlank(QPainter& p, int) {
    PaintDisplayBackground(p);
}

// ---- slider ------------------------------------------------------------------

// The face's middle runs from y = 6 (top) to y = 80 (bottom).
void PaintSliderBackground(QPainter& p, int scale) {
    FillPanel(p, {22, 100});
    // Scale marks left and right of the slot, longer at the ends and middle.
    for (int k = 0; k <= 8; ++k) {
        const double y = 6.5 + k * 74.0 / 8.0;
        const bool major = k % 4 == 0;
        const QColor colour = major ? LegendBright : Legend;
        const double length = major ? 4 : 3;
        if (scale == 1) {
            const int row = static_cast<int>(y);
            p.fillRect(QRectF(6 - length, row, length, 1), colour);
            p.fillRect(QRectF(16, row, length, 1), colour);
        } else {
            p.fillRect(QRectF(6 - length, y - 0.5, length, 0.5), colour);
            p.fillRect(QRectF(16, y - 0.5, length, 0.5), colour);
        }
    }
    // The slot: sunk, with a lit lower right edge.
    p.fillRect(QRectF(9, 4, 4, 80), Well);
    p.fillRect(QRectF(9, 4, 4, 1), QColor(0, 0, 0));
    p.fillRect(QRectF(12.5, 5, 0.5, 79), QColor(0x3a, 0x3a, 0x40));
    p.fillRect(QRectF(9, 83.5, 4, 0.5), QColor(0x3a, 0x3a, 0x40));
    p.fillRect(QRectF(10.5, 5, 1, 78), QColor(0x18, 0x18, 0x1c));
}

void PaintSliderFace(QPainter& p, int scale) {
    // The slot and panel show at the face's corners.
    FillPanel(p, {22, 10});
    p.fillRect(QRectF(9, 0, 4, 10), Well);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF body(1.5, 0.5, 19, 9);
    QLinearGradient cap(0, 0, 0, 10);
    cap.setColorAt(0.0, QColor(0x77, 0x79, 0x80));
    cap.setColorAt(0.5, QColor(0x42, 0x44, 0x4a));
    cap.setColorAt(1.0, QColor(0x24, 0x25, 0x29));
    p.setPen(QPen(QColor(0x06, 0x06, 0x08), 1));
    p.setBrush(cap);
    p.drawRoundedRect(body, 1.5, 1.5);
    if (scale > 1) {
        // Grip ridges.
        p.setPen(QPen(QColor(0, 0, 0, 90), 0.5));
        for (double y : {2.25, 3.25, 6.75, 7.75})
            p.drawLine(QPointF(3, y), QPointF(19, y));
    }
    p.setRenderHint(QPainter::Antialiasing, false);
    // The indicator line across the middle.
    p.fillRect(QRectF(2, 4, 18, scale > 1 ? 1.5 : 1), QColor(0xf2, 0xf2, 0xf2));
    p.fillRect(QRectF(2, 5, 18, scale > 1 ? 0.5 : 1), QColor(0x14, 0x14, 0x16));
}

// ---- LED switch --------------------------------------------------------------

void PaintLedButton(QPainter& p, int scale, bool on) {
    FillPanel(p, {32, 16});
    p.setRenderHint(QPainter::Antialiasing);
    // The button cap.
    QLinearGradient cap(0, 2, 0, 14);
    cap.setColorAt(0.0, QColor(0x56, 0x57, 0x5e));
    cap.setColorAt(1.0, QColor(0x25, 0x26, 0x2a));
    p.setPen(QPen(QColor(0x05, 0x05, 0x06), 1));
    p.setBrush(cap);
    p.drawRoundedRect(QRectF(2.5, 2.5, 27, 11), 2, 2);

    const QRectF lens(9.5, 5.5, 13, 5);
    if (on) {
        QRadialGradient glow(lens.center(), 12);
        glow.setColorAt(0.0, QColor(255, 60, 30, 150));
        glow.setColorAt(1.0, QColor(255, 60, 30, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawRoundedRect(QRectF(3, 3, 26, 10), 2, 2);
    }
    QLinearGradient light(0, lens.top(), 0, lens.bottom());
    if (on) {
        light.setColorAt(0.0, QColor(0xff, 0xb0, 0x90));
        light.setColorAt(0.35, QColor(0xff, 0x38, 0x1c));
        light.setColorAt(1.0, QColor(0xc8, 0x14, 0x08));
    } else {
        light.setColorAt(0.0, QColor(0x5a, 0x22, 0x1e));
        light.setColorAt(0.4, QColor(0x36, 0x0e, 0x0b));
        light.setColorAt(1.0, QColor(0x22, 0x07, 0x06));
    }
    p.setPen(QPen(QColor(0x08, 0x02, 0x02), scale > 1 ? 0.5 : 1));
    p.setBrush(light);
    p.drawRoundedRect(lens, 1.2, 1.2);
}

std::vector<Bitmap> AllBitmaps() {
    std::vector<Bitmap> bitmaps = {
        {"KNOBFACE1", {32, 32}, PaintKnobFace},
    };
    for (int digit = 0; digit <= 9; ++digit)
        bitmaps.push_back({"KBITMAP" + QString::number(digit), {9, 12}, DigitPainter(digit)});
    bitmaps.push_back({"KMINUS", {9, 12}, PaintMinus});
    bitmaps.push_back({"KSPACE", {9, 12}, PaintBlank});
    bitmaps.push_back({"SLIDERFACE1", {22, 10}, PaintSliderFace});
    bitmaps.push_back({"SLIDERBACKGROUND1", {22, 100}, PaintSliderBackground});
    bitmaps.push_back(
        {"REDBUTTON", {32, 16}, [](QPainter& p, int s) { PaintLedButton(p, s, true); }});
    bitmaps.push_back(
        {"BLACKBUTTON", {32, 16}, [](QPainter& p, int s) { PaintLedButton(p, s, false); }});
    return bitmaps;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    const bool check = arguments.removeAll(QStringLiteral("--check")) > 0;
    if (arguments.size() != 1) {
        std::fprintf(stderr, "usage: make_control_bitmaps [--check] OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir folder(arguments.front());
    if (!check && !folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(folder.path()));
        return 1;
    }

    int failures = 0;
    for (const Bitmap& bitmap : AllBitmaps()) {
        for (int scale : {1, 2}) {
            const QString file =
                bitmap.name + (scale == 1 ? QString() : QStringLiteral("@2x")) + ".png";
            const QString path = folder.filePath(file);
            const QImage image = Draw(bitmap, scale);
            if (check) {
                const QImage stored = QImage(path).convertToFormat(QImage::Format_RGB32);
                if (stored != image) {
                    std::fprintf(stderr, "%s differs from what the generator draws\n",
                                 qPrintable(path));
                    ++failures;
                }
            } else if (!image.save(path)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
                ++failures;
            }
        }
    }
    return failures == 0 ? 0 : 1;
}
