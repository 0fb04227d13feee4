// Draws the program's icon, a knob under a waveform on a dark panel, as
// tonewright.svg and as tonewright-SIZE.png for the sizes desktops look up:
//
//     make_app_icon OUTPUT_FOLDER
//
// With --check it compares the drawings with the files in OUTPUT_FOLDER
// instead and fails on a difference. The SVG and the pictures are made from
// one list of shapes, so they cannot drift apart.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

namespace {

// Drawn on a 256 x 256 grid; the pictures scale it.
constexpr int Grid = 256;
const int Sizes[] = {16, 32, 48, 64, 128, 256};

const QColor Panel(0x1d, 0x1d, 0x21);
const QColor PanelEdge(0x3a, 0x3a, 0x42);
const QColor Well(0x08, 0x08, 0x0a);
const QColor KnobBody(0x4a, 0x4a, 0x54);
const QColor KnobEdge(0x8a, 0x8a, 0x96);
const QColor Tick(0x9c, 0x9c, 0xa6);
const QColor Accent(0xff, 0x6a, 0x2a);

// A filled and/or stroked outline: a rounded rectangle, a circle or a line
// through points. An invalid colour means no fill or no stroke.
struct Shape {
    enum class Kind { RoundedRect, Circle, Line } kind;
    std::vector<QPointF> points; // rect: corner, size; circle: centre, (radius, 0)
    double radius = 0;
    QColor fill;
    QColor stroke;
    double strokeWidth = 0;
};

QPointF Polar(QPointF centre, double radius, double degrees) {
    const double angle = degrees * std::numbers::pi / 180.0;
    return centre + QPointF(radius * std::cos(angle), -radius * std::sin(angle));
}

std::vector<Shape> IconShapes() {
    std::vector<Shape> shapes;
    shapes.push_back({Shape::Kind::RoundedRect, {{12, 12}, {232, 232}}, 44, Panel, PanelEdge, 6});

    // One and a half periods of a sine wave across the top.
    std::vector<QPointF> wave;
    constexpr int Steps = 48;
    for (int i = 0; i <= Steps; ++i) {
        const double t = double(i) / Steps;
        const double x = 44 + t * 168;
        const double y = 64 - 22 * std::sin(t * 3 * std::numbers::pi);
        wave.emplace_back(std::round(x * 10) / 10, std::round(y * 10) / 10);
    }
    shapes.push_back({Shape::Kind::Line, wave, 0, {}, Accent, 14});

    // The knob: a scale of dots from 7 to 5 o'clock, the well, the body and
    // its pointer at 2 o'clock.
    const QPointF centre(128, 170);
    for (int step = 0; step <= 6; ++step) {
        const QPointF dot = Polar(centre, 70, 225 - step * 45);
        shapes.push_back({Shape::Kind::Circle,
                          {{std::round(dot.x() * 10) / 10, std::round(dot.y() * 10) / 10}},
                          6,
                          Tick,
                          {},
                          0});
    }
    shapes.push_back({Shape::Kind::Circle, {centre}, 54, Well, {}, 0});
    shapes.push_back({Shape::Kind::Circle, {centre}, 44, KnobBody, KnobEdge, 4});
    const QPointF tip = Polar(centre, 34, 30);
    shapes.push_back({Shape::Kind::Line,
                      {centre, {std::round(tip.x() * 10) / 10, std::round(tip.y() * 10) / 10}},
                      0,
                      {},
                      Accent,
                      12});
    return shapes;
}

QImage Picture(const std::vector<Shape>& shapes, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(double(size) / Grid, double(size) / Grid);
    for (const Shape& shape : shapes) {
        p.setBrush(shape.fill.isValid() ? QBrush(shape.fill) : QBrush(Qt::NoBrush));
        if (shape.stroke.isValid())
            p.setPen(
                QPen(shape.stroke, shape.strokeWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        else
            p.setPen(Qt::NoPen);
        switch (shape.kind) {
        case Shape::Kind::RoundedRect:
            p.drawRoundedRect(
                QRectF(shape.points[0], QSizeF(shape.points[1].x(), shape.points[1].y())),
                shape.radius, shape.radius);
            break;
        case Shape::Kind::Circle:
            p.drawEllipse(shape.points[0], shape.radius, shape.radius);
            break;
        case Shape::Kind::Line:
            p.drawPolyline(shape.points.data(), int(shape.points.size()));
            break;
        }
    }
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QString Number(double value) {
    return QString::number(value, 'g', 6);
}

QByteArray Svg(const std::vector<Shape>& shapes) {
    QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                  "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" "
                                  "height=\"%1\" viewBox=\"0 0 %1 %1\">\n")
                       .arg(Grid);
    for (const Shape& shape : shapes) {
        QString paint = QStringLiteral(" fill=\"%1\"")
                            .arg(shape.fill.isValid() ? shape.fill.name() : QStringLiteral("none"));
        if (shape.stroke.isValid())
            paint += QStringLiteral(" stroke=\"%1\" stroke-width=\"%2\" stroke-linecap=\"round\" "
                                    "stroke-linejoin=\"round\"")
                         .arg(shape.stroke.name(), Number(shape.strokeWidth));
        switch (shape.kind) {
        case Shape::Kind::RoundedRect:
            text += QStringLiteral(
                        "  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\"%6/>\n")
                        .arg(Number(shape.points[0].x()), Number(shape.points[0].y()),
                             Number(shape.points[1].x()), Number(shape.points[1].y()),
                             Number(shape.radius), paint);
            break;
        case Shape::Kind::Circle:
            text += QStringLiteral("  <circle cx=\"%1\" cy=\"%2\" r=\"%3\"%4/>\n")
                        .arg(Number(shape.points[0].x()), Number(shape.points[0].y()),
                             Number(shape.radius), paint);
            break;
        case Shape::Kind::Line: {
            QStringList points;
            for (const QPointF& point : shape.points)
                points << Number(point.x()) + QLatin1Char(',') + Number(point.y());
            text += QStringLiteral("  <polyline points=\"%1\"%2/>\n")
                        .arg(points.join(QLatin1Char(' ')), paint);
            break;
        }
        }
    }
    text += QStringLiteral("</svg>\n");
    return text.toUtf8();
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    const bool check = arguments.removeAll(QStringLiteral("--check")) > 0;
    if (arguments.size() != 1) {
        std::fprintf(stderr, "usage: make_app_icon [--check] OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir folder(arguments.front());
    if (!check && !folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(folder.path()));
        return 1;
    }

    const std::vector<Shape> shapes = IconShapes();
    int failures = 0;
    const auto report = [&](const char* problem, const QString& path) {
        std::fprintf(stderr, "%s %s\n", problem, qPrintable(path));
        ++failures;
    };

    const QString svgPath = folder.filePath(QStringLiteral("tonewright.svg"));
    const QByteArray svg = Svg(shapes);
    if (check ? ReadAll(svgPath) != svg : !WriteAll(svgPath, svg))
        report(check ? "differs from what the generator draws:" : "cannot write", svgPath);

    for (int size : Sizes) {
        const QString path = folder.filePath(QStringLiteral("tonewright-%1.png").arg(size));
        const QImage image = Picture(shapes, size);
        if (check) {
            if (QImage(path).convertToFormat(QImage::Format_ARGB32) != image)
                report("differs from what the generator draws:", path);
        } else if (!image.save(path)) {
            report("cannot write", path);
        }
    }
    return failures == 0 ? 0 : 1;
}
