#include "control_geometry.h"

#include <gtest/gtest.h>

using Glyphs = std::array<int, 4>;
constexpr int Blank = KnobGeometry::GlyphBlank;
constexpr int Minus = KnobGeometry::GlyphMinus;

TEST(KnobGeometry, PointerSweepsFromLowerLeftOverTheTopToLowerRight) {
    using KnobGeometry::PointerTip;
    EXPECT_EQ(PointerTip(0, 0, 127), QPoint(10, 22));
    EXPECT_EQ(PointerTip(63, 0, 127), QPoint(16, 7));
    EXPECT_EQ(PointerTip(127, 0, 127), QPoint(22, 22));
    // The angle follows the range, not the raw value.
    EXPECT_EQ(PointerTip(-127, -127, 127), QPoint(10, 22));
    EXPECT_EQ(PointerTip(0, -127, 127), QPoint(16, 7));
    EXPECT_EQ(PointerTip(140, 30, 250), QPoint(16, 7));
    EXPECT_EQ(PointerTip(250, 30, 250), QPoint(22, 22));
}

TEST(KnobGeometry, ReadoutAlwaysDrawsTheTensDigit) {
    using KnobGeometry::ReadoutGlyphs;
    EXPECT_EQ(ReadoutGlyphs(0), (Glyphs{Blank, Blank, 0, 0}));
    EXPECT_EQ(ReadoutGlyphs(5), (Glyphs{Blank, Blank, 0, 5}));
    EXPECT_EQ(ReadoutGlyphs(-7), (Glyphs{Blank, Minus, 0, 7}));
    EXPECT_EQ(ReadoutGlyphs(-12), (Glyphs{Blank, Minus, 1, 2}));
    EXPECT_EQ(ReadoutGlyphs(127), (Glyphs{Blank, 1, 2, 7}));
    EXPECT_EQ(ReadoutGlyphs(-100), (Glyphs{Minus, 1, 0, 0}));
    EXPECT_EQ(ReadoutGlyphs(250), (Glyphs{Blank, 2, 5, 0}));
}

TEST(KnobGeometry, ReadoutOfValuesBeyondThreePlacesStaysWithinTheGlyphs) {
    for (int value : {1000, -1000, 12345, INT_MAX, INT_MIN}) {
        for (int glyph : KnobGeometry::ReadoutGlyphs(value)) {
            EXPECT_GE(glyph, 0) << value;
            EXPECT_LT(glyph, KnobGeometry::GlyphCount) << value;
        }
    }
}

TEST(KnobGeometry, DragMovesOneStepPerPixelWithinTheRange) {
    using KnobGeometry::DragValue;
    EXPECT_EQ(DragValue(10, 20, 15, 0, 127), 15);
    EXPECT_EQ(DragValue(10, 20, 25, 0, 127), 5);
    EXPECT_EQ(DragValue(0, 20, -480, 0, 127), 127);
    EXPECT_EQ(DragValue(0, 20, 500, -50, 50), -50);
    EXPECT_EQ(DragValue(INT_MAX, 0, -10, 0, INT_MAX), INT_MAX);
}

TEST(SliderGeometry, FaceRunsFromBottomToTop) {
    using SliderGeometry::FaceTop;
    EXPECT_EQ(FaceTop(0, 0, 127), 75);
    EXPECT_EQ(FaceTop(64, 0, 127), 38);
    EXPECT_EQ(FaceTop(127, 0, 127), 1);
    EXPECT_EQ(FaceTop(125, 0, 125), 1);
    // Min does not shift the scale: negative values sink below 75.
    EXPECT_EQ(FaceTop(-5, -12, 127), 77);
    // A range of no steps has no place; it must not divide by zero.
    EXPECT_EQ(FaceTop(0, 1, 0), 75);
}

TEST(SliderGeometry, DragMovesTwoThirdsOfAStepPerPixelTruncated) {
    using SliderGeometry::DragValue;
    EXPECT_EQ(DragValue(50, 40, 39), 50);
    EXPECT_EQ(DragValue(50, 40, 41), 50);
    EXPECT_EQ(DragValue(50, 40, 38), 51);
    EXPECT_EQ(DragValue(50, 40, 37), 52);
    EXPECT_EQ(DragValue(50, 40, 42), 49);
    EXPECT_EQ(DragValue(50, 40, 43), 48);
}

TEST(SliderGeometry, TextsShowTheValueAndWithNoteNamesTheNote) {
    using SliderGeometry::TextsFor;
    EXPECT_EQ(TextsFor(60, true).value, "60");
    EXPECT_EQ(TextsFor(60, true).note, "C5");
    EXPECT_EQ(TextsFor(61, true).note, "C#5");
    EXPECT_EQ(TextsFor(11, true).note, "H0");
    EXPECT_EQ(TextsFor(127, true).note, "G10");
    EXPECT_EQ(TextsFor(-5, true).value, "-5");
    EXPECT_EQ(TextsFor(-5, true).note, "F0");
    EXPECT_EQ(TextsFor(-13, true).note, "C#-1");
    EXPECT_EQ(TextsFor(60, false).value, "60");
    EXPECT_TRUE(TextsFor(60, false).note.isEmpty());
}
