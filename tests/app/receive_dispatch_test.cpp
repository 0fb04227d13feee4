// The receive dispatch, fed by hand through a fake device input.

#include "receive_dispatch.h"

#include "midi/fake_midi_service.h"
#include "midi_ports.h"
#include "sound_library.h"

#include "virtual_mopho.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

class DispatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform.inputNames = {"Mopho"};
        platform.outputNames = {"Mopho"};
        ports.EnumerateMidiDevices();
        ASSERT_TRUE(ports.OpenMidiOut());
        ports.OpenMidiIns();
        // The program hands replies over with a queued call; here they are
        // dispatched at once.
        ports.OnReplyReceived = [this] { dispatcher.DispatchReply(); };
        library.InitEmptyBanks();
        library.SlotCount = Slots::Count;
    }

    // Pushes the locations as the read commands do and sends the first request.
    void StartRead(const std::vector<int>& slots) {
        ports.Requests.ClearRequests();
        for (auto slot = slots.rbegin(); slot != slots.rend(); ++slot) {
            ports.Requests.PushRequestByte(static_cast<std::uint8_t>(Slots::BankOf(*slot)));
            ports.Requests.PushRequestByte(static_cast<std::uint8_t>(Slots::ProgramOf(*slot)));
        }
        ports.ExpectedReply = ReplyKind::ProgramDump;
        const int program = ports.Requests.PopRequestByte();
        const int bank = ports.Requests.PopRequestByte();
        RequestProgramDump(ports, bank, program);
        ports.StartReceive(300);
    }

    // Answers every request the fake output got since the last call.
    void AnswerRequests() {
        for (; answered < platform.sent.size(); ++answered)
            for (const auto& reply : instrument.Receive(platform.sent[answered]))
                platform.Feed(0, reply);
    }

    FakeMidiService platform;
    MidiPorts ports{platform, {}};
    TSoundLibrary library;
    VirtualMopho instrument;
    QStringList memo;
    QString waitText;
    std::vector<int> refreshed;
    ReceiveDispatcher dispatcher{library,
                                 ports,
                                 {[this](const QString& line) { memo << line; },
                                  [this](const QString& text) { waitText = text; },
                                  [this](int slot) { refreshed.push_back(slot); },
                                  {}}};
    std::size_t answered = 0;
};

TEST_F(DispatchTest, ReadChainRequestsEachProgramAfterThePreviousArrived) {
    std::vector<int> bankB;
    for (int program = 0; program < 128; ++program)
        bankB.push_back(Slots::Of(1, program));
    library.SlotChanged[Slots::Of(1, 5)] = 1;
    StartRead(bankB);
    // One request at a time: each answer sends the next request.
    while (answered < platform.sent.size())
        AnswerRequests();

    ASSERT_EQ(memo.size(), 128);
    EXPECT_EQ(memo.front(), "DSIM Bank: 2 Sound:0");
    EXPECT_EQ(memo[17], "DSIM Bank: 2 Sound:17");
    EXPECT_EQ(memo.back(), "DSIM Bank: 2 Sound:127");
    EXPECT_EQ(waitText, "Received 128 sound.");
    EXPECT_EQ(platform.sent.size(), 128u);
    EXPECT_EQ(library.GetSoundName(Slots::Of(1, 5)), GetSoundName(instrument.Program(133)));
    EXPECT_FALSE(library.IsChanged(Slots::Of(1, 5)));
    EXPECT_EQ(refreshed.size(), 128u);
    // Re-armed after the last reply, as after every program dump.
    EXPECT_TRUE(ports.ReceiveArmed);
    EXPECT_EQ(ports.Requests.RequestCount(), 0);
}

TEST_F(DispatchTest, Bank127StoresIntoTheCurrentSlotWithItsLocation) {
    library.CurrentSlot = 300;
    TSoundRecord sound = VirtualMopho::FactorySound(2);
    SetSoundName(sound, "Edit buffer");
    ports.ExpectedReply = ReplyKind::ProgramDump;
    ports.StartReceive(300);
    platform.Feed(0, ProgramDumpMessage(sound, 127, 0));
    EXPECT_EQ(library.GetSoundName(300), "Edit buffer     ");
    EXPECT_EQ(library.SoundBanks[300][SoundLayout::BankByte], 2);
    EXPECT_EQ(library.SoundBanks[300][SoundLayout::ProgramByte], 300 % 128);
    EXPECT_EQ(memo, QStringList{"DSIM Bank: 128 Sound:0"});
}

TEST_F(DispatchTest, DumpsThatNameNoSlotOrHaveAnotherLengthAreNotStored) {
    const auto before = library.SoundBanks;
    StartRead({0, 1});
    // Instead of A001: a program of a bank the library does not have. It is
    // reported and A002 is asked for.
    platform.Feed(0, ProgramDumpMessage(VirtualMopho::FactorySound(9), 5, 3));
    EXPECT_EQ(memo.value(0),
              "Not stored: a sound for bank 6, program 3 has no place in the library.");
    EXPECT_EQ(platform.sent.size(), 2u);
    // Instead of A002: a globals dump. Its 25 bytes are never read as a sound.
    platform.Feed(0, instrument.Receive(GlobalsRequestMessage()).front());
    EXPECT_EQ(memo.value(1), "Ignored a reply of 25 bytes: a program dump has 300.");
    EXPECT_EQ(library.SoundBanks, before);
    EXPECT_EQ(waitText, "");
    // A late real reply is still taken: the input stays armed for program dumps.
    platform.Feed(0, instrument.Receive(platform.sent[1]).front());
    EXPECT_EQ(memo.value(2), "DSIM Bank: 1 Sound:1");
    EXPECT_EQ(library.SoundBanks[0], before[0]);
}

TEST_F(DispatchTest, VersionReplyIsLoggedAndEndsTheExchange) {
    ports.ExpectedReply = ReplyKind::DeviceVersion;
    ports.StartReceive(112);
    platform.Feed(
        0, {0xF0, 0x7E, 0x7F, 0x06, 0x02, 0x01, 0x25, 0x01, 0x00, 0x00, 0x13, 0x00, 0x00, 0xF7});
    EXPECT_EQ(memo, QStringList{"Software version: 3.1"});
    EXPECT_FALSE(ports.ReceiveArmed);
    EXPECT_EQ(dispatcher.VersionReply[10], 0x13);
    // Not armed: a second reply changes nothing.
    ports.ArmReceive(112);
    ports.ReceiveArmed = false;
    platform.Feed(
        0, {0xF0, 0x7E, 0x7F, 0x06, 0x02, 0x01, 0x25, 0x01, 0x00, 0x00, 0x25, 0x00, 0x00, 0xF7});
    EXPECT_EQ(memo.size(), 1);
}

TEST_F(DispatchTest, EditBufferGoesToTheEditorOnlyWhileItsRequestIsActive) {
    TSoundRecord sound = VirtualMopho::FactorySound(4);
    SetSoundName(sound, "Current");
    ports.ExpectedReply = ReplyKind::EditBufferForEditor;
    ports.StartReceive(300);
    platform.Feed(0, EditBufferDumpMessage(sound));
    EXPECT_TRUE(memo.isEmpty());
    EXPECT_EQ(dispatcher.CurrentSoundReady, SoundHandOver::None);

    dispatcher.EditRequestActive = true;
    ports.StartReceive(300);
    platform.Feed(0, EditBufferDumpMessage(sound));
    EXPECT_EQ(memo, QStringList{"Received current sound."});
    EXPECT_EQ(waitText, "Received current sound.");
    EXPECT_EQ(dispatcher.CurrentSoundReady, SoundHandOver::Editor);
    EXPECT_EQ(GetSoundName(dispatcher.CurrentSound), "Current         ");
    EXPECT_FALSE(ports.ReceiveArmed);

    // The locker's request needs no active flag.
    dispatcher.EditRequestActive = false;
    ports.ExpectedReply = ReplyKind::EditBufferForLocker;
    ports.StartReceive(300);
    platform.Feed(0, EditBufferDumpMessage(sound));
    EXPECT_EQ(dispatcher.CurrentSoundReady, SoundHandOver::Locker);
}

} // namespace
