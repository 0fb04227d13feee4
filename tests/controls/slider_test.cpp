#include "control_test_support.h"
#include "slider.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace ControlTest;

namespace {
const QPoint OnTrack(11, 40);
const QPoint FieldLeft(4, 92);
const QPoint FieldRight(17, 92);

void Click(TSlider& slider, QPoint at) {
    Press(slider, at);
    Release(slider, at);
}

// Pixels darker than the value field inside the given rows of the slider.
int DarkPixels(const QImage& picture, int top, int bottom) {
    int dark = 0;
    for (int y = top; y <= bottom; ++y)
        for (int x = 1; x < 21; ++x)
            dark += qGray(picture.pixel(x, y)) < 100 ? 1 : 0;
    return dark;
}
} // namespace

TEST(Slider, StartsAt0Of0To127WithAFixedSize) {
    TSlider slider;
    EXPECT_EQ(slider.Position(), 0);
    EXPECT_EQ(slider.Min(), 0);
    EXPECT_EQ(slider.Max(), 127);
    EXPECT_FALSE(slider.NoteNames());
    slider.resize(40, 40);
    EXPECT_EQ(slider.size(), QSize(22, 100));
}

TEST(Slider, PositionWritesOutsideTheRangeAreIgnoredSilently) {
    TSlider slider;
    QSignalSpy changes(&slider, &TSlider::OnChange);
    slider.SetPosition(128);
    slider.SetPosition(-1);
    slider.SetPosition(0);
    EXPECT_EQ(changes.count(), 0);
    slider.SetPosition(100);
    EXPECT_EQ(slider.Position(), 100);
    EXPECT_EQ(changes.count(), 0); // a program's write is no user's change
}

TEST(Slider, RangeWritesStayWithin255AndAreNotCheckedAgainstEachOther) {
    TSlider slider;
    QSignalSpy changes(&slider, &TSlider::OnChange);
    slider.SetMax(256);
    slider.SetMin(-256);
    slider.SetMax(127);
    EXPECT_EQ(changes.count(), 0);
    slider.SetMin(200);
    slider.SetMax(-255);
    EXPECT_EQ(slider.Min(), 200);
    EXPECT_EQ(slider.Max(), -255);
    EXPECT_EQ(changes.count(), 0);
    // A crossed range takes no position, by writing or by dragging.
    slider.SetPosition(0);
    Press(slider, OnTrack);
    Move(slider, OnTrack - QPoint(0, 30));
    Release(slider, OnTrack);
    EXPECT_EQ(slider.Position(), 0);
}

TEST(Slider, OnePixelDragStepsChangeNothing) {
    TSlider slider;
    slider.SetPosition(50);
    QSignalSpy changes(&slider, &TSlider::OnChange);
    Press(slider, OnTrack);
    for (int y = 1; y <= 20; ++y)
        Move(slider, OnTrack - QPoint(0, y));
    EXPECT_EQ(slider.Position(), 50);
    EXPECT_EQ(changes.count(), 0);

    Move(slider, OnTrack - QPoint(0, 22)); // two pixels: one step up
    EXPECT_EQ(slider.Position(), 51);
    Move(slider, OnTrack - QPoint(0, 19)); // three pixels down: two steps
    EXPECT_EQ(slider.Position(), 49);
    Move(slider, OnTrack - QPoint(0, 400));
    EXPECT_EQ(slider.Position(), 127);
    EXPECT_EQ(changes.count(), 3); // one per change, none for the move itself
    Release(slider, OnTrack);
    EXPECT_EQ(changes.count(), 3); // the release raises nothing
}

TEST(Slider, ValueFieldClicksStepBetween0And127WhateverTheRange) {
    TSlider slider;
    QSignalSpy changes(&slider, &TSlider::OnChange);
    Click(slider, FieldLeft);
    EXPECT_EQ(slider.Position(), 0);
    EXPECT_EQ(changes.count(), 0); // at the bound: no change

    slider.SetMax(125);
    slider.SetPosition(125);
    Click(slider, FieldRight);
    EXPECT_EQ(slider.Position(), 126);
    Click(slider, FieldRight);
    Click(slider, FieldRight);
    EXPECT_EQ(slider.Position(), 127);

    // Dragging keeps to Max.
    Press(slider, OnTrack);
    Move(slider, OnTrack - QPoint(0, 2));
    Release(slider, OnTrack);
    EXPECT_EQ(slider.Position(), 125);

    slider.SetMin(-12);
    slider.SetPosition(-5);
    Click(slider, FieldLeft);
    EXPECT_EQ(slider.Position(), -5);
}

TEST(Slider, FaceMovesWithThePosition) {
    TSlider slider;
    const QImage face = Bitmap("SLIDERFACE1");
    ASSERT_EQ(face.size(), QSize(22, 10));
    EXPECT_EQ(Picture(slider).copy(0, 75, 22, 10), face);
    slider.SetPosition(127);
    const QImage top = Picture(slider);
    EXPECT_EQ(top.copy(0, 1, 22, 10), face);
    EXPECT_NE(top.copy(0, 75, 22, 10), face);
}

TEST(Slider, NoteNamesAddTheNoteAboveTheValue) {
    TSlider slider;
    slider.SetPosition(60);
    const QImage plain = Picture(slider);
    EXPECT_GT(DarkPixels(plain, 87, 98), 10); // "60" in the value field

    QSignalSpy changes(&slider, &TSlider::OnChange);
    slider.SetNoteNames(true);
    EXPECT_EQ(changes.count(), 0);
    const QImage notes = Picture(slider);
    EXPECT_EQ(notes.copy(0, 85, 22, 15), plain.copy(0, 85, 22, 15)); // the value stays
    EXPECT_NE(notes.copy(0, 12, 22, 16), plain.copy(0, 12, 22, 16)); // "C5" on top
}
