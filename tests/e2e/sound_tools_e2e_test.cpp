// Q-Morph, the parameter locker, the sound breeder and the sound editor over
// JACK, as a musician uses them in the main window (offscreen) against the
// stand-in instrument at DIN speed: a morph ends on sound 2, a fast drag does
// not pile steps up on the cable, the locker's random sound reaches the
// instrument and is kept in the library, the breeder's children play with
// their keys; a knob turned in the editor is heard at once, a knob turned on
// the instrument shows in the editor, the original can be compared, and an
// instrument on MIDI channel 2 hears it all.

#include "../support/main_window_probes.h"
#include "../support/modal_window.h"
#include "../support/named_child.h"
#include "../support/program_folder.h"
#include "window_fixture.h"

#include "../app/scripted_dialogs.h"

#include "builtin_instrument_service.h"
#include "frm_breeder.h"
#include "frm_locker.h"
#include "frm_morph.h"
#include "frm_patch_edit.h"
#include "knob.h"
#include "library_list.h"
#include "main_window.h"
#include "morph.h"
#include "parameter_binding.h"
#include "random_generator.h"
#include "rtmidi_service.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <functional>

namespace {

using namespace e2e;

class SoundToolsOverJack : public WindowOverJack {
protected:
    std::unique_ptr<TfrmMain> OpenWindow(int midiChannel = 1) {
        auto window =
            WindowOverJack::OpenWindow("MidiChannel=" + std::to_string(midiChannel) + "\n");
        if (!window)
            return nullptr;
        // The sounds the tools work on, unlike the instrument's own.
        for (int slot = 0; slot < Slots::Count; ++slot) {
            TSoundRecord sound = VirtualMopho::FactorySound(Slots::Count - 1 - slot);
            SetSoundName(sound, "Lib " + Slots::Caption(slot));
            window->Library().StoreSound(slot, sound);
        }
        return window;
    }

    // The instrument's edit buffer, as the locker receives it on opening.
    static std::optional<TSoundRecord> InstrumentsEditBuffer(TfrmMain& window) {
        std::optional<TSoundRecord> received;
        WhenModalOpens<TfrmLocker>([&] { Named<QAction>(window, "actLocker")->trigger(); },
                                   [&](TfrmLocker& locker) {
                                       received = locker.WorkingSound();
                                       QTimer::singleShot(0, &locker,
                                                          [&locker] { locker.reject(); });
                                   });
        return received;
    }

    // Waits until the instrument's log stops growing.
    static std::vector<std::string> SettledLog(const fs::path& logFile) {
        std::size_t lines = 0;
        for (int quiet = 0; quiet < 5;) {
            QTest::qWait(200);
            const std::size_t now = ReadLines(logFile).size();
            quiet = now == lines ? quiet + 1 : 0;
            lines = now;
        }
        return ReadLines(logFile);
    }

public:
    // Opens the editor by "Edit Sound" and runs `inEditor` in it; the editor
    // then closes without keeping anything. Returns how many editors opened.
    static int RunEditor(TfrmMain& window, const std::function<void(TfrmPatchEdit&)>& inEditor) {
        return WhenModalOpens<TfrmPatchEdit>(
            [&] { Named<QAction>(window, "EditEditBuffer1")->trigger(); },
            [&](TfrmPatchEdit& editor) {
                inEditor(editor);
                QTimer::singleShot(0, &editor, [&editor] { editor.done(QDialog::Rejected); });
            });
    }
};

// Test names stay short: they name JACK clients, which take at most 63 characters.
TEST_F(SoundToolsOverJack, MorphEndsOnSoundTwoWithoutPilingUp) {
    const fs::path logFile = folder_ / "received.log";
    auto instrument = Start({"--din", "--log", logFile.string()});
    auto window = OpenWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntilConnected(*window));
    const int first = 5;
    const int second = 300;
    const TSoundRecord sound1 = window->Library().Sound(first);
    const TSoundRecord sound2 = window->Library().Sound(second);
    const std::size_t logBefore = SettledLog(logFile).size();
    const auto libraryBefore = window->Library().Sounds();

    qint64 dragMs = -1;
    bool oneStepAtMost = true;
    const int opened = WhenModalOpens<TfrmMorph>(
        [&] { Named<QAction>(*window, "actQMorph")->trigger(); },
        [&](TfrmMorph& morph) {
            Named<QTimer>(morph, "Timer1")->stop(); // our own pair, not a random one
            Named<QComboBox>(morph, "cmbSound1")->setCurrentIndex(first);
            Named<QComboBox>(morph, "cmbSound2")->setCurrentIndex(second);
            auto* bar = Named<QSlider>(morph, "trbMorph");
            QElapsedTimer clock;
            clock.start();
            for (int position = 1; position <= 100; ++position) {
                bar->setValue(position);
                QApplication::processEvents();
                // A position either went out or is the one waiting.
                const auto waiting = morph.Pacer().Waiting();
                oneStepAtMost = oneStepAtMost && (!waiting || *waiting == position);
            }
            dragMs = clock.elapsed();
            clock.restart();
            while (morph.Pacer().Waiting() && clock.elapsed() < 10000)
                QTest::qWait(20);
            QTimer::singleShot(0, &morph, [&morph] { morph.accept(); });
        });
    ASSERT_EQ(opened, 1);
    EXPECT_TRUE(oneStepAtMost);

    // Each step is at most one message per parameter with a control; the
    // drag's 100 positions went out as the cable allowed, not one by one.
    const auto log = SettledLog(logFile);
    int parameterMessages = 0;
    for (std::size_t i = logBefore; i < log.size(); ++i)
        parameterMessages += log[i].rfind("B0 63 ", 0) == 0 ? 1 : 0;
    int withControls = 0;
    for (int p = 0; p < MorphParameterCount; ++p)
        withControls += MorphSends(p) ? 1 : 0;
    const auto stepTime = MorphPacer::ByteTime * withControls * MorphMessageBytes;
    const int stepsTheCableCarries =
        2 + static_cast<int>(dragMs * 1000 / stepTime.count()); // the first, the last, any between
    std::printf("drag of 100 positions in %lld ms: %d parameter messages (%.1f full steps)\n",
                static_cast<long long>(dragMs), parameterMessages,
                static_cast<double>(parameterMessages) / withControls);
    EXPECT_GE(parameterMessages, withControls);
    EXPECT_LE(parameterMessages, stepsTheCableCarries * withControls);

    const std::optional<TSoundRecord> editBuffer = InstrumentsEditBuffer(*window);
    ASSERT_TRUE(editBuffer.has_value());
    for (int p = 0; p < MorphParameterCount; ++p) {
        if (!MorphSends(p))
            continue;
        const int byte = SoundLayout::ParameterByte(p);
        EXPECT_EQ((*editBuffer)[byte], MorphedParameter(p, sound1[byte], sound2[byte], 100, false))
            << "parameter " << p;
    }
    EXPECT_EQ(GetSoundName(*editBuffer), GetSoundName(sound2));
    // Neither the morph nor the locker closed without "Keep in library" stored anything.
    EXPECT_EQ(window->Library().Sounds(), libraryBefore);

    CloseWindow(window);
    EXPECT_EQ(instrument->Stop(), 0);
}

TEST_F(SoundToolsOverJack, LockerRandomSoundIsHeardAndKept) {
    const fs::path logFile = folder_ / "received.log";
    auto instrument = Start({"--log", logFile.string()});
    auto window = OpenWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntilConnected(*window));
    const int row = 42;
    window->List().SetCurrentRow(row);

    SharedGenerator().SetSeed(2026);
    RandomGenerator replay(2026);
    const int program = static_cast<int>(replay.Random(128));
    const int bank = static_cast<int>(replay.Random(3));
    const TSoundRecord donor = window->Library().Sound(Slots::Of(bank, program));
    const std::vector<const char*> lockedBoxes = {"ckbOscillator1", "ckbFilter", "ckbArpSeqTrack1"};

    TSoundRecord started;
    TSoundRecord kept;
    const int opened =
        WhenModalOpens<TfrmLocker>([&] { Named<QPushButton>(*window, "btnLocker")->click(); },
                                   [&](TfrmLocker& locker) {
                                       started = locker.WorkingSound();
                                       for (const char* box : lockedBoxes)
                                           Named<QCheckBox>(locker, box)->setChecked(true);
                                       Named<QPushButton>(locker, "btnRandomSound")->click();
                                       // The window's own timer applies the choice.
                                       while (locker.ApplyPending())
                                           QTest::qWait(20);
                                       kept = locker.WorkingSound();
                                       QTimer::singleShot(0, &locker, [&locker] {
                                           Named<QPushButton>(locker, "btnKeep")->click();
                                       });
                                   });
    ASSERT_EQ(opened, 1);

    // Locked sections and what belongs to no section are the started sound's.
    LockedGroups locked{};
    for (int g = 0; g < LockGroupCount; ++g)
        for (const char* box : lockedBoxes)
            locked[static_cast<std::size_t>(g)] =
                locked[static_cast<std::size_t>(g)] ||
                LockGroups[static_cast<std::size_t>(g)].member == box;
    EXPECT_EQ(kept, MergeUnlocked(started, donor, locked));
    EXPECT_NE(kept, started);

    // The instrument plays it ...
    const std::optional<TSoundRecord> editBuffer = InstrumentsEditBuffer(*window);
    ASSERT_TRUE(editBuffer.has_value());
    for (int p = 0; p < SoundLayout::SentParameterCount; ++p)
        EXPECT_EQ((*editBuffer)[SoundLayout::ParameterByte(p)], kept[SoundLayout::ParameterByte(p)])
            << "parameter " << p;
    // ... and the library keeps it in the current row.
    const TSoundRecord& stored = window->Library().Sound(row);
    for (int p = 0; p < SoundLayout::ParameterCount; ++p)
        EXPECT_EQ(stored[SoundLayout::ParameterByte(p)], kept[SoundLayout::ParameterByte(p)])
            << "parameter " << p;
    EXPECT_TRUE(window->Library().IsChanged(row));

    CloseWindow(window);
    EXPECT_EQ(instrument->Stop(), 0);
}

TEST_F(SoundToolsOverJack, BreederKeysPlayChildrenAndKeep) {
    const fs::path logFile = folder_ / "received.log";
    auto instrument = Start({"--log", logFile.string()});
    auto window = OpenWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntilConnected(*window));
    // The two selected sounds are the parents.
    auto* selection = Named<QTableView>(*window, "ListView1")->selectionModel();
    for (const int row : {5, 300})
        selection->select(window->List().index(row, 0),
                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const auto libraryBefore = window->Library().Sounds();
    const std::size_t logBefore = SettledLog(logFile).size();

    std::vector<TSoundRecord> children;
    std::vector<TSoundRecord> parents;
    const int opened = WhenModalOpens<TfrmBreeder>(
        [&] { Named<QAction>(*window, "actBreeder")->trigger(); },
        [&](TfrmBreeder& breeder) {
            ASSERT_TRUE(QTest::qWaitForWindowActive(&breeder));
            Named<QSlider>(breeder, "trbMutation")->setValue(30);
            Named<QPushButton>(breeder, "btnBreed")->click();
            const Generation* shown = breeder.Shown();
            parents = shown->parents;
            for (const BredChild& child : shown->children)
                children.push_back(child.sound);
            // Keys 1..3, each once the cable is free.
            for (const Qt::Key key : {Qt::Key_1, Qt::Key_2, Qt::Key_3}) {
                QTest::keyClick(&breeder, key);
                QTest::qWait(120);
            }
            Named<QLineEdit>(breeder, "edtName")->clear();
            QTest::keyClicks(Named<QLineEdit>(breeder, "edtName"), "Keeper Three");
            Named<QComboBox>(breeder, "cmbKeepSlot")->setCurrentIndex(42);
            QTest::keyClick(&breeder, Qt::Key_K, Qt::ControlModifier);
            QTimer::singleShot(0, &breeder, [&breeder] { breeder.reject(); });
        });
    ASSERT_EQ(opened, 1);
    ASSERT_EQ(parents.size(), 2u);
    EXPECT_EQ(GetSoundName(parents[1]), "Lib C045        ");
    ASSERT_EQ(children.size(), static_cast<std::size_t>(DefaultChildCount));

    // Children 1, 2 and 3 reached the edit buffer, in that order, whole.
    const auto log = SettledLog(logFile);
    std::vector<std::string> dumps;
    for (std::size_t i = logBefore; i < log.size(); ++i)
        if (log[i].rfind("F0 01 25 03 ", 0) == 0)
            dumps.push_back(log[i]);
    ASSERT_EQ(dumps.size(), 3u);
    for (std::size_t c = 0; c < 3; ++c)
        EXPECT_EQ(dumps[c], HexLine(EditBufferDumpMessage(children[c]))) << "child " << c + 1;

    // "Keep" stored the third, renamed, in the current row as one undo step.
    TSoundRecord kept = children[2];
    SetSoundName(kept, "Keeper Three");
    const TSoundRecord& stored = window->Library().Sound(42);
    for (int p = 0; p < SoundLayout::ParameterCount; ++p)
        EXPECT_EQ(stored[SoundLayout::ParameterByte(p)], kept[SoundLayout::ParameterByte(p)])
            << "parameter " << p;
    EXPECT_TRUE(window->Library().IsChanged(42));
    EXPECT_EQ(window->List().CurrentRow(), 43);
    Named<QAction>(*window, "actUndo")->trigger();
    EXPECT_EQ(window->Library().Sounds(), libraryBefore);

    CloseWindow(window);
    EXPECT_EQ(instrument->Stop(), 0);
}

// ---- The sound editor -------------------------------------------------------

namespace {
// The log lines of an NRPN on channel 0..15.
std::vector<std::string> NrpnLines(int number, int value, int channel = 0) {
    const auto line = [channel](int controller, int v) {
        char text[16];
        std::snprintf(text, sizeof text, "%02X %02X %02X", 0xB0 + channel, controller, v);
        return std::string(text);
    };
    return {line(99, number >> 7), line(98, number & 0x7F), line(6, value >> 7),
            line(38, value & 0x7F)};
}

bool LogHolds(const std::vector<std::string>& log, const std::vector<std::string>& lines) {
    return std::search(log.begin(), log.end(), lines.begin(), lines.end()) != log.end();
}

// Waits up to `wait` until the instrument's log holds `lines`.
bool HeardWithin(const fs::path& logFile, const std::vector<std::string>& lines, int waitMs) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < waitMs) {
        if (LogHolds(ReadLines(logFile), lines))
            return true;
        QTest::qWait(2);
    }
    return false;
}

// Runs `inEditor` in the editor opened by "Edit Sound" on the instrument's edit buffer.
int InEditor(TfrmMain& window, const std::function<void(TfrmPatchEdit&)>& inEditor) {
    return SoundToolsOverJack::RunEditor(window, inEditor);
}
} // namespace

TEST_F(SoundToolsOverJack, EditorKnobIsHeardAtOnce) {
    const fs::path logFile = folder_ / "received.log";
    auto instrument = Start({"--din", "--log", logFile.string()});
    auto window = OpenWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntilConnected(*window));
    bool heard = false;
    ASSERT_EQ(InEditor(*window,
                       [&](TfrmPatchEdit& editor) {
                           Named<QTimer>(editor, "Timer1")->stop(); // no tick helps
                           auto* knob = Named<TKnob>(editor, "KnobFilterResonance");
                           const int value = knob->Position() < 127 ? knob->Position() + 1 : 126;
                           QTest::keyClick(knob,
                                           value > knob->Position() ? Qt::Key_Up : Qt::Key_Down);
                           // NRPN 16 on the DIN cable: 12 bytes, 4 ms, then JACK.
                           heard = HeardWithin(logFile, NrpnLines(16, value), 100);
                       }),
              1);
    EXPECT_TRUE(heard);
    CloseWindow(window);
    EXPECT_EQ(instrument->Stop(), 0);
}

TEST_F(SoundToolsOverJack, EditorFollowsThePanel) {
    const fs::path logFile = folder_ / "received.log";
    auto instrument = Start({"--log", logFile.string()});
    auto window = OpenWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntilConnected(*window));
    int shown = -1;
    std::size_t sentBack = 1;
    ASSERT_EQ(InEditor(*window,
                       [&](TfrmPatchEdit& editor) {
                           const std::size_t before = ReadLines(logFile).size();
                           ASSERT_TRUE(instrument->PlayPanel("knob 15 140"));
                           auto* cutoff = Named<TKnob>(editor, "KnobFilterFrequency");
                           QElapsedTimer clock;
                           clock.start();
                           while (cutoff->Position() != 140 && clock.elapsed() < 2000)
                               QTest::qWait(5);
                           shown = cutoff->Position();
                           QTest::qWait(300); // a tick: nothing goes back
                           sentBack = ReadLines(logFile).size() - before;
                       }),
              1);
    EXPECT_EQ(shown, 140);
    EXPECT_EQ(sentBack, 0u);
    CloseWindow(window);
    EXPECT_EQ(instrument->Stop(), 0);
}

TEST_F(SoundToolsOverJack, EditorComparesWithTheOriginal) {
    const fs::path logFile = folder_ / "received.log";
    auto instrument = Start({"--log", logFile.string()});
    auto window = OpenWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntilConnected(*window));
    bool edited = false;
    bool original = false;
    bool editedAgain = false;
    ASSERT_EQ(InEditor(*window,
                       [&](TfrmPatchEdit& editor) {
                           const int row = BindingIndex("KnobNoiseLevel");
                           const int opened = editor.Session().Value(row);
                           const int changed = opened == 7 ? 8 : 7;
                           editor.TypeValue(row, QString::number(changed));
                           edited = HeardWithin(logFile, NrpnLines(14, changed), 500);
                           const std::size_t before = ReadLines(logFile).size();
                           Named<QPushButton>(editor, "btnCompare")->click();
                           original =
                               HeardWithin(logFile, NrpnLines(14, opened), 500) &&
                               ReadLines(logFile).size() == before + 4; // only the difference
                           Named<QPushButton>(editor, "btnCompare")->click();
                           QTest::qWait(50);
                           const auto log = ReadLines(logFile);
                           editedAgain = log.size() == before + 8 &&
                                         std::vector<std::string>(log.end() - 4, log.end()) ==
                                             NrpnLines(14, changed);
                       }),
              1);
    EXPECT_TRUE(edited);
    EXPECT_TRUE(original);
    EXPECT_TRUE(editedAgain);
    CloseWindow(window);
    EXPECT_EQ(instrument->Stop(), 0);
}

TEST_F(SoundToolsOverJack, EditorUsesTheInstrumentsChannel) {
    const fs::path logFile = folder_ / "received.log";
    auto instrument = Start({"--channel", "2", "--log", logFile.string()});
    auto window = OpenWindow(2);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntilConnected(*window));
    bool heard = false;
    int shown = -1;
    ASSERT_EQ(InEditor(*window,
                       [&](TfrmPatchEdit& editor) {
                           editor.TypeValue(BindingIndex("KnobFilterResonance"), "33");
                           heard = HeardWithin(logFile, NrpnLines(16, 33, 1), 500);
                           ASSERT_TRUE(instrument->PlayPanel("knob 15 99"));
                           auto* cutoff = Named<TKnob>(editor, "KnobFilterFrequency");
                           QElapsedTimer clock;
                           clock.start();
                           while (cutoff->Position() != 99 && clock.elapsed() < 2000)
                               QTest::qWait(5);
                           shown = cutoff->Position();
                       }),
              1);
    EXPECT_TRUE(heard);
    EXPECT_EQ(shown, 99);
    // The instrument on channel 2 took the edit.
    const std::optional<TSoundRecord> editBuffer = InstrumentsEditBuffer(*window);
    ASSERT_TRUE(editBuffer.has_value());
    EXPECT_EQ((*editBuffer)[SoundLayout::ParameterByte(21)], 33);
    CloseWindow(window);
    EXPECT_EQ(instrument->Stop(), 0);
}

} // namespace
