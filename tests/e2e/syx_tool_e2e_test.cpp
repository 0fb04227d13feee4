// tonewright-syx backing up and restoring tonewright-virtual-mopho over a
// real JACK server, as a musician would from a terminal.

#include "e2e_fixture.h"

#include <algorithm>

namespace {

using namespace e2e;

class SyxToolOverJack : public VirtualMophoOverJack {
protected:
    ProgramRun Syx(const std::vector<std::string>& arguments) {
        return RunProgram(TW_SYX_TOOL, arguments, folder_.string());
    }
};

TEST_F(SyxToolOverJack, BackupEqualsTheBankTheInstrumentHolds) {
    const Bytes bank = TestBank();
    WriteFile(folder_ / "bank.syx", bank);
    auto instrument = Start({"--bank", (folder_ / "bank.syx").string()});

    const ProgramRun ports = Syx({"ports"});
    EXPECT_EQ(ports.status, 0);
    // The instrument's ports, named as the port dialog shows them, and the built-in one.
    EXPECT_NE(ports.out.find("in\t" + name_), std::string::npos) << ports.out;
    EXPECT_NE(ports.out.find("out\t" + name_), std::string::npos) << ports.out;
    EXPECT_NE(ports.out.find("out\tTonewright Virtual Mopho\n"), std::string::npos);

    const fs::path backup = folder_ / "backup.syx";
    const ProgramRun run = Syx({"backup", "--in", name_, "--out", name_, backup.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFile(backup), bank);
    EXPECT_EQ(instrument->Stop(), 0);
}

TEST_F(SyxToolOverJack, SentFileEndsUpInTheInstrument) {
    const Bytes bank = TestBank();
    WriteFile(folder_ / "bank.syx", bank);
    const fs::path saved = folder_ / "saved.syx";
    auto instrument = Start({"--save", saved.string()});

    // 384 program dumps back to back: more than JACK carries in one cycle.
    const ProgramRun run = Syx({"send", "--out", name_, (folder_ / "bank.syx").string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(instrument->Stop(), 0);
    EXPECT_EQ(ReadFile(saved), bank);
}

// A silent instrument (or a wrong in port) stops both within seconds, naming the port.
TEST_F(SyxToolOverJack, SilentInstrumentStopsBackupAndRestore) {
    auto instrument = Start({"--fault", "no-answer"});
    const fs::path backup = folder_ / "backup.syx";
    const Bytes old = TestBank();
    WriteFile(backup, old);

    for (const char* command : {"backup", "restore"}) {
        const ProgramRun run = Syx({command, "--in", name_, "--out", name_, backup.string()});
        EXPECT_EQ(run.status, 2) << command;
        EXPECT_NE(run.err.find(name_ + "\" to 3 programs in a row"), std::string::npos) << run.err;
    }
    EXPECT_EQ(ReadFile(backup), old);
    EXPECT_EQ(instrument->Stop(), 0);
}

// A few programs of the test bank, spread over the three banks.
Bytes SmallBackup(const Bytes& bank) {
    Bytes file;
    for (const int slot : {0, 200, 383}) {
        const Bytes block = Block(bank, slot);
        file.insert(file.end(), block.begin(), block.end());
    }
    return file;
}

class RestoreOverJack : public SyxToolOverJack {
protected:
    // Restores the small backup into an instrument started with `arguments`;
    // afterwards Saved() holds everything the instrument stored.
    ProgramRun Restore(std::vector<std::string> arguments) {
        WriteFile(folder_ / "backup.syx", SmallBackup(bank_));
        arguments.insert(arguments.end(), {"--save", Saved().string()});
        auto instrument = Start(arguments);
        ProgramRun run =
            Syx({"restore", "--in", name_, "--out", name_, (folder_ / "backup.syx").string()});
        EXPECT_EQ(instrument->Stop(), 0);
        return run;
    }
    void ExpectRestored() {
        const Bytes saved = ReadFile(Saved());
        ASSERT_EQ(saved.size(), bank_.size());
        for (const int slot : {0, 200, 383})
            EXPECT_EQ(Block(saved, slot), Block(bank_, slot)) << Slots::Caption(slot);
    }

    fs::path Saved() const { return folder_ / "saved.syx"; }

    const Bytes bank_ = TestBank();
};

TEST_F(RestoreOverJack, EveryProgramReadsBackEqual) {
    const ProgramRun run = Restore({});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find("restored 3 programs"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("again"), std::string::npos) << run.out;
    ExpectRestored();
}

TEST_F(RestoreOverJack, ADroppedWriteIsWrittenAgain) {
    const ProgramRun run = Restore({"--fault", "drop-first-write"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("wrote 3 programs again"), std::string::npos) << run.out;
    ExpectRestored();
}

TEST_F(RestoreOverJack, AProgramThatNeverReadsBackEqualIsListed) {
    const ProgramRun run = Restore({"--fault", "corrupt-writes"});
    EXPECT_EQ(run.status, 1);
    for (const std::string slot : {"A001", "B073", "C128"})
        EXPECT_NE(run.err.find(slot + "\tBackup " + slot + "\tFilter Frequency"), std::string::npos)
            << run.err;
    EXPECT_NE(run.err.find("3 of 3 programs did not read back equal"), std::string::npos)
        << run.err;
}

// All 384 programs at the instrument's pace, the first write of each lost:
// about four minutes.
TEST_F(RestoreOverJack, AWholeBankAtRealPace) {
    WriteFile(folder_ / "all.syx", bank_);
    auto instrument = Start({"--fault", "drop-first-write", "--save", Saved().string()});
    const ProgramRun run =
        Syx({"restore", "--in", name_, "--out", name_, (folder_ / "all.syx").string()});
    EXPECT_EQ(instrument->Stop(), 0);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("wrote 384 programs again"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("restored 384 programs"), std::string::npos) << run.out;
    EXPECT_EQ(ReadFile(Saved()), bank_);
}

TEST_F(SyxToolOverJack, UnknownPortListsTheCandidates) {
    auto instrument = Start({});
    const ProgramRun run = Syx({"send", "--out", "no such port", "x.syx"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("no out port is named \"no such port\""), std::string::npos);
    EXPECT_NE(run.err.find(name_), std::string::npos) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
    EXPECT_EQ(instrument->Stop(), 0);
}

} // namespace
