#include "frm_patch_edit.h"

#include "app/scripted_dialogs.h"
#include "check_led.h"
#include "knob.h"
#include "slider.h"
#include "support/named_child.h"
#include "support/note_messages.h"
#include "support/recording_midi_output.h"
#include "sysex_messages.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace {

using Bytes = std::array<std::uint8_t, 3>;

class FakeHost : public EditorHost {
public:
    int octave = 4;
    bool keyboardOn = true;
    std::vector<bool> keyboardSwitches;
    std::vector<int> presets;
    std::optional<int> chosen;
    std::vector<std::pair<int, TSoundRecord>> stored;

    int KeyboardOctave() const override { return octave; }
    void SetKeyboardOctave(int value) override { octave = value; }
    bool KeyboardOn() const override { return keyboardOn; }
    void SetKeyboardOn(bool on) override {
        keyboardOn = on;
        keyboardSwitches.push_back(on);
    }
    std::optional<int> ChooseLocation(int preset) override {
        presets.push_back(preset);
        return chosen;
    }
    void StoreSentSound(int slot, const TSoundRecord& sound) override {
        stored.emplace_back(slot, sound);
    }
};

// A prompter that lets the test act while its box is open.
class InterruptedPrompter : public ScriptedPrompter {
public:
    std::function<void()> whileOpen;
    Answer Confirm(const QString& question, Buttons buttons) override {
        if (whileOpen)
            whileOpen();
        return ScriptedPrompter::Confirm(question, buttons);
    }
};

// A sound every control can show: each parameter in the middle of its range.
TSoundRecord PlausibleSound() {
    TSoundRecord sound;
    sound.Bytes = {0xF0, 0x01, 0x25, 0x03, 0x00, 0x00};
    for (const ParameterBinding& binding : ParameterBindings)
        sound[binding.parameter + 6] = ByteForValue(binding, (binding.min + binding.max) / 2);
    sound[2 + 6] = 1;  // Sawtooth
    sound[8 + 6] = 54; // Pulse Wave, width 50
    SetSoundName(sound, "Test Sound");
    sound[SoundLayout::EndByte] = 0xF7;
    return sound;
}

// Bytes no control can show, a name of unprintable bytes.
TSoundRecord HostileSound() {
    TSoundRecord sound;
    sound.Bytes.fill(0xFF);
    for (int i = 0; i < SoundLayout::NameLength; ++i)
        sound[SoundLayout::NameOffset + i] = static_cast<std::uint8_t>(i % 2 ? 0x01 : 0xE9);
    return sound;
}

std::vector<Bytes> Nrpn(int number, int value) {
    auto byte = [](int v) { return static_cast<std::uint8_t>(v); };
    return {{0xB0, 0x63, byte(number >> 7)},
            {0xB0, 0x62, byte(number & 0x7F)},
            {0xB0, 0x06, byte(value >> 7)},
            {0xB0, 0x26, byte(value & 0x7F)}};
}

std::vector<Bytes> Concat(std::initializer_list<std::vector<Bytes>> parts) {
    std::vector<Bytes> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

class EditorWindowTest : public ::testing::Test {
protected:
    RecordingMidiOutput output;
    InterruptedPrompter prompter;
    FakeHost host;
    int lastSendLocation = 0;
    std::unique_ptr<TfrmPatchEdit> window;

    void Open(const TSoundRecord& sound = PlausibleSound()) {
        window = std::make_unique<TfrmPatchEdit>(
            EditorContext{output, prompter, host, lastSendLocation}, sound);
        Named<QTimer>(*window, "Timer1")->stop(); // the tests tick by hand
        window->show();
    }
    void Activate() {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void Tick() { window->Timer1Timer(); }
    template <typename T> T* Control(const char* name) { return Named<T>(*window, name); }

    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyPress(window->windowHandle(), key, modifiers);
    }
    void KeyUp(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyRelease(window->windowHandle(), key, modifiers);
    }
    void Type(const char* text) {
        for (; *text; ++text)
            QTest::keyClick(window->windowHandle(), *text);
    }
    void ClickLed(const char* name) {
        QTest::mousePress(Control<TCheckLed>(name), Qt::LeftButton, Qt::NoModifier, {5, 5});
    }
    void Wheel(TKnob* knob, int delta) {
        QWheelEvent event({5, 5}, knob->mapToGlobal(QPointF(5, 5)), {}, {0, delta}, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(knob, &event);
    }
    void Enter(TKnob* knob) {
        QEnterEvent event({5, 5}, {5, 5}, knob->mapToGlobal(QPointF(5, 5)));
        QApplication::sendEvent(knob, &event);
    }
};

// ---- Reading back and sending ----------------------------------------------

TEST_F(EditorWindowTest, ALoadedSoundSendsNothingUntilTheUserChangesIt) {
    for (const TSoundRecord& sound : {PlausibleSound(), HostileSound()}) {
        Open(sound);
        QEvent activation(QEvent::WindowActivate);
        QApplication::sendEvent(window.get(), &activation); // reloads
        QApplication::processEvents();                      // paints: change events
        Tick();
        EXPECT_TRUE(output.Empty());
        EXPECT_EQ(window->EditedRecord(), sound);
    }
}

TEST_F(EditorWindowTest, KnobStepsWithinOneTickSendOneMessageWithTheLastValue) {
    struct Case {
        const char* knob;
        int nrpn;
        int last;
    };
    for (const Case& c : {Case{"KnobOsc12Mix", 13, 100}, Case{"KnobFilterFrequency", 15, 150},
                          Case{"KnobFilterEnvAmount", 20, -127}}) {
        Open();
        TKnob* knob = Control<TKnob>(c.knob);
        const int step = c.last > knob->Position() ? 1 : -1;
        for (int i = 19; i >= 0; --i)
            knob->SetPosition(c.last - i * step);
        Tick();
        const int byte = c.last + (c.last < 0 ? 127 : 0);
        EXPECT_EQ(output.TakeShortMessageBytes(), Nrpn(c.nrpn, byte)) << c.knob;
        Tick();
        EXPECT_TRUE(output.Empty());
    }
}

TEST_F(EditorWindowTest, ArpeggiatorAndGatedSequencerGoOutWithTheSwitchedOnOneLast) {
    struct Case {
        int arp, gated; // loaded
        const char* clicked;
        bool arpAfter, gatedAfter;
        std::vector<Bytes> sent;
    };
    const std::vector<Case> cases = {
        {1, 1, "CheckLedApreggiator", false, true, Concat({Nrpn(100, 0), Nrpn(101, 1)})},
        {0, 1, "CheckLedApreggiator", true, false, Concat({Nrpn(101, 0), Nrpn(100, 1)})},
        {1, 0, "CheckLedGatedSequencer", false, true, Concat({Nrpn(100, 0), Nrpn(101, 1)})},
    };
    for (const Case& c : cases) {
        TSoundRecord sound = PlausibleSound();
        sound[98 + 6] = static_cast<std::uint8_t>(c.arp);
        sound[100 + 6] = static_cast<std::uint8_t>(c.gated);
        Open(sound);
        ClickLed(c.clicked);
        EXPECT_EQ(Control<TCheckLed>("CheckLedApreggiator")->Status(), c.arpAfter);
        EXPECT_EQ(Control<TCheckLed>("CheckLedGatedSequencer")->Status(), c.gatedAfter);
        Tick();
        EXPECT_EQ(output.TakeShortMessageBytes(), c.sent) << c.clicked;
    }
}

TEST_F(EditorWindowTest, ANameEditSendsOnlyTheChangedCharacters) {
    Open();
    QLineEdit* name = Control<QLineEdit>("edtName");
    EXPECT_EQ(name->text(), "Test Sound");
    name->end(false);
    QTest::keyClick(name, Qt::Key_2);
    QKeyEvent eAcute(QEvent::KeyPress, Qt::Key_Eacute, Qt::NoModifier, QStringLiteral("é"));
    QApplication::sendEvent(name, &eAcute); // the instrument shows no é: refused
    Tick();
    EXPECT_EQ(output.TakeShortMessageBytes(), Nrpn(194, '2'));
    EXPECT_EQ(name->text(), "Test Sound2");
}

TEST_F(EditorWindowTest, AChangeJustBeforeAnActivationIsSentFirstAndKept) {
    Open();
    Control<TKnob>("KnobNoiseLevel")->SetPosition(5);
    QEvent activation(QEvent::WindowActivate);
    QApplication::sendEvent(window.get(), &activation);
    EXPECT_EQ(output.TakeShortMessageBytes(), Nrpn(14, 5));
    EXPECT_EQ(Control<TKnob>("KnobNoiseLevel")->Position(), 5);
}

TEST_F(EditorWindowTest, InitSoundSendsTheListsAndSwitchesItChangedAtTheNextTick) {
    TSoundRecord sound = PlausibleSound();
    sound[2 + 6] = 2;  // oscillator 1: Triangle
    sound[24 + 6] = 0; // 2-pole filter
    sound[45 + 6] = 1; // LFO 1 key sync on
    Open(sound);
    Named<QPushButton>(*window, "btnInitSound")->click();
    Tick();
    const auto sent = output.TakeShortMessageBytes();
    auto contains = [&](const std::vector<Bytes>& message) {
        return std::search(sent.begin(), sent.end(), message.begin(), message.end()) != sent.end();
    };
    EXPECT_TRUE(contains(Nrpn(2, 1)));    // oscillator 1: Sawtooth
    EXPECT_TRUE(contains(Nrpn(7, 0)));    // oscillator 2: off
    EXPECT_TRUE(contains(Nrpn(19, 1)));   // 4-pole
    EXPECT_TRUE(contains(Nrpn(41, 0)));   // LFO 1 key sync off
    EXPECT_TRUE(contains(Nrpn(15, 160))); // filter frequency
}

// ---- Sending to a location and closing --------------------------------------

TEST_F(EditorWindowTest, SendSoundToMophoSendsTheShownSoundToTheChosenLocation) {
    lastSendLocation = 7;
    Open();
    host.chosen = 300;
    Control<TKnob>("KnobFilterResonance")->SetPosition(99); // no tick since
    Named<QPushButton>(*window, "btnSavSoundto")->click();

    EXPECT_EQ(host.presets, std::vector<int>{7});
    EXPECT_EQ(output.TakeShortMessageBytes(), Nrpn(16, 99));
    ASSERT_EQ(host.stored.size(), 1u);
    const auto& [slot, sent] = host.stored[0];
    EXPECT_EQ(slot, 300);
    EXPECT_EQ(sent[3], 2);
    EXPECT_EQ(sent[4], 2);
    EXPECT_EQ(sent[5], 44);
    EXPECT_EQ(sent[21 + 6], 99);
    ASSERT_EQ(output.longMessages.size(), 1u);
    EXPECT_EQ(output.longMessages[0], ProgramDumpMessage(sent, 2, 44));
    EXPECT_EQ(window->EditedRecord()[3], 0x03); // the edited sound keeps its header

    host.chosen.reset(); // Cancel the next time
    Named<QPushButton>(*window, "btnSavSoundto")->click();
    EXPECT_EQ(host.presets, (std::vector<int>{7, 300}));
    EXPECT_EQ(output.longMessages.size(), 1u);
    EXPECT_EQ(lastSendLocation, 300);
}

TEST_F(EditorWindowTest, TheCloseQuestionKeepsTheLastChangeOnYes) {
    struct Case {
        Prompter::Answer answer;
        bool open;
        QDialog::DialogCode result;
    };
    for (const Case& c : {Case{Prompter::Answer::Yes, false, QDialog::Accepted},
                          Case{Prompter::Answer::No, false, QDialog::Rejected},
                          Case{Prompter::Answer::Cancel, true, QDialog::Rejected}}) {
        prompter.questions.clear();
        prompter.answers = {c.answer};
        Open();
        window->setResult(QDialog::Rejected);
        Control<TKnob>("KnobNoiseLevel")->SetPosition(3);
        Named<QPushButton>(*window, "btnClose")->click();
        EXPECT_EQ(prompter.questions, QStringList{"Do you want to save changes?"});
        EXPECT_EQ(window->isVisible(), c.open);
        EXPECT_EQ(window->result(), c.result);
        EXPECT_EQ(output.TakeShortMessageBytes(), Nrpn(14, 3)); // sent before asking
        EXPECT_EQ(window->EditedRecord()[18 + 6], 3);
    }
}

TEST_F(EditorWindowTest, WhileTheQuestionIsOpenNoTickSendsAndNoActivationReloads) {
    prompter.answers = {Prompter::Answer::Cancel};
    Open();
    TKnob* knob = Control<TKnob>("KnobNoiseLevel");
    prompter.whileOpen = [&] {
        knob->SetPosition(9);
        Tick();
        QEvent activation(QEvent::WindowActivate);
        QApplication::sendEvent(window.get(), &activation);
    };
    Named<QPushButton>(*window, "btnClose")->click();
    EXPECT_TRUE(output.Empty());
    EXPECT_EQ(knob->Position(), 9);
    Tick();
    EXPECT_EQ(output.TakeShortMessageBytes(), Nrpn(14, 9));
}

TEST_F(EditorWindowTest, ExecAcceptsExactlyOnYes) {
    for (auto [answer, result] : {std::pair{Prompter::Answer::Yes, QDialog::Accepted},
                                  std::pair{Prompter::Answer::No, QDialog::Rejected}}) {
        prompter.answers = {answer};
        Open();
        QTimer::singleShot(0, window.get(), [this] { window->close(); });
        EXPECT_EQ(window->exec(), result);
    }
}

// ---- Keys, the test note and the mouse wheel ---------------------------------

TEST_F(EditorWindowTest, KeypadNotesPlayOneAtATime) {
    Open();
    Key(Qt::Key_5, Qt::KeypadModifier);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_5, Qt::KeypadModifier, "5", true);
    QApplication::sendEvent(window->windowHandle(), &repeat);
    Key(Qt::Key_6, Qt::KeypadModifier);
    EXPECT_EQ(output.TakeShortMessageBytes(), std::vector<Bytes>{NoteOn(12 * 4 + 19)});
    KeyUp(Qt::Key_6, Qt::KeypadModifier);
    EXPECT_EQ(output.resetCount, 1);
    Key(Qt::Key_1, Qt::KeypadModifier); // the next key plays again
    EXPECT_EQ(output.TakeShortMessageBytes(), std::vector<Bytes>{NoteOn(60)});

    // A note above 127 is not sent, but its release still resets.
    KeyUp(Qt::Key_1, Qt::KeypadModifier);
    host.octave = 9;
    Key(Qt::Key_9, Qt::KeypadModifier);
    EXPECT_TRUE(output.shortMessages.empty());
    KeyUp(Qt::Key_9, Qt::KeypadModifier);
    EXPECT_EQ(output.resetCount, 3);

    // Held while another window comes to the front: the note ends there.
    host.octave = 4;
    Key(Qt::Key_3, Qt::KeypadModifier);
    QEvent deactivation(QEvent::WindowDeactivate);
    QApplication::sendEvent(window.get(), &deactivation);
    EXPECT_EQ(output.resetCount, 4);
    Key(Qt::Key_3, Qt::KeypadModifier);
    EXPECT_EQ(output.TakeShortMessageBytes(), (std::vector<Bytes>{NoteOn(64), NoteOn(64)}));
}

TEST_F(EditorWindowTest, TheTestButtonPlaysMiddleCWhileHeld) {
    host.octave = 7;
    Open();
    QPushButton* button = Control<QPushButton>("btnTestSound");
    QTest::mousePress(button, Qt::RightButton);
    EXPECT_EQ(output.TakeShortMessageBytes(), std::vector<Bytes>{NoteOn(60)});
    QTest::mouseRelease(button, Qt::RightButton);
    EXPECT_EQ(output.resetCount, 1);
    EXPECT_TRUE(output.shortMessages.empty()); // no note off
}

TEST_F(EditorWindowTest, OctaveKeysStayWithinZeroToNineAndEveryKeyRewritesTheCaption) {
    struct Case {
        int octave;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int after;
    };
    for (const Case& c :
         {Case{9, Qt::Key_Plus, Qt::KeypadModifier, 9},
          Case{0, Qt::Key_Minus, Qt::KeypadModifier, 0},
          Case{4, Qt::Key_Plus, Qt::KeypadModifier, 5},
          Case{4, Qt::Key_Minus, Qt::NoModifier, 4}, // not the keypad's
          Case{8, Qt::Key_X, Qt::ShiftModifier, 9}, Case{4, Qt::Key_Z, Qt::ControlModifier, 3},
          Case{10, Qt::Key_Q, Qt::NoModifier, 10}}) {
        Open();
        host.octave = c.octave;
        Key(c.key, c.modifiers);
        EXPECT_EQ(host.octave, c.after);
        EXPECT_EQ(Control<QPushButton>("btnTestSound")->text(),
                  QStringLiteral("Test &Sound C%1-C%2").arg(c.after).arg(c.after + 1));
    }
}

TEST_F(EditorWindowTest, NotePlayerLettersReachNoControlWhileTheKeyboardIsOn) {
    for (bool on : {true, false}) {
        Open();
        ASSERT_NO_FATAL_FAILURE(Activate());
        QLineEdit* name = Control<QLineEdit>("edtName");
        name->setFocus();
        name->clear();
        host.keyboardOn = on;
        Type("sqA1");
        EXPECT_EQ(name->text(), on ? "qA1" : "sqA1");
    }
}

TEST_F(EditorWindowTest, TheNameFieldAndSchemaListSwitchTheKeyboardOffWhileFocused) {
    Open();
    ASSERT_NO_FATAL_FAILURE(Activate());
    Control<QLineEdit>("edtName")->setFocus();
    EXPECT_EQ(host.keyboardSwitches, std::vector<bool>{false});
    Key(Qt::Key_Return); // leaves the field
    EXPECT_EQ(QApplication::focusWidget(), Control<QPushButton>("btnTestSound"));
    Control<QComboBox>("cmbRandomSchema")->setEnabled(true); // as with schemas listed
    Control<QComboBox>("cmbRandomSchema")->setFocus();
    Control<QPushButton>("btnTestSound")->setFocus();
    EXPECT_EQ(host.keyboardSwitches, (std::vector<bool>{false, true, false, true}));
}

TEST_F(EditorWindowTest, TheWheelTurnsTheKnobUnderThePointerOneStepPerNotch) {
    struct Case {
        int start;
        std::vector<int> deltas;
        int after;
    };
    for (const Case& c :
         {Case{60, {120}, 61}, Case{60, {-120}, 59}, Case{60, {40, 40, 40}, 61},
          Case{60, {40, 40}, 60}, Case{60, {240, -60}, 62}, Case{127, {120}, 127}}) {
        Open();
        TKnob* knob = Control<TKnob>("KnobFilterResonance");
        knob->SetPosition(c.start);
        Enter(knob);
        for (int delta : c.deltas)
            Wheel(knob, delta);
        EXPECT_EQ(knob->Position(), c.after);
    }
    // Once the pointer left, the wheel turns nothing.
    TKnob* knob = Control<TKnob>("KnobFilterResonance");
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(knob, &leave);
    Wheel(knob, 120);
    EXPECT_EQ(knob->Position(), 127);
}

TEST_F(EditorWindowTest, SelectForAllHidesTheTrackButtonsOfStepsTwoToSixteen) {
    Open();
    QCheckBox* track2 = window->Panel().selectForAll[1];
    for (bool checked : {true, false}) {
        track2->setChecked(checked);
        EXPECT_FALSE(Control<QPushButton>("btnSeqTrack21")->isHidden());
        EXPECT_EQ(Control<QPushButton>("btnSeqTrack22")->isHidden(), checked);
        EXPECT_EQ(Control<QPushButton>("btnSeqTrack216")->isHidden(), checked);
        EXPECT_FALSE(Control<QPushButton>("btnSeqTrack32")->isHidden());
    }
}

TEST_F(EditorWindowTest, PickingASequenceDestinationSetsItsStepDisplay) {
    Open();
    auto* destination = Control<QComboBox>("cmbSequence1Dest");
    for (auto [index, mode] : {std::pair{2, "S"}, std::pair{4, ""}, std::pair{0, "S"}}) {
        destination->setCurrentIndex(index);
        Q_EMIT destination->activated(index);
        EXPECT_EQ(Control<TSlider>("SldSeq101")->DisplayMode(), mode);
        EXPECT_EQ(Control<TSlider>("SldSeq116")->DisplayMode(), mode);
        EXPECT_EQ(Control<TSlider>("SldSeq201")->DisplayMode(), "");
    }
}

} // namespace
