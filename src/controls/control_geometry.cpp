#include "control_geometry.h"

#include "note_names.h"

#include <cmath>
#include <cstdint>
#include <numbers>

namespace {
int Clamped(std::int64_t value, int min, int max) {
    if (value < min)
        return min;
    if (value > max)
        return max;
    return static_cast<int>(value);
}
} // namespace

namespace KnobGeometry {
QPoint PointerTip(int position, int min, int max) {
    const double sweep = 3.0 * std::numbers::pi / 2.0;
    const double span = static_cast<double>(max) - static_cast<double>(min);
    const double angle =
        sweep / span * (static_cast<double>(position) - min) + 3.0 * std::numbers::pi / 4.0;
    return {Centre + static_cast<int>(std::lround(PointerLength * std::cos(angle))),
            Centre + static_cast<int>(std::lround(PointerLength * std::sin(angle)))};
}

std::array<int, 4> ReadoutGlyphs(int position) {
    const std::int64_t v = std::abs(static_cast<std::int64_t>(position));
    // Three places only: a hundreds figure of 10 or more shows its last digit.
    const int hundreds = static_cast<int>((v / 100) % 10);
    const int tens = static_cast<int>((v / 10) % 10);
    const int units = static_cast<int>(v % 10);
    const int sign = position < 0 ? GlyphMinus : GlyphBlank;
    if (v < 100)
        return {GlyphBlank, sign, tens, units};
    return {sign, hundreds, tens, units};
}

int DragValue(int startValue, int startY, int y, int min, int max) {
    return Clamped(static_cast<std::int64_t>(startValue) + startY - y, min, max);
}
} // namespace KnobGeometry

namespace SliderGeometry {
int FaceTop(int position, int min, int max) {
    const std::int64_t steps = static_cast<std::int64_t>(max) - min + 1;
    if (steps == 0)
        return 75; // an empty range has no defined place; keep the face at the bottom
    return static_cast<int>(75 - static_cast<std::int64_t>(position) * 75 / steps);
}

int DragValue(int position, int lastY, int y) {
    return static_cast<int>(static_cast<std::int64_t>(position) +
                            (static_cast<std::int64_t>(lastY) - y) * 2 / 3);
}

Texts TextsFor(int position, bool noteNames) {
    if (!noteNames)
        return {QString::number(position), {}};
    const int magnitude = position < 0 ? -position : position;
    return {QString::number(position),
            QString::fromLatin1(NoteNames[static_cast<std::size_t>(magnitude % 12)]) +
                QString::number(position / 12)};
}
} // namespace SliderGeometry

namespace ControlKeys {
std::optional<int> KeyedPosition(int key, int position, int min, int max) {
    std::int64_t target = 0;
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Right:
        target = std::int64_t{position} + 1;
        break;
    case Qt::Key_Down:
    case Qt::Key_Left:
        target = std::int64_t{position} - 1;
        break;
    case Qt::Key_PageUp:
        target = std::int64_t{position} + 10;
        break;
    case Qt::Key_PageDown:
        target = std::int64_t{position} - 10;
        break;
    case Qt::Key_Home:
        return min;
    case Qt::Key_End:
        return max;
    default:
        return std::nullopt;
    }
    // A crossed range (the slider allows one) keeps the position.
    if (min > max)
        return position;
    return Clamped(target, min, max);
}
} // namespace ControlKeys
