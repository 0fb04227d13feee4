#include "check_led.h"
#include "control_test_support.h"

#include <QLabel>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace ControlTest;

namespace {
const QPoint LensCentre(16, 8);
}

TEST(CheckLed, StartsOffCaptionedInstrument) {
    TCheckLed led;
    EXPECT_EQ(led.size(), QSize(32, 16));
    EXPECT_EQ(led.Caption(), "Instrument");
    EXPECT_FALSE(led.Status());
}

TEST(CheckLed, CaptionIsCutTo32Characters) {
    QWidget panel;
    auto* led = new TCheckLed(&panel);
    led->move(80, 50);
    const QString forty = "Oscillator Keyboard Tracking On Or Off!!";
    ASSERT_EQ(forty.size(), 40);
    led->SetCaption(forty);
    EXPECT_EQ(led->Caption(), forty.left(32));
    QLabel* label = led->CaptionLabelWidget();
    EXPECT_EQ(label->text(), forty.left(32));
    EXPECT_EQ(label->parentWidget(), &panel);
    EXPECT_EQ(label->y(), 50 - 14);
    EXPECT_EQ(label->x(), 80 + 16 - label->fontMetrics().horizontalAdvance(forty.left(32)) / 2);

    // A character of two UTF-16 units is not split at the cut.
    led->SetCaption(QString(31, 'a') + QString::fromUtf8("\xF0\x9F\x8E\xB9") + "b");
    EXPECT_EQ(led->Caption(), QString(31, 'a'));
}

TEST(CheckLed, ClickTogglesAndNotifiesOnceWithAnyButton) {
    TCheckLed led;
    const QImage off = Picture(led);
    QSignalSpy changes(&led, &TCheckLed::OnChange);

    Press(led, QPoint(3, 3));
    EXPECT_TRUE(led.Status());
    EXPECT_EQ(changes.count(), 1);
    Release(led, QPoint(3, 3));
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(Picture(led).pixelColor(LensCentre), Bitmap("REDBUTTON").pixelColor(LensCentre));

    Press(led, QPoint(30, 14), Qt::RightButton);
    Release(led, QPoint(30, 14), Qt::RightButton);
    EXPECT_FALSE(led.Status());
    EXPECT_EQ(changes.count(), 2);
    EXPECT_EQ(Picture(led), off);
}

TEST(CheckLed, StatusWrittenByTheProgramRepaintsButRaisesNothing) {
    TCheckLed led;
    QSignalSpy changes(&led, &TCheckLed::OnChange);
    led.SetStatus(true);
    led.SetStatus(true);
    const QImage on = Picture(led); // a paint of the LED raises nothing either
    EXPECT_TRUE(led.Status());
    EXPECT_EQ(on.pixelColor(LensCentre), Bitmap("REDBUTTON").pixelColor(LensCentre));
    EXPECT_EQ(on.pixelColor(0, 0), QColor(120, 40, 40));
    led.SetCaption("Sync");
    EXPECT_EQ(changes.count(), 0);
}
