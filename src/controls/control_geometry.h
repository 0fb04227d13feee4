#pragma once

#include <QPoint>
#include <QString>

#include <array>
#include <optional>

// The arithmetic of the self-drawn controls, kept apart from the widgets so
// it can be checked without painting.
namespace KnobGeometry {
constexpr int Width = 32;
constexpr int Height = 48;
constexpr int Centre = 16;       // the pointer turns around (16, 16)
constexpr int PointerLength = 9; // pixels from the centre to the tip
constexpr int FaceTop = 1;       // the face bitmap sits at (0, 1)
constexpr int ReadoutTop = 34;   // top of the four read-out glyphs
constexpr int ReadoutLeft = -4;  // the first glyph is partly outside the knob
constexpr int GlyphWidth = 9;
constexpr int GlyphHeight = 12;
constexpr int ReadoutBoundary = 32; // presses from this y down hit the read-out

// Glyph indices: 0..9 digits, then the minus sign and the blank.
constexpr int GlyphMinus = 10;
constexpr int GlyphBlank = 11;
constexpr int GlyphCount = 12;

// Min points to the lower left, the middle of the range straight up, Max to
// the lower right: 270 degrees clockwise. Max must differ from Min.
QPoint PointerTip(int position, int min, int max);

// The four glyphs of the read-out, left to right. The tens digit is always
// drawn, so 5 reads blank, blank, 0, 5.
std::array<int, 4> ReadoutGlyphs(int position);

// One step per pixel of vertical movement, up increases, kept in min..max.
int DragValue(int startValue, int startY, int y, int min, int max);
} // namespace KnobGeometry

namespace SliderGeometry {
constexpr int Width = 22;
constexpr int Height = 100;
constexpr int FaceHeight = 10;
constexpr int ValueFieldTop = 85; // the value field runs from here to the bottom
constexpr int ValueTextTop = 86;
constexpr int NoteTextTop = 14;
constexpr int TextCentre = 11;
// Clicks on the value field step between these fixed bounds, whatever the range.
constexpr int ClickLowest = 0;
constexpr int ClickHighest = 127;

// Top of the face bitmap: 75 at 0, 1 at 127 for the range 0..127.
int FaceTop(int position, int min, int max);

// Two thirds of a step per pixel, truncated, so one-pixel moves change nothing;
// up increases. The result is not yet limited to the range.
int DragValue(int position, int lastY, int y);

struct Texts {
    QString value; // in the value field at the bottom
    QString note;  // at the top
};
// The value always; the note only while the slider shows note names.
Texts TextsFor(int position, bool noteNames);
} // namespace SliderGeometry

namespace ControlKeys {
// Keyboard operation of the knob and the step slider: the position a key
// moves to, or nothing for a key they leave alone. The arrows step by one
// (up and right increase), Page Up and Page Down by ten, Home and End go to
// min and max. The result stays within min..max.
std::optional<int> KeyedPosition(int key, int position, int min, int max);
} // namespace ControlKeys
