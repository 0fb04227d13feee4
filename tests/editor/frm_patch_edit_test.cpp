#include "frm_patch_edit.h"

#include "app/scripted_dialogs.h"
#include "check_led.h"
#include "editor_sections.h"
#include "frm_create_schema_parameters.h"
#include "frm_parameter_list_view.h"
#include "knob.h"
#include "parameter_tables.h"
#include "section_randomizer.h"
#include "slider.h"
#include "support/modal_window.h"
#include "support/named_child.h"
#include "support/note_messages.h"
#include "support/nrpn_messages.h"
#include "support/recording_midi_output.h"
#include "support/sound_builder.h"
#include "sysex_messages.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace {

using sound_builder::PlausibleSound;

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
    std::vector<std::string> messagePanel;
    void ShowInMessagePanel(const std::string& line) override { messagePanel.push_back(line); }
    int editBufferRequests = 0;
    void RequestEditBuffer() override { ++editBufferRequests; }
    std::optional<int> ChooseLocation(int preset) override {
        presets.push_back(preset);
        return chosen;
    }
    void StoreSentSound(int slot, const TSoundRecord& sound) override {
        stored.emplace_back(slot, sound);
    }
    // The breeder: what it was opened on, and the child "Edit" gives back.
    std::vector<TSoundRecord> bredFrom;
    std::optional<TSoundRecord> childToEdit;
    std::optional<TSoundRecord> BreedFrom(const TSoundRecord& sound, const SchemaList&) override {
        bredFrom.push_back(sound);
        return childToEdit;
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

// Bytes no control can show, a name of unprintable bytes.
TSoundRecord HostileSound() {
    TSoundRecord sound;
    sound.Bytes.fill(0xFF);
    for (int i = 0; i < SoundLayout::NameLength; ++i)
        sound[SoundLayout::NameOffset + i] = static_cast<std::uint8_t>(i % 2 ? 0x01 : 0xE9);
    return sound;
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
    QTemporaryDir programFolder; // no schema files: "(any value)"
    SchemaTolerances tolerances;
    std::unique_ptr<TfrmPatchEdit> window;

    void Open(const TSoundRecord& sound = PlausibleSound()) {
        window = std::make_unique<TfrmPatchEdit>(
            EditorContext{output, prompter, host, lastSendLocation,
                          programFolder.path().toStdString(), tolerances},
            sound);
        Named<QTimer>(*window, "Timer1")->stop(); // the tests tick by hand
        window->show();
    }
    void Activate() {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    // What waits goes out, and the edits so far become a history step.
    void Tick() {
        window->SendPendingChanges();
        window->Timer1Timer();
    }
    // The user moves a knob or slider with the arrow keys to `target`.
    void UserMoves(QWidget* control, int target) {
        const auto position = [control] {
            if (auto* knob = qobject_cast<TKnob*>(control))
                return knob->Position();
            return static_cast<TSlider*>(control)->Position();
        };
        for (int guard = 0; position() != target && guard < 300; ++guard)
            QTest::keyClick(control, position() < target ? Qt::Key_Up : Qt::Key_Down);
    }
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

TEST_F(EditorWindowTest, AKnobStepGoesOutAtOnceAndQuickStepsMergeIntoTheLast) {
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
        UserMoves(knob, c.last - 19 * step);
        Tick();
        QTest::qWait(5); // the cable has carried it
        output.TakeShortMessageBytes();
        QTest::keyClick(knob, step > 0 ? Qt::Key_Up : Qt::Key_Down);
        const int first = c.last - 18 * step;
        EXPECT_EQ(output.TakeShortMessageBytes(),
                  NrpnMessages(c.nrpn, first + (first < 0 ? 127 : 0)))
            << "at once, before any tick";
        UserMoves(knob, c.last);
        Tick();
        // Steps the cable could not carry yet merged; the last value went out.
        const auto sent = output.TakeShortMessageBytes();
        const int byte = c.last + (c.last < 0 ? 127 : 0);
        ASSERT_GE(sent.size(), 4u);
        EXPECT_LT(sent.size(), 18u * 4u);
        EXPECT_EQ(std::vector<Bytes>(sent.end() - 4, sent.end()), NrpnMessages(c.nrpn, byte))
            << c.knob;
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
        {1, 1, "CheckLedApreggiator", false, true,
         Concat({NrpnMessages(100, 0), NrpnMessages(101, 1)})},
        {0, 1, "CheckLedApreggiator", true, false,
         Concat({NrpnMessages(101, 0), NrpnMessages(100, 1)})},
        {1, 0, "CheckLedGatedSequencer", false, true,
         Concat({NrpnMessages(100, 0), NrpnMessages(101, 1)})},
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
    EXPECT_EQ(output.TakeShortMessageBytes(), NrpnMessages(194, '2'));
    EXPECT_EQ(name->text(), "Test Sound2");
}

TEST_F(EditorWindowTest, ARefusedChangeIsReportedOnceAndGoesOutLater) {
    Open();
    output.failure = MidiError::NotReady; // a full queue
    window->TypeValue(BindingIndex("KnobNoiseLevel"), "5");
    window->TypeValue(BindingIndex("KnobNoiseLevel"), "6");
    Tick();
    EXPECT_TRUE(output.Empty());
    EXPECT_EQ(host.messagePanel.size(), 1u);
    output.failure = MidiError::None;
    Tick();
    EXPECT_EQ(output.TakeShortMessageBytes(), NrpnMessages(14, 6));
}

TEST_F(EditorWindowTest, AChangeJustBeforeAnActivationIsSentFirstAndKept) {
    Open();
    window->TypeValue(BindingIndex("KnobNoiseLevel"), "5");
    QEvent activation(QEvent::WindowActivate);
    QApplication::sendEvent(window.get(), &activation);
    EXPECT_EQ(output.TakeShortMessageBytes(), NrpnMessages(14, 5));
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
    EXPECT_TRUE(contains(NrpnMessages(2, 1)));    // oscillator 1: Sawtooth
    EXPECT_TRUE(contains(NrpnMessages(7, 0)));    // oscillator 2: off
    EXPECT_TRUE(contains(NrpnMessages(19, 1)));   // 4-pole
    EXPECT_TRUE(contains(NrpnMessages(41, 0)));   // LFO 1 key sync off
    EXPECT_TRUE(contains(NrpnMessages(15, 160))); // filter frequency
}

// ---- Sending to a location and closing --------------------------------------

TEST_F(EditorWindowTest, SendSoundToMophoSendsTheShownSoundToTheChosenLocation) {
    lastSendLocation = 7;
    Open();
    host.chosen = 300;
    window->TypeValue(BindingIndex("KnobFilterResonance"), "99"); // no tick since
    Named<QPushButton>(*window, "btnSavSoundto")->click();

    EXPECT_EQ(host.presets, std::vector<int>{7});
    EXPECT_EQ(output.TakeShortMessageBytes(), NrpnMessages(16, 99));
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
        window->TypeValue(BindingIndex("KnobNoiseLevel"), "3");
        Named<QPushButton>(*window, "btnClose")->click();
        EXPECT_EQ(prompter.questions, QStringList{"Do you want to save changes?"});
        EXPECT_EQ(window->isVisible(), c.open);
        EXPECT_EQ(window->result(), c.result);
        EXPECT_EQ(output.TakeShortMessageBytes(), NrpnMessages(14, 3)); // sent before asking
        EXPECT_EQ(window->EditedRecord()[18 + 6], 3);
    }
}

TEST_F(EditorWindowTest, WhileTheQuestionIsOpenNoActivationReloads) {
    prompter.answers = {Prompter::Answer::Cancel};
    Open();
    TKnob* knob = Control<TKnob>("KnobNoiseLevel");
    prompter.whileOpen = [&] {
        knob->SetPosition(9); // as if shown, not a change
        QEvent activation(QEvent::WindowActivate);
        QApplication::sendEvent(window.get(), &activation);
    };
    Named<QPushButton>(*window, "btnClose")->click();
    EXPECT_TRUE(output.Empty());
    EXPECT_EQ(knob->Position(), 9);
    Tick();
    EXPECT_TRUE(output.Empty()); // a value shown by the program is no change
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
        UserMoves(knob, c.start);
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

TEST_F(EditorWindowTest, StepsOfATrackAimedAtAPitchShowNoteNamesWhateverSetTheDestination) {
    TSoundRecord sound = PlausibleSound();
    sound[SoundLayout::ParameterByte(101)] = 3; // "Osc 1 and 2 Freq"
    sound[SoundLayout::ParameterByte(102)] = 9; // "Filter Frequency"
    Open(sound);
    EXPECT_TRUE(Control<TSlider>("SldSeq101")->NoteNames());
    EXPECT_FALSE(Control<TSlider>("SldSeq201")->NoteNames());
    auto* destination = Control<QComboBox>("cmbSequence1Dest");
    for (auto [index, notes] : {std::pair{1, true}, std::pair{4, false}, std::pair{0, false}}) {
        destination->setCurrentIndex(index);
        Q_EMIT destination->activated(index);
        EXPECT_EQ(Control<TSlider>("SldSeq101")->NoteNames(), notes);
        EXPECT_EQ(Control<TSlider>("SldSeq116")->NoteNames(), notes);
        EXPECT_FALSE(Control<TSlider>("SldSeq201")->NoteNames());
    }
    Tick();
    Key(Qt::Key_Backspace, Qt::AltModifier); // undo: "Off" again, then "Osc 1 Freq"...
    Key(Qt::Key_Backspace, Qt::AltModifier);
    Key(Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_TRUE(Control<TSlider>("SldSeq101")->NoteNames());
}

// ---- Following the instrument, comparing, typing ------------------------------

namespace {
// An NRPN as the instrument's panel sends it, on channel 0..15.
std::vector<std::uint32_t> PanelNrpn(int number, int value, int channel = 0) {
    const auto cc = [channel](int controller, int v) {
        return static_cast<std::uint32_t>((0xB0 + channel) | controller << 8 | v << 16);
    };
    return {cc(99, number >> 7), cc(98, number & 0x7F), cc(6, value >> 7), cc(38, value & 0x7F)};
}
} // namespace

TEST_F(EditorWindowTest, APanelBurstIsShownNeverSentBackAndOneUndoStep) {
    Open();
    TKnob* cutoff = Control<TKnob>("KnobFilterFrequency");
    const int before = cutoff->Position();
    for (int value : {100, 120, 140})
        for (std::uint32_t message : PanelNrpn(15, value))
            window->InstrumentMessage(message);
    EXPECT_EQ(cutoff->Position(), 140);
    EXPECT_EQ(window->EditedRecord()[SoundLayout::ParameterByte(20)], 140);
    // Other channels and plain controllers are not taken.
    for (std::uint32_t message : PanelNrpn(15, 3, 1))
        window->InstrumentMessage(message);
    window->InstrumentMessage(0xB0 | 74 << 8 | 5 << 16);
    EXPECT_EQ(cutoff->Position(), 140);
    Tick();
    EXPECT_TRUE(output.Empty());

    Key(Qt::Key_Backspace, Qt::AltModifier); // the whole burst at once
    EXPECT_EQ(cutoff->Position(), before);
    EXPECT_EQ(output.TakeShortMessageBytes(), NrpnMessages(15, before));

    // The echo of what the editor sent changes nothing; a program change
    // asks for the instrument's edit buffer.
    window->TypeValue(BindingIndex("KnobFilterResonance"), "77");
    Tick();
    output.TakeShortMessageBytes();
    for (std::uint32_t message : PanelNrpn(16, 77))
        window->InstrumentMessage(message);
    Tick();
    EXPECT_TRUE(output.Empty());
    window->InstrumentMessage(0xC0 | 5 << 8);
    EXPECT_EQ(host.editBufferRequests, 1);
}

TEST_F(EditorWindowTest, CompareHoldsTheOriginalAndRevertMakesItTheEditedSound) {
    Open();
    const TSoundRecord opened = window->EditedRecord();
    window->TypeValue(BindingIndex("KnobNoiseLevel"), "9");
    Tick();
    output.TakeShortMessageBytes();
    auto* compare = Named<QPushButton>(*window, "btnCompare");
    compare->click(); // a short click latches
    EXPECT_TRUE(compare->isChecked());
    EXPECT_EQ(Control<TKnob>("KnobNoiseLevel")->Position(), opened[18 + 6]);
    Tick();
    EXPECT_EQ(output.TakeShortMessageBytes(), NrpnMessages(14, opened[18 + 6]));
    EXPECT_FALSE(window->TypeValue(BindingIndex("KnobNoiseLevel"), "3") &&
                 window->EditedRecord()[18 + 6] == 3);
    EXPECT_FALSE(Named<QLabel>(*window, "lblStatus")->text().isEmpty());
    compare->click();
    EXPECT_EQ(Control<TKnob>("KnobNoiseLevel")->Position(), 9);
    Tick();
    EXPECT_EQ(output.TakeShortMessageBytes(), NrpnMessages(14, 9));

    Named<QPushButton>(*window, "btnRevert")->click();
    EXPECT_EQ(window->EditedRecord(), opened);
    Key(Qt::Key_Backspace, Qt::AltModifier); // revert is one undo step
    EXPECT_EQ(window->EditedRecord()[18 + 6], 9);
}

TEST_F(EditorWindowTest, AValueIsTypedAsItsControlShowsIt) {
    Open();
    TKnob* knob = Control<TKnob>("knobOsc1Frequency");
    QTest::mouseDClick(knob, Qt::LeftButton, Qt::NoModifier, {16, 10});
    auto* field = Named<QLineEdit>(*window, "edtTypedValue");
    field->setText("C#3");
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(knob->Position(), 37);
    EXPECT_EQ(output.TakeShortMessageBytes(), NrpnMessages(0, 37));

    // Escape leaves without a change; a wrong text says so and keeps the value.
    knob->setFocus();
    QTest::keyClick(knob, Qt::Key_Return);
    field = Named<QLineEdit>(*window, "edtTypedValue");
    QTest::keyClick(field, Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_TRUE(window->isVisible()); // not the window's close question
    EXPECT_FALSE(window->TypeValue(BindingIndex("KnobLFO1Frequency"), "DIV 7"));
    EXPECT_TRUE(window->TypeValue(BindingIndex("KnobLFO1Frequency"), "div 32"));
    EXPECT_EQ(Control<TKnob>("KnobLFO1Frequency")->Position(), 151);
}

TEST_F(EditorWindowTest, TheWheelTurnsASequencerStepLikeAKnob) {
    Open();
    auto* step = Control<TSlider>("SldSeq203");
    const int before = step->Position();
    QEnterEvent enter({5, 5}, {5, 5}, step->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(step, &enter);
    QWheelEvent wheel({5, 5}, step->mapToGlobal(QPointF(5, 5)), {}, {0, before < 125 ? 120 : -120},
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(step, &wheel);
    const int after = before < 125 ? before + 1 : before - 1;
    EXPECT_EQ(step->Position(), after);
    EXPECT_EQ(output.TakeShortMessageBytes(), NrpnMessages(138, after));
}

// ---- Randomizers, schemas and undo --------------------------------------------

int Row(std::string_view member) {
    return BindingIndex(member);
}

const ParameterBinding& BindingOf(std::string_view member) {
    return ParameterBindings[static_cast<std::size_t>(Row(member))];
}

// The messages that set `member`'s parameter to what its control shows at `value`.
std::vector<Bytes> NrpnOf(std::string_view member, int value) {
    const ParameterBinding& binding = BindingOf(member);
    return NrpnMessages(NrpnNumbers[static_cast<std::size_t>(binding.parameter)],
                        ByteForValue(binding, value));
}

// The messages that bring the instrument from `playing` to `target`.
std::vector<Bytes> Restoring(const TSoundRecord& playing, const TSoundRecord& target) {
    std::vector<Bytes> messages;
    for (int p : ParametersToSend(playing, target)) {
        const auto nrpn = NrpnMessages(NrpnNumbers[static_cast<std::size_t>(p)],
                                       target[SoundLayout::ParameterByte(p)]);
        messages.insert(messages.end(), nrpn.begin(), nrpn.end());
    }
    return messages;
}

class EditorRandomizerTest : public EditorWindowTest {
protected:
    std::string Allowed(std::string_view member) {
        return window->Schema()[static_cast<std::size_t>(Row(member))].allowed;
    }
    // `name` is the file name's bytes, whatever their encoding.
    std::string SchemaPath(const std::string& name) {
        return programFolder.path().toStdString() + "/" + name + ".sndfamily";
    }
    void WriteSchema(const std::string& name, const std::string& lines) {
        std::ofstream(SchemaPath(name), std::ios::binary) << "[Parameters]\n" + lines;
    }
    std::string ReadSchema(const std::string& name) {
        std::ifstream file(SchemaPath(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(file), {}};
    }
    // A schema of "0" strings: knobs go to their middle, lists to item 0.
    void OpenWithNothingAllowed() {
        WriteSchema("Zeros", "CheckLedOsc1Keyboard=0\n");
        Open();
        Pick("Zeros");
    }
    // The user picks a schema from the list.
    void Pick(const QString& text) {
        const int index = SchemaBox()->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        SchemaBox()->setCurrentIndex(index);
        window->cmbRandomSchemaSelect(index);
    }
    // Ticks every value of the "R" list of `button` the other way, then OK.
    void InvertAllowed(const char* button) {
        WhenShown<TfrmParameterListView>([](TfrmParameterListView& view) {
            view.Button2->click();
            view.Button1->click();
        });
        Press(button);
    }
    QComboBox* SchemaBox() { return window->Panel().cmbRandomSchema; }
    QStringList SchemaItems() {
        QStringList items;
        for (int i = 0; i < SchemaBox()->count(); ++i)
            items << SchemaBox()->itemText(i);
        return items;
    }
    void Press(const char* button) { Named<QPushButton>(*window, button)->click(); }
    // Derives a schema in the tolerance dialog, answered with Create.
    void Derive() {
        WhenShown<TfrmCreateSchemaParameters>(
            [](TfrmCreateSchemaParameters& dialog) { dialog.btnCreate->click(); });
        Press("btnCreateSchemaFromCurrentSound");
    }
};

TEST_F(EditorRandomizerTest, WithANothingAllowedSchemaRandomizeSoundGivesMiddleKnobsAndFirstItems) {
    OpenWithNothingAllowed();
    EXPECT_EQ(Allowed("KnobFilterFrequency"), "0");
    Press("btnRandomizeSound");
    for (std::string_view button : CompositeRandomizers[6].sections)
        for (const ControlRef ref :
             SectionRandomizers[static_cast<std::size_t>(SectionIndex(button))].controls) {
            const std::string_view member =
                ParameterBindings[static_cast<std::size_t>(RowOf(ref))].key;
            const ParameterBinding& binding = BindingOf(member);
            const std::string name(member);
            QWidget* control = window->Panel().controls[static_cast<std::size_t>(Row(member))];
            switch (binding.kind) {
            case ControlKind::Knob: {
                if (name.find("Pulsewidth") != std::string::npos)
                    continue; // the shapes went to "Oscillator Off"
                EXPECT_EQ(static_cast<TKnob*>(control)->Position(),
                          binding.min + (binding.max - binding.min + 1) / 2)
                    << name;
                const std::string allowed = Allowed(member);
                EXPECT_EQ(std::count(allowed.begin(), allowed.end(), '1'), 1) << name;
                break;
            }
            case ControlKind::List:
                EXPECT_EQ(static_cast<QComboBox*>(control)->currentIndex(), 0) << name;
                break;
            case ControlKind::Led:
                EXPECT_FALSE(static_cast<TCheckLed*>(control)->Status()) << name;
                break;
            case ControlKind::Slider:
                ADD_FAILURE() << name;
            }
        }
    // The pulse width of oscillator 2 stays where the sound had it.
    EXPECT_EQ(Control<TKnob>("knobOsc2Pulsewidth")->Position(), 50);
    Tick();
    EXPECT_FALSE(output.Empty());
}

// Until a schema file is picked every value may come (the end-to-end test
// hears the first press), and picking "(any value)" again allows all again.
TEST_F(EditorRandomizerTest, AnyValueIsInUseUntilASchemaFileIsPicked) {
    WriteSchema("Pads", "CheckLedOsc1Keyboard=01\n");
    Open();
    EXPECT_EQ(SchemaItems(), QStringList({"(any value)", "Pads"}));
    EXPECT_EQ(SchemaBox()->currentText(), "(any value)");
    const std::string everyValue(165, '1');
    EXPECT_EQ(Allowed("KnobFilterFrequency"), everyValue);
    // Picked again after a file, it allows everything again.
    Pick("Pads");
    EXPECT_EQ(Allowed("KnobFilterFrequency"), "0");
    Pick("(any value)");
    EXPECT_EQ(Allowed("KnobFilterFrequency"), everyValue);
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(EditorRandomizerTest, ASecondPressWithOneValuePerControlSendsNothing) {
    OpenWithNothingAllowed();
    for (int index = 0; index < CompositeRandomizerCount; ++index) {
        window->Panel().compositeButtons[static_cast<std::size_t>(index)]->click();
        Tick();
        output.TakeShortMessageBytes();
        window->Panel().compositeButtons[static_cast<std::size_t>(index)]->click();
        Tick();
        EXPECT_TRUE(output.Empty()) << CompositeRandomizers[static_cast<std::size_t>(index)].button;
    }
}

TEST_F(EditorRandomizerTest, APressOfListsAloneIsSentAtTheNextTick) {
    OpenWithNothingAllowed();
    Press("btnRandomizeAssignables");
    for (const char* list :
         {"cmbAssignable1", "cmbAssignable2", "cmbAssignable3", "cmbAssignable4"})
        EXPECT_EQ(Control<QComboBox>(list)->currentIndex(), 0) << list;
    Tick();
    EXPECT_EQ(output.TakeShortMessageBytes(),
              Concat({NrpnOf("cmbAssignable1", 0), NrpnOf("cmbAssignable2", 0),
                      NrpnOf("cmbAssignable3", 0), NrpnOf("cmbAssignable4", 0)}));
}

TEST_F(EditorRandomizerTest, ASchemaDerivedAtToleranceZeroKeepsTheSound) {
    tolerances = SchemaTolerances{0, 0, 0, 0, 0, 0};
    Open();
    Derive();
    EXPECT_EQ(Allowed("CheckLedOsc1Keyboard").size(), 2u);
    EXPECT_EQ(Allowed("KnobFilterEnvAmount").size(), 255u);
    EXPECT_EQ(SchemaItems(), QStringList({"(any value)"}));
    EXPECT_EQ(SchemaBox()->currentText(), ""); // no name until the user gives one
    for (Qt::Key digit : {Qt::Key_0, Qt::Key_1, Qt::Key_6})
        Key(digit, Qt::ControlModifier);
    for (int index = 0; index < SectionRandomizerCount; ++index)
        window->Panel().sectionButtons[static_cast<std::size_t>(index)]->click();
    Tick();
    EXPECT_TRUE(output.Empty());
    EXPECT_EQ(window->EditedRecord(), PlausibleSound());
}

TEST_F(EditorRandomizerTest, ASchemaIsLoadedOnlyWhenTheUserPicksIt) {
    WriteSchema("beta", "CheckLedOsc1Keyboard=10\n");
    WriteSchema("Alpha", "CheckLedOsc1Keyboard=01\n");
    Open();
    EXPECT_EQ(SchemaItems(), QStringList({"(any value)", "Alpha", "beta"}));
    EXPECT_EQ(SchemaBox()->currentText(), "(any value)");
    EXPECT_EQ(Allowed("CheckLedOsc1Keyboard"), "11");

    // A name typed and confirmed with Enter, and a list filled anew, load nothing.
    SchemaBox()->setFocus();
    SchemaBox()->setEditText("beta");
    QTest::keyClick(SchemaBox(), Qt::Key_Return);
    EXPECT_EQ(Allowed("CheckLedOsc1Keyboard"), "11");

    // A pick with the keyboard loads the schema picked.
    SchemaBox()->setCurrentIndex(1);
    QTest::keyClick(SchemaBox(), Qt::Key_Down);
    EXPECT_EQ(SchemaBox()->currentText(), "beta");
    EXPECT_EQ(Allowed("CheckLedOsc1Keyboard"), "10");
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(EditorRandomizerTest, SavingNeedsAUsableNameAndListsTheSavedSchema) {
    Open();
    struct Case {
        QString name;
        QString message; // start of the message shown; empty: saved
    };
    const Case cases[] = {
        {"", "Please set the schema name."},
        {"../up", "The schema name \"../up\" cannot be used"},
        {"a:b", "The schema name \"a:b\" cannot be used"},
        {"(any value)", "The schema name \"(any value)\" cannot be used"},
        {"Mine", ""},
    };
    for (const Case& c : cases) {
        prompter.messages.clear();
        SchemaBox()->setEditText(c.name);
        Press("btnSaveRandomSchema");
        if (c.message.isEmpty()) {
            EXPECT_TRUE(prompter.messages.isEmpty());
        } else {
            ASSERT_EQ(prompter.messages.size(), 1) << c.name.toStdString();
            EXPECT_TRUE(prompter.messages[0].startsWith(c.message))
                << prompter.messages[0].toStdString();
        }
    }
    EXPECT_EQ(QDir(programFolder.path()).entryList(QDir::Files), QStringList({"Mine.sndfamily"}));
    EXPECT_EQ(SchemaItems(), QStringList({"(any value)", "Mine"}));
    EXPECT_EQ(SchemaBox()->currentText(), "Mine");

    // A derived schema has no name until the user gives it one.
    Derive();
    EXPECT_EQ(SchemaItems(), QStringList({"(any value)", "Mine"}));
    EXPECT_EQ(SchemaBox()->currentText(), "");
    prompter.messages.clear();
    Press("btnSaveRandomSchema");
    EXPECT_EQ(prompter.messages, QStringList({"Please set the schema name."}));
}

TEST_F(EditorRandomizerTest, AnRButtonStoresTheAllowedValuesOnOkOnly) {
    Open();
    const std::string before = Allowed("KnobFilterResonance");
    WhenShown<TfrmParameterListView>([](TfrmParameterListView& view) {
        view.Button2->click();
        QTest::keyClick(&view, Qt::Key_Escape);
    });
    Press("BitBtn22");
    EXPECT_EQ(Allowed("KnobFilterResonance"), before);

    InvertAllowed("BitBtn22");
    EXPECT_EQ(Allowed("KnobFilterResonance"), std::string(128, '0'));
}

TEST_F(EditorRandomizerTest, SelectForAllGivesStepOnesValuesToItsTrackOnly) {
    OpenWithNothingAllowed();
    window->Panel().selectForAll[2]->setChecked(true);
    QString caption;
    WhenShown<TfrmParameterListView>([&](TfrmParameterListView& view) {
        caption = view.CheckListBox1->item(60)->text();
        view.btnSelectAll->click();
        view.Button1->click();
    });
    Press("btnSeqTrack31");
    const std::string all(126, '1');
    for (const char* step : {"SldSeq301", "SldSeq302", "SldSeq316"})
        EXPECT_EQ(Allowed(step), all) << step;
    EXPECT_NE(Allowed("SldSeq201"), all);
    EXPECT_NE(Allowed("SldSeq401"), all);

    // Without the box only the step itself changes.
    WhenShown<TfrmParameterListView>([&](TfrmParameterListView& view) {
        view.btnSelectAll->click();
        view.Button1->click();
    });
    Press("btnSeqTrack21");
    EXPECT_EQ(Allowed("SldSeq201"), all);
    EXPECT_NE(Allowed("SldSeq202"), all);
}

// Saving over a schema file asks first; hand-made changes are offered for
// saving before another schema replaces them.
TEST_F(EditorRandomizerTest, SchemaFilesAreReplacedOnlyOnYes) {
    WriteSchema("Bass", "KnobFilterResonance=1\n");
    WriteSchema("Lead", "KnobFilterResonance=01\n");
    Open();
    const std::string bass = ReadSchema("Bass");
    SchemaBox()->setEditText("Bass");
    prompter.answers = {Prompter::Answer::No};
    Press("btnSaveRandomSchema");
    EXPECT_EQ(prompter.questions, QStringList({"Replace the schema Bass?"}));
    EXPECT_EQ(ReadSchema("Bass"), bass);
    prompter.answers = {Prompter::Answer::Yes};
    Press("btnSaveRandomSchema");
    EXPECT_NE(ReadSchema("Bass").find(std::string(128, '1')), std::string::npos);

    struct Case {
        Prompter::Answer answer;
        bool saved;
        QString shown; // the schema in use afterwards
    };
    const Case cases[] = {
        {Prompter::Answer::Yes, true, "Lead"},
        {Prompter::Answer::No, false, "Lead"},
        {Prompter::Answer::Cancel, false, "Bass"},
    };
    for (const Case& c : cases) {
        WriteSchema("Bass", "KnobFilterResonance=1\n");
        Pick("Bass");
        InvertAllowed("BitBtn22");
        prompter.questions.clear();
        prompter.answers = {c.answer};
        Pick("Lead");
        EXPECT_EQ(prompter.questions, QStringList({"Save changes to the schema Bass?"}));
        EXPECT_EQ(ReadSchema("Bass").find("=0111") != std::string::npos, c.saved);
        EXPECT_EQ(SchemaBox()->currentText(), c.shown);
        EXPECT_EQ(Allowed("KnobFilterResonance"),
                  c.shown == "Lead" ? "01" : "0" + std::string(127, '1'));
    }
    // Without a change by hand nothing is asked.
    prompter.answers = {Prompter::Answer::No};
    Pick("Lead");
    prompter.questions.clear();
    Pick("Bass");
    EXPECT_TRUE(prompter.questions.isEmpty());
}

// A file named in another encoding is shown readably and loaded and saved by
// its own name; a file that cannot be loaded leaves the schema in use.
TEST_F(EditorRandomizerTest, SchemaFilesAreKnownByTheirNamesBytes) {
    WriteSchema("B\xe4ss", "KnobFilterResonance=01\n");
    WriteSchema("Broken", "");
    Open();
    EXPECT_EQ(SchemaItems(), QStringList({"(any value)", "Broken", "B\u00e4ss"}));
    Pick("B\u00e4ss");
    EXPECT_EQ(Allowed("KnobFilterResonance"), "01");
    prompter.answers = {Prompter::Answer::Yes};
    Press("btnSaveRandomSchema");
    EXPECT_EQ(prompter.questions, QStringList({"Replace the schema B\u00e4ss?"}));
    const std::filesystem::directory_iterator files(programFolder.path().toStdString());
    EXPECT_EQ(std::distance(begin(files), end(files)), 2) << "no second file";
    EXPECT_NE(ReadSchema("B\xe4ss").find("knobOsc1Frequency"), std::string::npos);

    Pick("Broken");
    EXPECT_EQ(
        prompter.messages,
        QStringList({"The schema \"Broken\" cannot be loaded: the file holds no schema line."}));
    EXPECT_EQ(SchemaBox()->currentText(), "B\u00e4ss");
    EXPECT_EQ(Allowed("KnobFilterResonance"), "01");
}

TEST_F(EditorRandomizerTest, UndoAndRedoRestoreTheControlsAndSendOnlyTheDifferences) {
    Open();
    const TSoundRecord loaded = window->EditedRecord();
    window->TypeValue(BindingIndex("KnobFilterResonance"), "99");
    Tick();
    output.TakeShortMessageBytes();
    const TSoundRecord turned = window->EditedRecord();
    Press("btnInitSound");
    Tick();
    output.TakeShortMessageBytes();
    const TSoundRecord initialised = window->EditedRecord();
    ASSERT_NE(initialised, turned);

    struct Step {
        bool redo;
        const TSoundRecord& shown;
        const TSoundRecord& before;
    };
    const Step steps[] = {
        {false, turned, initialised},
        {false, loaded, turned},
        {true, turned, loaded},
        {true, initialised, turned},
    };
    for (const Step& step : steps) {
        Key(Qt::Key_Backspace, step.redo ? Qt::AltModifier | Qt::ShiftModifier : Qt::AltModifier);
        for (const char* knob : {"KnobFilterResonance", "KnobFilterFrequency"})
            EXPECT_EQ(Control<TKnob>(knob)->Position(),
                      step.shown[SoundLayout::ParameterByte(BindingOf(knob).parameter)])
                << knob;
        Tick();
        EXPECT_EQ(output.TakeShortMessageBytes(), Restoring(step.before, step.shown));
        EXPECT_EQ(window->EditedRecord(), step.shown);
    }
    // Nothing left to redo.
    Key(Qt::Key_Backspace, Qt::AltModifier | Qt::ShiftModifier);
    Tick();
    EXPECT_TRUE(output.Empty());
}

TEST_F(EditorRandomizerTest, UndoRestoresBytesNoControlCanShow) {
    const TSoundRecord hostile = HostileSound();
    Open(hostile);
    Press("btnRandomizeFilters");
    Tick();
    output.TakeShortMessageBytes();
    ASSERT_NE(window->EditedRecord(), hostile);
    Key(Qt::Key_Backspace, Qt::AltModifier);
    Tick();
    EXPECT_EQ(window->EditedRecord(), hostile);
    EXPECT_FALSE(output.Empty());
}

TEST_F(EditorWindowTest, CtrlBBreedsAndTheChildToEditIsOneUndoStep) {
    Open();
    Activate();
    const TSoundRecord loaded = window->EditedRecord();

    // Closed without a child: the instrument gets the editor's sound back.
    Key(Qt::Key_B, Qt::ControlModifier);
    ASSERT_EQ(host.bredFrom.size(), 1u);
    EXPECT_EQ(host.bredFrom[0], loaded);
    ASSERT_EQ(output.longMessages.size(), 1u);
    EXPECT_EQ(output.longMessages[0], EditBufferDumpMessage(loaded));
    EXPECT_EQ(window->EditedRecord(), loaded);

    // A child to edit: shown, sent as what differs, undone in one step.
    TSoundRecord child = loaded;
    child[SoundLayout::ParameterByte(BindingOf("KnobFilterResonance").parameter)] = 3;
    child[SoundLayout::ParameterByte(BindingOf("KnobFilterFrequency").parameter)] = 140;
    SetSoundName(child, "Pad x Bass 2-4");
    host.childToEdit = child;
    Key(Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(Control<TKnob>("KnobFilterResonance")->Position(), 3);
    EXPECT_EQ(window->EditedRecord(), child);
    Tick();
    EXPECT_EQ(output.TakeShortMessageBytes(), Restoring(loaded, child));
    Key(Qt::Key_Backspace, Qt::AltModifier);
    Tick();
    EXPECT_EQ(window->EditedRecord(), loaded);
}

} // namespace
