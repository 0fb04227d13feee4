#include "key_tracker.h"
#include "keyboard_panel.h"

#include "support/note_messages.h"
#include "support/recording_midi_output.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include <gtest/gtest.h>

namespace {

// A stand-in for the main window: a text field with the focus, the keyboard
// panel at the bottom and the window's key preview.
class PlayingWindow : public ::testing::Test {
protected:
    void SetUp() override {
        window.setObjectName(QStringLiteral("TfrmMain"));
        auto* layout = new QVBoxLayout(&window);
        field = new QLineEdit;
        field->setObjectName(QStringLiteral("field"));
        layout->addWidget(field);
        panel = new KeyboardPanel(output, &window);
        layout->addWidget(panel);
        new WindowKeyPreview(&window, [this](QKeyEvent* event) { return panel->HandleKey(event); });
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        field->setFocus();
    }
    void TearDown() override { panel->ReleaseAllNotes(); }

    // Keys as the window system delivers them: into the window first.
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyPress(window.windowHandle(), key, modifiers);
    }
    void Release(Qt::Key key) { QTest::keyRelease(window.windowHandle(), key); }
    void Type(char character) { QTest::keyClick(window.windowHandle(), character); }

    std::vector<NoteMessage> Sent() { return output.TakeShortMessageBytes(); }

    RecordingMidiOutput output;
    QWidget window;
    QLineEdit* field = nullptr;
    KeyboardPanel* panel = nullptr;
};

TEST_F(PlayingWindow, PanelShowsItsControlsAndRunsBothTimers) {
    EXPECT_EQ(panel->objectName(), "pnlKeyboard");
    EXPECT_EQ(panel->btnMinusOct->text(), "-1 Octave (Z)");
    EXPECT_EQ(panel->btnPlusOct->text(), "+1 Octave (X)");
    EXPECT_EQ(panel->btnHideKeyboard->text(), "Hide keyboard");
    EXPECT_EQ(panel->lblOctave->text(), "Octave 4");
    EXPECT_EQ(panel->lblBlackKeys->text(), " W E   T Y U   O P");
    EXPECT_EQ(panel->lblWhiteKeys->text(), "A S D F G H J K L");
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->tmrKeyboard->interval(), 22);
    EXPECT_EQ(panel->tmrKeyboardHook->interval(), 1000);
    EXPECT_TRUE(panel->tmrKeyboard->isActive());
    EXPECT_TRUE(panel->tmrKeyboardHook->isActive());
}

TEST_F(PlayingWindow, KeysHeldInTheWindowPlayAndTheirReleaseEndsTheNotes) {
    Press(Qt::Key_A);
    Press(Qt::Key_W);
    panel->tmrKeyboardTimer();
    EXPECT_EQ(Sent(), (std::vector<NoteMessage>{NoteOn(60), NoteOn(61)}));
    Release(Qt::Key_A);
    Release(Qt::Key_W);
    panel->tmrKeyboardTimer();
    EXPECT_EQ(Sent(), (std::vector<NoteMessage>{NoteOff(60), NoteOff(61)}));
}

TEST_F(PlayingWindow, TheRunningPollPlaysWithoutHelp) {
    Press(Qt::Key_D);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !output.shortMessages.empty(); }, 500));
    Release(Qt::Key_D);
    EXPECT_TRUE(QTest::qWaitFor([&] { return output.shortMessages.size() == 2; }, 500));
    EXPECT_EQ(Sent(), (std::vector<NoteMessage>{NoteOn(64), NoteOff(64)}));
}

TEST_F(PlayingWindow, TypedSReachesTheFocusedControlAndAIsSwallowedButPlays) {
    Type('s');
    Type('a');
    Type('e');
    Type('A'); // only the lower-case letters are swallowed
    Type('x'); // raises the octave and still reaches the control
    EXPECT_EQ(field->text(), "sAx");
    EXPECT_EQ(panel->Player().Octave(), 5);
    // The swallowed key still counts as held for the note player. The running
    // poll may have caught a typed key while it was down: one poll ends it.
    panel->tmrKeyboardTimer();
    Sent();
    Press(Qt::Key_H);
    panel->tmrKeyboardTimer();
    EXPECT_EQ(Sent(), (std::vector<NoteMessage>{NoteOn(81)}));
    Release(Qt::Key_H);
}

TEST_F(PlayingWindow, WithTheKeyboardOffEveryCharacterPasses) {
    panel->SetKeyboardOn(false);
    for (char character : {'a', 'e', 'd', 'f', 'g', 'h'})
        Type(character);
    EXPECT_EQ(field->text(), "aedfgh");
}

TEST_F(PlayingWindow, XAndZShiftTheOctaveWithAnyModifierAndTheLimitsKeepTheLabel) {
    Press(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(panel->lblOctave->text(), "Octave 5");
    Press(Qt::Key_Z, Qt::ShiftModifier | Qt::AltModifier);
    Press(Qt::Key_Z);
    EXPECT_EQ(panel->lblOctave->text(), "Octave 3");

    for (int i = 0; i < 3; ++i)
        panel->btnMinusOct->click();
    panel->lblOctave->setText(QString());
    panel->btnMinusOct->click();
    EXPECT_EQ(panel->Player().Octave(), 0);
    EXPECT_EQ(panel->lblOctave->text(), "Octave 0") << "rewritten at the limit";

    panel->SetKeyboardOn(false); // X works with the panel hidden too
    for (int i = 0; i < 12; ++i)
        Press(Qt::Key_X);
    panel->lblOctave->setText(QString());
    panel->btnPlusOct->click();
    EXPECT_EQ(panel->Player().Octave(), 10);
    EXPECT_EQ(panel->lblOctave->text(), "Octave 10");
}

TEST_F(PlayingWindow, AtOctave10TheKeysSendNothing) {
    for (int i = 0; i < 6; ++i)
        panel->btnPlusOct->click();
    for (Qt::Key key : {Qt::Key_A, Qt::Key_K, Qt::Key_P})
        Press(key);
    panel->tmrKeyboardTimer();
    EXPECT_TRUE(Sent().empty());
    for (Qt::Key key : {Qt::Key_A, Qt::Key_K, Qt::Key_P})
        Release(key);
}

TEST_F(PlayingWindow, MenuItemAndHideButtonSwitchTheKeyboard) {
    QAction keyboardItem(QStringLiteral("Keyboard"));
    panel->BindMenuItem(&keyboardItem);
    EXPECT_TRUE(keyboardItem.isChecked()) << "checked at start";

    Press(Qt::Key_A);
    panel->tmrKeyboardTimer();
    Sent();
    keyboardItem.trigger();
    EXPECT_FALSE(keyboardItem.isChecked());
    EXPECT_FALSE(panel->isVisible());
    EXPECT_FALSE(panel->tmrKeyboard->isActive());
    EXPECT_FALSE(panel->tmrKeyboardHook->isActive());
    EXPECT_EQ(Sent(), (std::vector<NoteMessage>{NoteOff(60)})) << "no poll ends it any more";

    keyboardItem.setChecked(true);
    EXPECT_TRUE(panel->isVisible());
    panel->btnHideKeyboard->click();
    EXPECT_FALSE(keyboardItem.isChecked());
    EXPECT_FALSE(panel->isVisible());
    panel->btnHideKeyboard->click(); // the button toggles, as the menu item does
    EXPECT_TRUE(keyboardItem.isChecked());
    EXPECT_TRUE(panel->isVisible());
    EXPECT_TRUE(panel->tmrKeyboard->isActive());
    Release(Qt::Key_A);
}

TEST_F(PlayingWindow, ExchangesHideThePanelAndBringBackItsFormerState) {
    {
        KeyboardPanel::Suspension reading(panel);
        EXPECT_FALSE(panel->isVisible());
        EXPECT_FALSE(panel->tmrKeyboard->isActive());
        EXPECT_FALSE(panel->tmrKeyboardHook->isActive());
    }
    EXPECT_TRUE(panel->isVisible());
    EXPECT_TRUE(panel->tmrKeyboard->isActive());
    EXPECT_TRUE(panel->tmrKeyboardHook->isActive());

    panel->SetKeyboardOn(false);
    panel->Suspend();
    panel->Resume();
    EXPECT_FALSE(panel->isVisible()) << "a keyboard switched off stays off";
    EXPECT_FALSE(panel->tmrKeyboard->isActive());
}

TEST_F(PlayingWindow, AnotherProgramInFrontStopsThePollAndEndsItsNotes) {
    QString foreground = QStringLiteral("TfrmMain");
    panel->SetForegroundQuery([&] { return foreground; });
    Press(Qt::Key_A);
    panel->tmrKeyboardTimer();
    EXPECT_EQ(Sent(), (std::vector<NoteMessage>{NoteOn(60)}));

    foreground.clear(); // another program's window is in front
    panel->tmrKeyboardHookTimer();
    EXPECT_FALSE(panel->tmrKeyboard->isActive());
    EXPECT_EQ(Sent(), (std::vector<NoteMessage>{NoteOff(60)})) << "no note hangs";

    // The release happens while another program has the keys, unseen. Back in
    // front, the key counts as up: nothing is played or ended again.
    foreground = QStringLiteral("TfrmMain");
    panel->tmrKeyboardHookTimer();
    EXPECT_TRUE(panel->tmrKeyboard->isActive());
    panel->tmrKeyboardTimer();
    EXPECT_TRUE(Sent().empty());
}

// Hold G, press Ctrl+S, release G in the save dialog: the note ends as soon
// as the dialog is in front, without waiting for the once-a-second check.
TEST_F(PlayingWindow, ADialogComingToTheFrontEndsTheHeldNoteAtOnce) {
    Press(Qt::Key_G);
    panel->tmrKeyboardTimer();
    EXPECT_EQ(Sent(), (std::vector<NoteMessage>{NoteOn(67)}));
    Press(Qt::Key_S, Qt::ControlModifier);
    panel->tmrKeyboardTimer();
    EXPECT_TRUE(Sent().empty()) << "Ctrl+S is a shortcut, no note";

    panel->tmrKeyboardHook->start(); // its next check is a second away
    QDialog save(&window);
    save.setObjectName(QStringLiteral("QFileDialog"));
    save.show();
    save.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &save; }));
    QCoreApplication::processEvents();
    EXPECT_FALSE(panel->tmrKeyboard->isActive());
    EXPECT_EQ(Sent(), (std::vector<NoteMessage>{NoteOff(67)}));

    QTest::keyRelease(save.windowHandle(), Qt::Key_G);
    save.close();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &window; }));
    QCoreApplication::processEvents();
    EXPECT_TRUE(panel->tmrKeyboard->isActive());
    panel->tmrKeyboardTimer();
    EXPECT_TRUE(Sent().empty());
}

// Letter keys with Ctrl or Alt are shortcuts; X and Z still shift the octave.
TEST_F(PlayingWindow, LettersWithCtrlOrAltPlayNoNote) {
    Press(Qt::Key_S, Qt::ControlModifier);
    Press(Qt::Key_D, Qt::AltModifier);
    Press(Qt::Key_X, Qt::ControlModifier);
    panel->tmrKeyboardTimer();
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(panel->Player().Octave(), 5);
    Release(Qt::Key_S);
    Release(Qt::Key_D);
    Press(Qt::Key_S, Qt::ShiftModifier);
    panel->tmrKeyboardTimer();
    EXPECT_EQ(Sent(), (std::vector<NoteMessage>{NoteOn(74)}));
    Release(Qt::Key_S);
}

// A Cyrillic layout: the keys where A and X are play and shift the octave.
TEST_F(PlayingWindow, NonLatinLayoutsPlayByTheKeysPlace) {
    panel->Keys().SetKeyPositions(KeyPositions::XkbKeycodes);
    const auto send = [&](QEvent::Type type, int key, unsigned keycode, const QString& text) {
        QKeyEvent event(type, key, Qt::NoModifier, keycode, 0, 0, text);
        QApplication::sendEvent(window.windowHandle(), &event);
    };
    send(QEvent::KeyPress, 0x0427, 53, QStringLiteral("\u0447")); // Ch, where X is
    EXPECT_EQ(panel->Player().Octave(), 5);
    send(QEvent::KeyPress, 0x0424, 38, QStringLiteral("\u0444")); // Ef, where A is
    panel->tmrKeyboardTimer();
    send(QEvent::KeyRelease, 0x0424, 38, QStringLiteral("\u0444"));
    panel->tmrKeyboardTimer();
    EXPECT_EQ(Sent(), (std::vector<NoteMessage>{NoteOn(72), NoteOff(72)}));
}

TEST_F(PlayingWindow, ForegroundCheckGoesByTheActiveWindowsClassName) {
    panel->tmrKeyboardHookTimer();
    EXPECT_TRUE(panel->tmrKeyboard->isActive());

    QDialog settings(&window);
    settings.setObjectName(QStringLiteral("TfrmSettings"));
    settings.show();
    settings.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &settings; }));
    panel->tmrKeyboardHookTimer();
    EXPECT_FALSE(panel->tmrKeyboard->isActive());

    settings.setObjectName(QStringLiteral("TfrmPatchEdit"));
    panel->tmrKeyboardHookTimer();
    EXPECT_TRUE(panel->tmrKeyboard->isActive());
}

TEST(KeyTracker, RecordsPressesAndReleasesInAnyWindow) {
    KeyTracker keys;
    QLineEdit other;
    other.show();
    QTest::keyPress(&other, Qt::Key_J);
    EXPECT_TRUE(keys.IsKeyDown(Qt::Key_J));
    EXPECT_TRUE(keys.IsKeyDown('J'));

    // A held key repeats as release and press pairs; it stays down.
    QKeyEvent repeatedRelease(QEvent::KeyRelease, Qt::Key_J, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(&other, &repeatedRelease);
    EXPECT_TRUE(keys.IsKeyDown(Qt::Key_J));

    QTest::keyRelease(&other, Qt::Key_J);
    EXPECT_FALSE(keys.IsKeyDown(Qt::Key_J));
}

TEST(LatinLetterKey, LettersOfOtherScriptsGoByTheLatinLetterOrThePlace) {
    constexpr int Ef = 0x0424;    // Cyrillic, where A is
    constexpr int Sigma = 0x03A3; // Greek, where S is
    struct Case {
        int key;
        unsigned scanCode;
        unsigned virtualKey;
        KeyPositions positions;
        int expected;
    };
    const Case cases[] = {
        {Qt::Key_A, 38, 0, KeyPositions::XkbKeycodes, Qt::Key_A},
        {Qt::Key_Q, 38, 0, KeyPositions::XkbKeycodes, Qt::Key_Q}, // AZERTY: the letter counts
        {Ef, 38, 0, KeyPositions::XkbKeycodes, Qt::Key_A},
        {Sigma, 39, 0, KeyPositions::XkbKeycodes, Qt::Key_S},
        {0x0427, 53, 0, KeyPositions::XkbKeycodes, Qt::Key_X},
        {0x0417, 33, 0, KeyPositions::XkbKeycodes, Qt::Key_P},
        {Ef, 0x1E, 'A', KeyPositions::PcScanCodes, Qt::Key_A},
        {Ef, 0x1E, 0, KeyPositions::PcScanCodes, Qt::Key_A},
        {Ef, 0x2C, 'Q', KeyPositions::PcScanCodes, Qt::Key_Q}, // the Latin letter first
        {Ef, 0, 0x00, KeyPositions::MacKeyCodes, Qt::Key_A},
        {Ef, 0, 0x06, KeyPositions::MacKeyCodes, Qt::Key_Z},
        {Ef, 0, 0x23, KeyPositions::MacKeyCodes, Qt::Key_P},
        {Ef, 0, 0x0A, KeyPositions::MacKeyCodes, Ef},
        {Ef, 38, 0, KeyPositions::None, Ef},
        {Ef, 3, 0, KeyPositions::XkbKeycodes, Ef},
        {Qt::Key_1, 10, 0, KeyPositions::XkbKeycodes, Qt::Key_1}, // no letter: as it is
        {Qt::Key_Control, 37, 0, KeyPositions::XkbKeycodes, Qt::Key_Control},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LatinLetterKey(c.key, c.scanCode, c.virtualKey, c.positions), c.expected)
            << std::hex << c.key << " at " << c.scanCode << "/" << c.virtualKey;
}

TEST(KeyTracker, ComingBackToTheFrontForgetsTheHeldKeys) {
    KeyTracker keys;
    QLineEdit other;
    QTest::keyPress(&other, Qt::Key_U);
    keys.ApplicationStateChanged(Qt::ApplicationInactive);
    EXPECT_TRUE(keys.IsKeyDown(Qt::Key_U)) << "the note keeps sounding while away";
    keys.ApplicationStateChanged(Qt::ApplicationActive);
    EXPECT_FALSE(keys.IsKeyDown(Qt::Key_U));
}

} // namespace
