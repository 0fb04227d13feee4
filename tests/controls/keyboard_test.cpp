#include "check_led.h"
#include "control_test_support.h"
#include "knob.h"
#include "slider.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace ControlTest;

namespace {
struct KeyCase {
    Qt::Key key;
    int from;
    int expected;
};

// Knob and slider share the keys; each case starts from `from` in -50..100.
const KeyCase KeyCases[] = {
    {Qt::Key_Up, 10, 11},     {Qt::Key_Right, 10, 11},   {Qt::Key_Down, 10, 9},
    {Qt::Key_Left, 10, 9},    {Qt::Key_PageUp, 10, 20},  {Qt::Key_PageDown, 10, 0},
    {Qt::Key_Home, 10, -50},  {Qt::Key_End, 10, 100},    {Qt::Key_Up, 100, 100},
    {Qt::Key_Down, -50, -50}, {Qt::Key_PageUp, 95, 100}, {Qt::Key_PageDown, -45, -50},
    {Qt::Key_A, 10, 10},      {Qt::Key_Space, 10, 10},
};

template <class Control> void CheckKeys(const char* what) {
    for (const KeyCase& c : KeyCases) {
        Control control;
        control.SetMax(100);
        control.SetMin(-50);
        control.SetPosition(c.from);
        QSignalSpy changes(&control, &Control::OnChange);
        QTest::keyClick(&control, c.key);
        EXPECT_EQ(control.Position(), c.expected) << what << " key " << c.key << " from " << c.from;
        // A key that moves the control takes the usual change path.
        EXPECT_EQ(changes.count(), c.expected != c.from ? 1 : 0) << what << " key " << c.key;
    }
}
} // namespace

TEST(ControlKeyboard, KnobAndSliderStepByKey) {
    CheckKeys<TKnob>("knob");
    CheckKeys<TSlider>("slider");
}

TEST(ControlKeyboard, EveryControlTakesTheFocusByTabAndClick) {
    TKnob knob;
    TSlider slider;
    TCheckLed led;
    for (QWidget* control : std::initializer_list<QWidget*>{&knob, &slider, &led})
        EXPECT_EQ(control->focusPolicy(), Qt::StrongFocus) << control->metaObject()->className();
}

TEST(ControlKeyboard, SpaceTogglesAnLedLikeAClick) {
    TCheckLed led;
    QSignalSpy changes(&led, &TCheckLed::OnChange);
    QTest::keyClick(&led, Qt::Key_Space);
    EXPECT_TRUE(led.Status());
    EXPECT_EQ(changes.count(), 1);
    // A held key toggles once.
    QTest::keyPress(&led, Qt::Key_Space, Qt::NoModifier);
    QTest::simulateEvent(&led, true, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
    EXPECT_FALSE(led.Status());
    EXPECT_EQ(changes.count(), 2);
    // Other keys leave it alone.
    QTest::keyClick(&led, Qt::Key_Up);
    QTest::keyClick(&led, Qt::Key_Return);
    EXPECT_FALSE(led.Status());
    EXPECT_EQ(changes.count(), 2);
}

TEST(ControlKeyboard, TheFocusedControlShowsARing) {
    QWidget window;
    auto* knob = new TKnob(&window);
    auto* led = new TCheckLed(&window);
    led->move(0, 60);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const QRgb ring = window.palette().color(QPalette::Highlight).rgb();
    EXPECT_NE(Picture(*led).pixel(1, 8), ring);

    knob->setFocus();
    ASSERT_TRUE(knob->hasFocus());
    const QImage knobFocused = Picture(*knob);
    EXPECT_EQ(knobFocused.pixel(0, 20), ring);
    EXPECT_EQ(knobFocused.pixel(31, 47), ring);

    led->setFocus();
    EXPECT_NE(Picture(*knob).pixel(0, 20), ring); // the ring goes with the focus
    EXPECT_EQ(Picture(*led).pixel(1, 8), ring);
}

TEST(ControlKeyboard, CaptionLabelsArePassedOverByAssistiveTechnology) {
    QWidget panel;
    auto* knob = new TKnob(&panel);
    knob->move(10, 20);
    knob->SetCaption("Resonance");
    knob->setAccessibleName("Resonance");
    QAccessibleInterface* caption =
        QAccessible::queryAccessibleInterface(knob->CaptionLabelWidget());
    ASSERT_NE(caption, nullptr);
    EXPECT_TRUE(caption->text(QAccessible::Name).isEmpty());
    EXPECT_TRUE(caption->state().invisible);
    // The caption is still drawn for the eye.
    EXPECT_EQ(knob->CaptionLabelWidget()->text(), "Resonance");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(knob)->text(QAccessible::Name), "Resonance");
}
