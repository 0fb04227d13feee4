#include "check_led.h"
#include "knob.h"
#include "slider.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QSignalSpy>

#include <gtest/gtest.h>

TEST(ControlsAccessibility, KnobIsADialNamedByItsCaption) {
    TKnob knob;
    knob.SetCaption("Cutoff");
    QAccessibleInterface* dial = QAccessible::queryAccessibleInterface(&knob);
    ASSERT_NE(dial, nullptr);
    EXPECT_EQ(dial->role(), QAccessible::Dial);
    EXPECT_EQ(dial->text(QAccessible::Name), "Cutoff");
    EXPECT_EQ(dial->text(QAccessible::Value), "63");

    QAccessibleValueInterface* value = dial->valueInterface();
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->minimumValue().toInt(), 0);
    EXPECT_EQ(value->maximumValue().toInt(), 127);

    // Assistive technology writes through the position setter: same rules,
    // same notification.
    QSignalSpy changes(&knob, &TKnob::OnChange);
    value->setCurrentValue(100);
    EXPECT_EQ(knob.Position(), 100);
    value->setCurrentValue(500);
    EXPECT_EQ(value->currentValue().toInt(), 100);
    dial->actionInterface()->doAction(QAccessibleActionInterface::increaseAction());
    EXPECT_EQ(knob.Position(), 101);
    EXPECT_EQ(changes.count(), 2);
}

TEST(ControlsAccessibility, SliderReportsValueAndNote) {
    TSlider slider;
    slider.setAccessibleName("Step 1");
    slider.SetPosition(60);
    slider.SetNoteNames(true);
    QAccessibleInterface* fader = QAccessible::queryAccessibleInterface(&slider);
    ASSERT_NE(fader, nullptr);
    EXPECT_EQ(fader->role(), QAccessible::Slider);
    EXPECT_EQ(fader->text(QAccessible::Name), "Step 1");
    EXPECT_EQ(fader->text(QAccessible::Value), "60 C5");
    slider.SetNoteNames(false);
    EXPECT_EQ(fader->text(QAccessible::Value), "60");
    fader->valueInterface()->setCurrentValue(61);
    EXPECT_EQ(slider.Position(), 61);
}

TEST(ControlsAccessibility, LedIsACheckBoxThatTogglesLikeAClick) {
    TCheckLed led;
    led.SetCaption("Sync");
    QAccessibleInterface* box = QAccessible::queryAccessibleInterface(&led);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->role(), QAccessible::CheckBox);
    EXPECT_EQ(box->text(QAccessible::Name), "Sync");
    EXPECT_TRUE(box->state().checkable);
    EXPECT_FALSE(box->state().checked);

    QSignalSpy changes(&led, &TCheckLed::OnChange);
    box->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(led.Status());
    EXPECT_TRUE(box->state().checked);
    EXPECT_EQ(changes.count(), 1); // a user's change reaches the owner

    led.SetStatus(false);
    EXPECT_FALSE(box->state().checked);
}
