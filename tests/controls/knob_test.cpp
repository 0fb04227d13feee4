#include "control_test_support.h"
#include "knob.h"

#include <QLabel>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace ControlTest;

namespace {
const QPoint OnFace(16, 20);
const QPoint ReadoutLeft(5, 40);
const QPoint ReadoutRight(24, 40);
} // namespace

TEST(Knob, StartsAt63Of0To127WithAFixedSize) {
    TKnob knob;
    EXPECT_EQ(knob.Position(), 63);
    EXPECT_EQ(knob.Min(), 0);
    EXPECT_EQ(knob.Max(), 127);
    EXPECT_EQ(knob.Caption(), "");
    EXPECT_EQ(knob.size(), QSize(32, 48));
    knob.resize(100, 20);
    knob.setGeometry(3, 4, 60, 60);
    EXPECT_EQ(knob.size(), QSize(32, 48));
}

TEST(Knob, PositionWritesOutsideTheRangeOrUnchangedAreIgnoredSilently) {
    TKnob knob;
    QSignalSpy changes(&knob, &TKnob::OnChange);
    knob.SetPosition(128);
    knob.SetPosition(-1);
    knob.SetPosition(63);
    EXPECT_EQ(knob.Position(), 63);
    EXPECT_EQ(changes.count(), 0);

    // A value written by the program is shown and reported to no one.
    knob.SetPosition(127);
    EXPECT_EQ(knob.Position(), 127);
    EXPECT_EQ(changes.count(), 0);
}

TEST(Knob, RangeWritesKeepMinBelowMaxAndLeaveThePosition) {
    TKnob knob;
    QSignalSpy changes(&knob, &TKnob::OnChange);
    knob.SetMin(127);
    knob.SetMin(200);
    knob.SetMax(0);
    knob.SetMax(-5);
    knob.SetMin(0);
    knob.SetMax(127);
    EXPECT_EQ(knob.Min(), 0);
    EXPECT_EQ(knob.Max(), 127);
    EXPECT_EQ(changes.count(), 0);

    knob.SetMax(50);
    knob.SetMin(-50);
    EXPECT_EQ(knob.Min(), -50);
    EXPECT_EQ(knob.Max(), 50);
    EXPECT_EQ(knob.Position(), 63); // not adjusted to the new range
    EXPECT_EQ(changes.count(), 0);

    // Writing Max before Min reaches a range above the old one.
    TKnob tempo;
    tempo.SetMax(250);
    tempo.SetMin(30);
    EXPECT_EQ(tempo.Min(), 30);
    EXPECT_EQ(tempo.Max(), 250);
}

TEST(Knob, CaptionWritesAreNoUserChange) {
    TKnob knob;
    QSignalSpy changes(&knob, &TKnob::OnChange);
    knob.SetCaption("Cutoff");
    knob.SetCaption("Cutoff");
    EXPECT_EQ(knob.Caption(), "Cutoff");
    EXPECT_EQ(changes.count(), 0); // no write is a user's change
}

TEST(Knob, DragOf500PixelsEndsAtMaxAndReportsEachChangeOnce) {
    TKnob knob;
    knob.SetPosition(0);
    QSignalSpy changes(&knob, &TKnob::OnChange);

    Press(knob, OnFace);
    EXPECT_EQ(changes.count(), 0);
    Move(knob, OnFace - QPoint(0, 500));
    EXPECT_EQ(knob.Position(), 127);
    ASSERT_EQ(changes.count(), 1); // once, naming the knob
    EXPECT_EQ(changes.at(0).at(0).value<QObject*>(), &knob);

    Move(knob, OnFace - QPoint(0, 510));
    Move(knob, OnFace - QPoint(0, 520));
    EXPECT_EQ(knob.Position(), 127);
    EXPECT_EQ(changes.count(), 1); // moves that change nothing report nothing

    Release(knob, OnFace - QPoint(0, 520));
    EXPECT_EQ(changes.count(), 1);
}

TEST(Knob, DragStepsFollowThePointerBothWays) {
    TKnob knob;
    knob.SetMin(-50);
    knob.SetMax(50);
    knob.SetPosition(0);
    QSignalSpy changes(&knob, &TKnob::OnChange);
    Press(knob, OnFace);
    Move(knob, OnFace - QPoint(0, 1));
    EXPECT_EQ(knob.Position(), 1);
    Move(knob, OnFace + QPoint(0, 7));
    EXPECT_EQ(knob.Position(), -7);
    Move(knob, OnFace + QPoint(0, 300));
    EXPECT_EQ(knob.Position(), -50);
    Release(knob, OnFace);
    EXPECT_EQ(changes.count(), 3);

    // Without a press on the face, moving does nothing.
    Move(knob, OnFace - QPoint(0, 30));
    EXPECT_EQ(knob.Position(), -50);
}

TEST(Knob, ReadoutHalvesStepByOneAndRepaintAtTheLimits) {
    TKnob knob;
    QSignalSpy changes(&knob, &TKnob::OnChange);
    Press(knob, ReadoutRight);
    EXPECT_EQ(knob.Position(), 64);
    EXPECT_EQ(changes.count(), 1);
    Release(knob, ReadoutRight);
    EXPECT_EQ(changes.count(), 1);

    knob.SetPosition(127);
    changes.clear();
    Press(knob, ReadoutRight, Qt::RightButton); // any button
    EXPECT_EQ(knob.Position(), 127);
    EXPECT_EQ(changes.count(), 0); // at the limit: no change
    Release(knob, ReadoutRight, Qt::RightButton);

    knob.SetPosition(0);
    changes.clear();
    Press(knob, ReadoutLeft);
    EXPECT_EQ(knob.Position(), 0);
    EXPECT_EQ(changes.count(), 0);
    Release(knob, ReadoutLeft);
    knob.SetPosition(1);
    Press(knob, QPoint(15, 32)); // first row of the read-out, left half
    Release(knob, QPoint(15, 32));
    EXPECT_EQ(knob.Position(), 0);
}

TEST(Knob, RaisesEnterAndLeave) {
    TKnob knob;
    QSignalSpy enters(&knob, &TKnob::OnEnter);
    QSignalSpy leaves(&knob, &TKnob::OnLeave);
    QEnterEvent enter(QPointF(3, 3), QPointF(3, 3), QPointF(3, 3));
    QApplication::sendEvent(&knob, &enter);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&knob, &leave);
    ASSERT_EQ(enters.count(), 1);
    EXPECT_EQ(enters.at(0).at(0).value<QObject*>(), &knob);
    EXPECT_EQ(leaves.count(), 1);
}

TEST(Knob, DrawsTheReadoutGlyphsAtTheirPlaces) {
    TKnob knob;
    knob.SetMin(-127);
    const QImage blank = Bitmap("KSPACE");
    const QImage minus = Bitmap("KMINUS");
    const QImage digits[] = {Bitmap("KBITMAP0"), Bitmap("KBITMAP1"), Bitmap("KBITMAP2")};
    ASSERT_EQ(blank.size(), QSize(9, 12));

    // -12 reads blank, minus, 1, 2 at x = -4, 5, 14, 23 and y = 34.
    knob.SetPosition(-12);
    const QImage picture = Picture(knob);
    EXPECT_EQ(picture.copy(1, 34, 4, 12), blank.copy(5, 0, 4, 12));
    EXPECT_EQ(picture.copy(5, 34, 9, 12), minus);
    EXPECT_EQ(picture.copy(14, 34, 9, 12), digits[1]);
    EXPECT_EQ(picture.copy(23, 34, 8, 12), digits[2].copy(0, 0, 8, 12)); // right edge: frame

    knob.SetPosition(-100);
    const QImage hundred = Picture(knob);
    EXPECT_EQ(hundred.copy(1, 34, 4, 12), minus.copy(5, 0, 4, 12));
    EXPECT_EQ(hundred.copy(5, 34, 9, 12), digits[1]);
    EXPECT_EQ(hundred.copy(14, 34, 9, 12), digits[0]);
}

TEST(Knob, DrawsPointerTipAndFrame) {
    TKnob knob;
    const QColor tip(80, 30, 30);
    knob.SetPosition(0);
    EXPECT_EQ(Picture(knob).pixelColor(10, 22), tip);
    knob.SetPosition(127);
    const QImage atMax = Picture(knob);
    EXPECT_EQ(atMax.pixelColor(22, 22), tip);
    EXPECT_NE(atMax.pixelColor(10, 22), tip);
    for (QPoint edge : {QPoint(0, 0), QPoint(31, 20), QPoint(15, 47), QPoint(0, 30)})
        EXPECT_EQ(atMax.pixelColor(edge), QColor(32, 12, 12)) << edge.x() << "," << edge.y();
}

TEST(Knob, NeitherWritesNorScreenPaintsNotify) {
    QWidget panel;
    panel.resize(200, 200);
    auto* knob = new TKnob(&panel);
    knob->move(20, 40);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    QApplication::processEvents();

    QSignalSpy changes(knob, &TKnob::OnChange);
    knob->SetPosition(10);
    QApplication::processEvents(); // the write's picture reaches the screen
    knob->repaint();               // the window system asks for a paint
    EXPECT_EQ(changes.count(), 0);
}

TEST(Knob, CaptionLabelSitsCentredAbove) {
    QWidget panel;
    auto* knob = new TKnob(&panel);
    knob->setObjectName("KnobFilterFrequency");
    knob->move(100, 60);
    knob->SetCaption("Frequency");
    QLabel* label = knob->CaptionLabelWidget();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->parentWidget(), &panel);
    EXPECT_EQ(label->text(), "Frequency");
    EXPECT_EQ(label->objectName(), "KnobFilterFrequencyCaption");
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::black));
    EXPECT_EQ(label->y(), 60 - 14);
    const int textWidth = label->fontMetrics().horizontalAdvance("Frequency");
    EXPECT_EQ(label->x(), 100 + 16 - textWidth / 2);

    panel.show();
    EXPECT_TRUE(label->isVisible());
    knob->move(200, 100);
    EXPECT_EQ(label->y(), 100 - 14);
    EXPECT_EQ(label->x(), 200 + 16 - textWidth / 2);

    knob->hide();
    EXPECT_FALSE(label->isVisible());
    knob->show();
    EXPECT_TRUE(label->isVisible());

    // The label goes with the knob, whichever of the two the panel loses first.
    QPointer<QLabel> watched(label);
    delete knob;
    EXPECT_TRUE(watched.isNull());
}

TEST(Knob, CaptionLabelOfAKnobWithoutParentStaysHidden) {
    TKnob knob;
    knob.SetCaption("Resonance");
    EXPECT_FALSE(knob.CaptionLabelWidget()->isVisible());
    EXPECT_EQ(knob.CaptionLabelWidget()->parentWidget(), nullptr);

    QWidget panel;
    knob.setParent(&panel);
    EXPECT_EQ(knob.CaptionLabelWidget()->parentWidget(), &panel);
    knob.setParent(nullptr); // the knob outlives the panel
}
