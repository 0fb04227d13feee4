// The library commands against the built-in instrument: reads, sends,
// program changes, panic and rename, as a musician runs them.

#include "frm_patch_edit_simple.h"
#include "frm_sysex_receiver.h"
#include "instrument_commands.h"
#include "instrument_exchange.h"
#include "library_list.h"
#include "library_table_view.h"
#include "main_window.h"
#include "message_memo.h"
#include "midi_ports.h"
#include "scripted_dialogs.h"
#include "support/main_window_on_instrument.h"
#include "support/main_window_probes.h"
#include "support/modal_window.h"
#include "support/named_child.h"
#include "test_files.h"

#include "builtin_instrument_service.h"
#include "midi/fake_midi_service.h"
#include "sysex_messages.h"
#include "virtual_mopho.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class LibraryCommandsTest : public ::testing::Test, protected MainWindowOnInstrument {
protected:
    LibraryCommandsTest() { window->Instrument().SetSendDelay(0); }

    QStringList Memo() const { return MemoLines(*window); }
};

TEST_F(LibraryCommandsTest, ReadAllBanksStoresEveryProgramInOrder) {
    window->Library().MarkChanged(130, true);
    Named<QAction>(*window, "actReadAllBanks")->trigger(); // returns once the wait box has closed

    QStringList lines = Memo();
    lines.removeFirst(); // "Tonewright"
    ASSERT_EQ(lines.size(), 385);
    EXPECT_EQ(lines.takeLast(), "Read 384 sounds.");
    EXPECT_EQ(lines.front(), "DSIM Bank: 1 Sound:0");
    EXPECT_EQ(lines[128], "DSIM Bank: 2 Sound:0");
    EXPECT_EQ(lines.back(), "DSIM Bank: 3 Sound:127");
    EXPECT_EQ(window->WaitBox()->LabelText(), "Received 384 sound.");
    for (int slot = 0; slot < Slots::Count; ++slot)
        ASSERT_EQ(window->Library().Sound(slot), instrument->Program(slot)) << Slots::Caption(slot);
    EXPECT_FALSE(window->Library().IsChanged(130));
    EXPECT_EQ(window->List().ShownName(383).trimmed(), "C128 Virtual");
    // One request at a time, A 0 first.
    const auto received = Received();
    ASSERT_EQ(received.size(), 384u);
    EXPECT_EQ(received.front(), "F0 01 25 05 00 00 F7");
    EXPECT_EQ(received.back(), "F0 01 25 05 02 7F F7");
    EXPECT_TRUE(Named<QPushButton>(*window, "btnPrgUp")->isEnabled());
}

TEST_F(LibraryCommandsTest, SendingSelectedRowsWritesThemToTheirLocations) {
    TSoundLibrary& library = window->Library();
    library.SetSoundName(0, "First");
    library.SetSoundName(2, "Third");
    // A sound moved here keeps its old location bytes until it is sent.
    {
        TSoundRecord edited = library.Sound(2);
        edited[SoundLayout::BankByte] = 2;
        library.StoreSound(2, edited);
    }
    library.MarkChanged(0, true);
    library.MarkChanged(2, true);
    window->List().SelectSlots({0, 2});
    QStringList labels;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] { labels << window->WaitBox()->LabelText(); });
    window->Instrument().SetSendDelay(50);
    watcher.start(10);
    prompter.answers = {Prompter::Answer::Yes};
    Named<QAction>(*window, "actSendSelectedSounds")->trigger();
    watcher.stop();
    EXPECT_EQ(prompter.questions,
              QStringList{"Send 2 sounds into the Mopho's memory, A001 to A003?"});
    EXPECT_EQ(Memo().last(), "Sent 2 sounds.");

    const auto received = Received();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].substr(0, 17), "F0 01 25 02 00 00");
    EXPECT_EQ(received[1].substr(0, 17), "F0 01 25 02 00 02");
    EXPECT_EQ(received[0].size(), 300u * 3 - 1);
    EXPECT_EQ(GetSoundName(instrument->Program(2)), "Third           ");
    EXPECT_FALSE(library.IsChanged(0));
    EXPECT_FALSE(library.IsChanged(2));
    EXPECT_EQ(window->List().ShownStatus(2), "");
    EXPECT_TRUE(labels.contains("Sending 0"));
    EXPECT_TRUE(labels.contains("Sending 2"));
    EXPECT_FALSE(window->WaitBox()->isVisible());
    EXPECT_FALSE(window->Instrument().Exchange().Waiting());
}

TEST_F(LibraryCommandsTest, CloseInTheWaitBoxStopsTheSending) {
    window->List().SelectSlots({0, 1, 2});
    window->Instrument().SetSendDelay(300);
    QTimer::singleShot(100, [this] { window->WaitBox()->Button1->click(); });
    prompter.answers = {Prompter::Answer::Yes};
    Named<QAction>(*window, "actSendSelectedSounds")->trigger();
    EXPECT_EQ(Received().size(), 1u);
    EXPECT_EQ(Memo().last(), "Sending stopped after 1 of 3 sounds.");
    EXPECT_FALSE(window->Instrument().Exchange().Waiting());
}

TEST_F(LibraryCommandsTest, ProgramChangesStayAtTheLastRowAndCanSendTheSound) {
    window->Library().SetCurrentSlot(383);
    Named<QPushButton>(*window, "btnPrgUp")->click();
    EXPECT_EQ(Received(), (std::vector<std::string>{"B0 20 02", "C0 7F"}));
    EXPECT_EQ(window->List().CurrentRow(), 383);

    window->Settings().SendToEditBuffer = QStringLiteral("1");
    Named<QPushButton>(*window, "btnPrgDown")->click();
    const auto received = Received();
    ASSERT_EQ(received.size(), 3u);
    EXPECT_EQ(received[0], "B0 20 02");
    EXPECT_EQ(received[1], "C0 7E");
    EXPECT_EQ(received[2].size(), 298u * 3 - 1);
    EXPECT_EQ(received[2].substr(0, 11), "F0 01 25 03");
    EXPECT_EQ(window->Library().CurrentSlot(), 382);

    // Keypad + and - step too.
    QTest::keyClick(Named<QTableView>(*window, "ListView1"), Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(window->Library().CurrentSlot(), 383);
}

TEST_F(LibraryCommandsTest, RenameStoresThePaddedNameAndMarksTheRow) {
    window->List().SetCurrentRow(5);
    WhenShown<TfrmPatchEditSimple>([](TfrmPatchEditSimple& dialog) {
        dialog.findChild<QLineEdit*>("edtName")->setText(QStringLiteral("Bass"));
        dialog.accept();
    });
    window->RenameCurrentRow();
    EXPECT_EQ(window->Library().GetSoundName(5), "Bass            ");
    EXPECT_TRUE(window->Library().IsChanged(5));
    EXPECT_EQ(window->List().ShownName(5).trimmed(), "Bass");
}

TEST_F(LibraryCommandsTest, KeypadWithCtrlMovesTheSelection) {
    TSoundLibrary& library = window->Library();
    library.SetSoundName(10, "Ten");
    window->List().SetCurrentRow(10);
    QTest::keyClick(Named<QTableView>(*window, "ListView1"), Qt::Key_Minus,
                    Qt::KeypadModifier | Qt::ControlModifier);
    EXPECT_EQ(library.GetSoundName(9), "Ten             ");
    QTest::keyClick(Named<QTableView>(*window, "ListView1"), Qt::Key_Plus,
                    Qt::KeypadModifier | Qt::ControlModifier);
    EXPECT_EQ(library.GetSoundName(10), "Ten             ");
    EXPECT_TRUE(Received().empty());
}

TEST_F(LibraryCommandsTest, SendingIsNotGivenUpForSilence) {
    // No reply comes while sounds go out; the wait box's ticks must not stop the send.
    std::vector<int> slots(12);
    for (int i = 0; i < 12; ++i)
        slots[static_cast<std::size_t>(i)] = i;
    window->List().SelectSlots(slots);
    window->Instrument().SetSendDelay(30);
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        ++ticks;
        window->WaitBox()->Timer1Timer(); // the real timer's ticks, faster
    });
    ticker.start(5);
    prompter.answers = {Prompter::Answer::Yes};
    Named<QAction>(*window, "actSendSelectedSounds")->trigger();
    ticker.stop();
    ASSERT_GT(ticks, 10);
    EXPECT_EQ(Received().size(), 12u);
    EXPECT_EQ(Memo().last(), "Sent 12 sounds.");
    EXPECT_FALSE(window->WaitBox()->isVisible());
}

TEST_F(LibraryCommandsTest, SendingMoreThanOneSoundAsksOnceAndOneSoundGoesAtOnce) {
    QTemporaryDir dir;
    // "Save to file Sound Banks" leaves every row selected; Enter then asks.
    chooser.paths = {dir.filePath("all.syx")};
    Named<QAction>(*window, "actSaveBankFile")->trigger();
    EXPECT_EQ(Memo().last(), "Saved 384 sounds to all.syx.");
    QTest::keyClick(Named<QTableView>(*window, "ListView1"), Qt::Key_Return);
    EXPECT_EQ(prompter.questions,
              QStringList{"Send 384 sounds into the Mopho's memory, A001 to C128?"});
    EXPECT_TRUE(Received().empty()) << "answered No";

    window->List().SelectSlots({Slots::Of(1, 9)});
    QTest::keyClick(Named<QTableView>(*window, "ListView1"), Qt::Key_Return);
    EXPECT_EQ(prompter.questions.size(), 1) << "no question for one sound";
    const auto received = Received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].substr(0, 17), "F0 01 25 02 01 09");
    EXPECT_EQ(Memo().last(), "Sent 1 sound.");
}

// A platform whose outputs refuse every system-exclusive message: its server is gone.
class RefusingMidiService : public FakeMidiService {
public:
    RefusingMidiService() {
        inputNames = {"Mopho"};
        outputNames = {"Mopho"};
    }
    MidiError SendLong(Handle, std::span<const std::uint8_t>) override {
        return MidiError::ServerStopped;
    }
};

TEST(LibraryCommandsOnARefusingOutput, FailuresAreReportedNotSuccess) {
    QTemporaryDir dir;
    const QString path = dir.filePath("dump.syx");
    WriteAll(path, QByteArray("\xF0\x7E\x7F\x06\x01\xF7", 6));
    RefusingMidiService midi;
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    chooser.paths = {path};
    TfrmMain window(&prompter, &chooser, &midi);
    Named<QAction>(window, "actSendSysExFile")->trigger();
    EXPECT_EQ(MemoLines(window).last(),
              "Nothing sent from " + QDir::toNativeSeparators(path) + ": the MIDI server stopped.");

    window.Library().MarkChanged(0, true);
    window.Library().MarkChanged(1, true);
    window.List().SelectSlots({0, 1});
    prompter.answers = {Prompter::Answer::Yes};
    Named<QAction>(window, "actSendSelectedSounds")->trigger();
    EXPECT_EQ(MemoLines(window).last(), "Sending stopped after 0 of 2 sounds: A001 did not go "
                                        "out (the MIDI server stopped).");
    EXPECT_TRUE(window.Library().IsChanged(0)) << "not sent, so still changed";
}

// A platform on which the start-up's device listing fails.
class BrokenMidiService : public FakeMidiService {
public:
    int InputDeviceCount() override { throw std::runtime_error("No MIDI server."); }
};

TEST(LibraryCommandsAfterAFailedStartUp, EveryCommandSaysWhyNothingHappened) {
    BrokenMidiService midi;
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    TfrmMain window(&prompter, &chooser, &midi);
    ASSERT_TRUE(MemoLines(window).contains("No MIDI server."));
    window.List().SelectSlots({0, 1});
    const struct {
        std::function<void()> run;
        QString line;
    } commands[] = {
        {[&] { Named<QAction>(window, "actSendSelectedSounds")->trigger(); }, "Nothing sent"},
        {[&] { QTest::keyClick(Named<QTableView>(window, "ListView1"), Qt::Key_Return); },
         "Nothing sent"},
        {[&] { Named<QAction>(window, "actReadCurrentSound")->trigger(); }, "Nothing read"},
        {[&] { Named<QAction>(window, "actReadAllBanks")->trigger(); }, "Nothing read"},
        {[&] { Named<QAction>(window, "actDeviceVersion")->trigger(); }, "Nothing asked"},
        {[&] { Named<QAction>(window, "actPanic")->trigger(); }, "Nothing sent"},
        {[&] { Named<QPushButton>(window, "btnPrgUp")->click(); }, "No program change"},
    };
    for (const auto& command : commands) {
        window.List().SelectSlots({0, 1});
        command.run();
        EXPECT_EQ(MemoLines(window).last(),
                  command.line + ": no MIDI output is open (System, Midi Settings).");
    }
    EXPECT_TRUE(midi.sent.empty());
    EXPECT_TRUE(prompter.questions.isEmpty());
}

// The instrument's input fed by hand, so a reply can come late.
class LateReplyTest : public ::testing::Test {
protected:
    LateReplyTest() {
        midi.inputNames = {"Mopho"};
        midi.outputNames = {"Mopho"};
        window = std::make_unique<TfrmMain>(&prompter, &chooser, &midi);
    }
    void ReplyArrives(int slot) {
        TSoundRecord sound = VirtualMopho::FactorySound(3);
        SetSoundName(sound, "Late reply");
        midi.Feed(0, ProgramDumpMessage(sound, Slots::BankOf(slot), Slots::ProgramOf(slot)));
        QCoreApplication::processEvents();
    }

    FakeMidiService midi;
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    std::unique_ptr<TfrmMain> window;
};

TEST_F(LateReplyTest, AReplyAfterCloseIsNotStoredEvenWhenTheWindowIsActiveAgain) {
    window->show();
    window->List().SetCurrentRow(5);
    QTimer::singleShot(50, [this] { window->WaitBox()->Button1->click(); });
    Named<QAction>(*window, "actReadCurrentSound")->trigger();
    ASSERT_EQ(midi.sent.size(), 1u) << "the request went out";

    // The user comes back to the window; the reply arrives then.
    window->activateWindow();
    QEvent activation(QEvent::ActivationChange);
    QApplication::sendEvent(window.get(), &activation);
    QCoreApplication::processEvents();
    ReplyArrives(5);
    EXPECT_EQ(window->Library().GetSoundName(5), "empty           ");

    // Whatever makes the input ready again, the abandoned request is no longer awaited.
    window->Ports().ListenForSysEx();
    ReplyArrives(5);
    EXPECT_EQ(window->Library().GetSoundName(5), "empty           ");
    const QStringList lines = MemoLines(*window);
    EXPECT_EQ(lines.mid(lines.size() - 2),
              (QStringList{"Read 0 of 1 sound.",
                           "Not received from the instrument: A006. These rows were left as "
                           "they were."}));
    EXPECT_TRUE(prompter.messages.isEmpty()) << "the user stopped the read";
}

TEST_F(LateReplyTest, AMessagePassedOverDoesNotEndTheWaitForTheRealReply) {
    window->show();
    window->List().SetCurrentRow(5);
    // Another maker's message comes first; the real reply only after the wait
    // box's next tick, which would have closed the wait had the first counted.
    QTimer::singleShot(50, [this] {
        std::vector<std::uint8_t> foreign(1000, 0x00);
        foreign.front() = 0xF0;
        foreign[1] = 0x43;
        foreign.back() = 0xF7;
        midi.Feed(0, foreign);
    });
    QTimer::singleShot(1300, [this] { ReplyArrives(5); });
    // The trigger returns when the wait box has closed.
    Named<QAction>(*window, "actReadCurrentSound")->trigger();
    EXPECT_EQ(window->Library().GetSoundName(5), "Late reply      ");
    EXPECT_EQ(MemoLines(*window).last(), "Read 1 sound.");
}

// An instrument whose replies reach the program at uneven times: the reply
// to one request comes while the program is still busy sending it, the others
// a moment later, as replies come over a busy MIDI server.
class UnevenReplies : public FakeMidiService {
public:
    explicit UnevenReplies(int quickSlot) : quickSlot_(quickSlot) {
        inputNames = {"Mopho"};
        outputNames = {"Mopho"};
    }
    MidiError SendLong(Handle handle, std::span<const std::uint8_t> bytes) override {
        FakeMidiService::SendLong(handle, bytes);
        auto replies = instrument_.Receive(bytes);
        const bool quick = bytes.size() == 7 && Slots::Of(bytes[4], bytes[5]) == quickSlot_;
        for (auto& reply : replies) {
            if (quick)
                Feed(0, reply);
            else
                QTimer::singleShot(0, [this, reply] { Feed(0, reply); });
        }
        return MidiError::None;
    }
    VirtualMopho& Instrument() { return instrument_; }

private:
    VirtualMopho instrument_;
    int quickSlot_;
};

TEST(ReadWithUnevenReplies, EverySoundArrivesWhenRepliesOvertakeEachOther) {
    // The second last reply arrives before the program is done with the one before.
    UnevenReplies midi(Slots::Count - 2);
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    TfrmMain window(&prompter, &chooser, &midi);
    Named<QAction>(window, "actReadAllBanks")->trigger();
    EXPECT_EQ(MemoLines(window).last(), "Read 384 sounds.");
    for (int slot = 0; slot < Slots::Count; ++slot)
        ASSERT_EQ(window.Library().Sound(slot), midi.Instrument().Program(slot))
            << Slots::Caption(slot);
}

} // namespace
