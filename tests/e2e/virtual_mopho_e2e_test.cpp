// tonewright-virtual-mopho over a real JACK server: requests, dumps, saving
// on exit and faults, seen through real MIDI ports.

#include "e2e_fixture.h"

#include <algorithm>
#include <thread>

namespace {

using namespace e2e;

TEST_F(VirtualMophoOverJack, BackupEqualsTheBankAndSentDumpsAreKept) {
    const Bytes bank = TestBank();
    const fs::path bankFile = folder_ / "bank.syx";
    WriteFile(bankFile, bank);
    const fs::path logFile = folder_ / "received.log";
    const fs::path saveFile = folder_ / "saved.syx";

    auto instrument = Start({"--bank", bankFile, "--log", logFile, "--save", saveFile});
    auto link = Connect();

    // Every program, one request after another, as the librarian reads them.
    for (int slot = 0; slot < Slots::Count; ++slot) {
        const auto reply =
            link->Ask(ProgramDumpRequestMessage(Slots::BankOf(slot), Slots::ProgramOf(slot)));
        ASSERT_TRUE(reply) << "no reply for " << Slots::Caption(slot);
        // 300 bytes sent as one message arrive as one message.
        ASSERT_EQ(*reply, Block(bank, slot)) << Slots::Caption(slot);
    }

    TSoundRecord sound = VirtualMopho::FactorySound(5);
    SetSoundName(sound, "Sent over JACK");
    const Bytes dump = ProgramDumpMessage(sound, 1, 2);
    link->Send(dump);
    EXPECT_EQ(link->Ask(ProgramDumpRequestMessage(1, 2)), dump);
    EXPECT_EQ(instrument->Stop(), 0);

    Bytes expected = bank;
    std::copy(dump.begin(), dump.end(), expected.begin() + Slots::Of(1, 2) * 300);
    EXPECT_EQ(ReadFile(saveFile), expected);

    const auto log = ReadLines(logFile);
    ASSERT_GE(log.size(), 386u);
    EXPECT_EQ(log[log.size() - 386], "F0 01 25 05 00 00 F7");
    EXPECT_EQ(log[log.size() - 2], HexLine(dump));
    EXPECT_EQ(log.back(), "F0 01 25 05 01 02 F7");
}

TEST_F(VirtualMophoOverJack, ClockBytesArriveInsideASplitReply) {
    auto instrument = Start({"--fault", "clock-split"});
    auto link = std::make_unique<JackLink>("tw-tester-" + std::to_string(getpid()), name_);
    std::optional<Bytes> reply;
    for (int attempt = 0; attempt < 20 && !reply; ++attempt)
        reply = link->Ask(ProgramDumpRequestMessage(0, 5), 250ms);
    ASSERT_TRUE(reply);
    Bytes received = *reply;
    EXPECT_EQ(received.front(), 0xF0);
    EXPECT_EQ(received.back(), 0xF7);
    EXPECT_EQ(std::count(received.begin(), received.end(), 0xF8), 4);
    received.erase(std::remove(received.begin(), received.end(), 0xF8), received.end());
    EXPECT_EQ(received, ProgramDumpMessage(VirtualMopho::FactorySound(5), 0, 5));
    EXPECT_EQ(instrument->Stop(), 0);
}

TEST_F(VirtualMophoOverJack, DinTimingAndTruncatedReplies) {
    const fs::path logFile = folder_ / "received.log";
    auto instrument = Start({"--din", "--fault", "truncated", "--log", logFile});
    auto link = std::make_unique<JackLink>("tw-tester-" + std::to_string(getpid()), name_);
    std::this_thread::sleep_for(300ms);
    // The request arrives, but its truncated reply never completes a message.
    link->Send(ProgramDumpRequestMessage(0, 0));
    EXPECT_FALSE(link->Next(700ms));
    EXPECT_EQ(instrument->Stop(), 0);
    EXPECT_EQ(ReadLines(logFile), std::vector<std::string>{"F0 01 25 05 00 00 F7"});

    instrument = Start({"--din"});
    link = Connect();
    const auto start = std::chrono::steady_clock::now();
    const auto reply = link->Ask(ProgramDumpRequestMessage(0, 0));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    ASSERT_TRUE(reply);
    EXPECT_GE(elapsed, VirtualMopho::WireTime(7 + 300));
}

TEST_F(VirtualMophoOverJack, StopsAtOnceUnderDinTimingKeepingWhatArrived) {
    const Bytes bank = TestBank();
    WriteFile(folder_ / "bank.syx", bank);
    const fs::path saved = folder_ / "saved.syx";
    auto instrument = Start({"--din", "--save", saved.string()});
    // The bank is in the instrument's queue long before a DIN cable would
    // have carried it (37 s); SIGTERM ends it without that wait.
    const ProgramRun run = RunProgram(
        TW_SYX_TOOL, {"send", "--out", name_, (folder_ / "bank.syx").string()}, folder_.string());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(instrument->Stop(), 0) << "it had to be killed";
    EXPECT_EQ(ReadFile(saved), bank);
}

TEST_F(VirtualMophoOverJack, OptionsThatEndItAtOnce) {
    const fs::path unwritable = folder_ / "no such folder" / "bank.syx";
    const ProgramRun save =
        RunProgram(TW_VIRTUAL_MOPHO, {"--save", unwritable.string()}, folder_.string());
    EXPECT_EQ(save.status, 2);
    EXPECT_NE(save.err.find("cannot write the bank file " + unwritable.string()), std::string::npos)
        << save.err;

    const ProgramRun version = RunProgram(TW_VIRTUAL_MOPHO, {"--version"}, folder_.string());
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.starts_with("tonewright-virtual-mopho ")) << version.out;

    const ProgramRun help = RunProgram(TW_VIRTUAL_MOPHO, {"--help"}, folder_.string());
    for (const char* status : {"\n  0  ", "\n  1  ", "\n  2  "})
        EXPECT_NE(help.out.find(status), std::string::npos) << status;
}

} // namespace
