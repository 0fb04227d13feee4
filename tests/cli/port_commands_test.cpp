// Port choice and backup against the built-in instrument, in-process.

#include "port_commands.h"

#include "bank_file.h"
#include "builtin_instrument_service.h"
#include "file_io.h"
#include "sysex_codec.h"
#include "sysex_messages.h"
#include "virtual_mopho.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <sstream>

namespace {

using namespace std::chrono_literals;
using Names = std::vector<std::string>;

TEST(ChoosePort, ExactOrUniquePartialNamesChooseAPort) {
    const Names names{"USB MIDI 1", "USB MIDI 10", "Tonewright Virtual Mopho"};
    EXPECT_EQ(ChoosePort(PortDirection::Out, names, "Virtual").device, 2);
    // An exact name is chosen although a longer name contains it.
    EXPECT_EQ(ChoosePort(PortDirection::Out, names, "USB MIDI 1").device, 0);

    const PortChoice ambiguous = ChoosePort(PortDirection::In, names, "USB");
    EXPECT_EQ(ambiguous.device, -1);
    EXPECT_EQ(ambiguous.error,
              "\"USB\" names more than one in port: \"USB MIDI 1\", \"USB MIDI 10\"");

    const PortChoice unknown = ChoosePort(PortDirection::Out, names, "usb");
    EXPECT_EQ(unknown.device, -1); // names are matched with their letter case
    EXPECT_NE(unknown.error.find("Tonewright Virtual Mopho"), std::string::npos);
    EXPECT_EQ(ChoosePort(PortDirection::Out, {}, "x").error,
              "no out port is named \"x\"; out ports: none");
    EXPECT_EQ(ChoosePort(PortDirection::Out, names, "").device, -1);
}

class BackupTest : public ::testing::Test {
protected:
    // The built-in instrument, with a say in what it answers.
    void StartInstrument(
        std::function<VirtualMopho::Replies(std::span<const std::uint8_t>, VirtualMopho&)> answer) {
        auto instrument = std::make_shared<VirtualMopho>();
        instrument_ = instrument;
        midi_ = std::make_unique<BuiltInInstrumentService>(
            nullptr, [instrument, answer](std::span<const std::uint8_t> message) {
                return answer(message, *instrument);
            });
    }
    int Backup(const std::string& file) {
        PortCommandOptions options;
        options.replyTimeout = 100ms;
        return BackupPrograms(*midi_, "Virtual", "Virtual", file, out_, err_, options);
    }
    std::string Path(const char* name) const { return folder_.filePath(name).toStdString(); }

    QTemporaryDir folder_;
    std::shared_ptr<VirtualMopho> instrument_;
    std::unique_ptr<BuiltInInstrumentService> midi_;
    std::ostringstream out_;
    std::ostringstream err_;
};

bool AsksFor(std::span<const std::uint8_t> message, int slot) {
    return message.size() == 7 && message[3] == 0x05 && message[4] == Slots::BankOf(slot) &&
           message[5] == Slots::ProgramOf(slot);
}

TEST_F(BackupTest, WritesTheInstrumentsProgramsAsTheySentThem) {
    bool wrongFirst = true;
    StartInstrument([&wrongFirst](auto message, VirtualMopho& instrument) {
        // The first answer for A008 is the dump of another program: not taken.
        if (AsksFor(message, 7) && wrongFirst) {
            wrongFirst = false;
            return VirtualMopho::Replies{ProgramDumpMessage(VirtualMopho::FactorySound(0), 0, 0)};
        }
        return instrument.Receive(message);
    });
    ASSERT_EQ(Backup(Path("bank.syx")), 0) << err_.str();
    EXPECT_FALSE(wrongFirst);
    const FileBytes written = ReadWholeFile(Path("bank.syx"));
    EXPECT_EQ(written.bytes, instrument_->BankBytes());
    EXPECT_EQ(out_.str(), "wrote 384 programs to " + Path("bank.syx") + "\n");
}

TEST_F(BackupTest, AProgramThatNeverComesIsAskedForTwiceAndNothingIsWritten) {
    int asked = 0;
    StartInstrument([&asked](auto message, VirtualMopho& instrument) {
        if (AsksFor(message, Slots::Of(1, 9))) {
            ++asked;
            return VirtualMopho::Replies{};
        }
        return instrument.Receive(message);
    });
    const std::vector<std::uint8_t> old{0xF0, 0xF7};
    ASSERT_FALSE(WriteWholeFile(Path("bank.syx"), old));
    EXPECT_EQ(Backup(Path("bank.syx")), 1);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(err_.str(), "tonewright-syx: no reply for program B010 (bank 1, program 9); "
                          "nothing was written\n");
    EXPECT_EQ(ReadWholeFile(Path("bank.syx")).bytes, old);
}

TEST_F(BackupTest, SaysWhatCameInsteadOfTheReply) {
    // A globals dump as the instrument sends it: 10 parameters as nibble pairs.
    std::vector<std::uint8_t> globals{0xF0, 0x01, 0x25, 0x0F};
    globals.resize(24, 0x00);
    globals.push_back(0xF7);
    StartInstrument([&globals](auto message, VirtualMopho& instrument) {
        if (AsksFor(message, Slots::Of(1, 9)))
            return VirtualMopho::Replies{globals};
        return instrument.Receive(message);
    });
    EXPECT_EQ(Backup(Path("bank.syx")), 1);
    EXPECT_EQ(err_.str(), "tonewright-syx: a 25-byte globals dump came instead of program B010 "
                          "(bank 1, program 9); nothing was written\n");
}

TEST_F(BackupTest, ProgressStaysOnOneLine) {
    StartInstrument(
        [](auto message, VirtualMopho& instrument) { return instrument.Receive(message); });
    PortCommandOptions options{100ms, true};
    ASSERT_EQ(BackupPrograms(*midi_, "Virtual", "Virtual", Path("bank.syx"), out_, err_, options),
              0);
    const std::string shown = err_.str();
    EXPECT_TRUE(shown.starts_with("\rA001 of 384\rA002 of 384")) << shown.substr(0, 40);
    EXPECT_NE(shown.find("\rC128 of 384\r"), std::string::npos);
    EXPECT_EQ(shown.find('\n'), std::string::npos);
    EXPECT_TRUE(shown.ends_with("\r")) << "the line is cleared at the end";
}

TEST_F(BackupTest, AnsweredOnTheSecondAskIsEnough) {
    bool silent = true;
    StartInstrument([&silent](auto message, VirtualMopho& instrument) {
        if (AsksFor(message, 200) && silent) {
            silent = false;
            return VirtualMopho::Replies{};
        }
        return instrument.Receive(message);
    });
    EXPECT_EQ(Backup(Path("bank.syx")), 0) << err_.str();
    EXPECT_EQ(ReadWholeFile(Path("bank.syx")).bytes.size(), 384u * 300u);
}

TEST_F(BackupTest, SendGoesOutUnchanged) {
    StartInstrument(
        [](auto message, VirtualMopho& instrument) { return instrument.Receive(message); });
    TSoundRecord sound = VirtualMopho::FactorySound(3);
    SetSoundName(sound, "Sent");
    auto bytes = ProgramDumpMessage(sound, 2, 127);
    const auto second = ProgramDumpMessage(sound, 0, 4);
    bytes.insert(bytes.end(), second.begin(), second.end());
    ASSERT_FALSE(WriteWholeFile(Path("two.syx"), bytes));

    EXPECT_EQ(SendSysExFile(*midi_, "Mopho", Path("two.syx"), out_, err_), 0);
    midi_->WaitUntilIdle();
    EXPECT_EQ(GetSoundName(instrument_->Program(Slots::Of(2, 127))), GetSoundName(sound));
    EXPECT_EQ(GetSoundName(instrument_->Program(4)), GetSoundName(sound));
    EXPECT_EQ(SendSysExFile(*midi_, "Mopho", Path("missing.syx"), out_, err_), 2);

    // Without its final F7 the last message would run into the next one the
    // instrument receives: nothing goes out.
    bytes.pop_back();
    ASSERT_FALSE(WriteWholeFile(Path("unfinished.syx"), bytes));
    midi_->WaitUntilIdle();
    const auto heard = instrument_->Log().size();
    EXPECT_EQ(SendSysExFile(*midi_, "Mopho", Path("unfinished.syx"), out_, err_), 1);
    midi_->WaitUntilIdle();
    EXPECT_EQ(instrument_->Log().size(), heard);
    EXPECT_NE(err_.str().find("does not end with F7"), std::string::npos) << err_.str();
}

TEST_F(BackupTest, SendWithDinTimingWaitsTheWireTimeOfEachMessage) {
    StartInstrument(
        [](auto message, VirtualMopho& instrument) { return instrument.Receive(message); });
    auto bytes = ProgramDumpMessage(VirtualMopho::FactorySound(3), 0, 1);
    const auto request = ProgramDumpRequestMessage(0, 1);
    bytes.insert(bytes.end(), request.begin(), request.end());
    ASSERT_FALSE(WriteWholeFile(Path("two.syx"), bytes));

    std::vector<std::chrono::microseconds> waits;
    SendOptions options{.din = true, .wait = [&waits](auto wait) { waits.push_back(wait); }};
    EXPECT_EQ(SendSysExFile(*midi_, "Mopho", Path("two.syx"), out_, err_, options), 0);
    EXPECT_EQ(waits, (std::vector<std::chrono::microseconds>{300 * 320us, 7 * 320us}));
}

} // namespace

namespace {

class RestoreTest : public BackupTest {
protected:
    int Restore(const std::string& file) {
        PortCommandOptions options;
        options.replyTimeout = 100ms;
        options.storePause = 0ms;
        return RestorePrograms(*midi_, "Virtual", "Virtual", file, out_, err_, options);
    }
    std::string WriteBank(const char* name, const std::vector<BankFileRecord>& records) {
        std::vector<std::uint8_t> bytes;
        for (const auto& [slot, record] : records) {
            const auto block = BankFileRecordBytes(slot, record);
            bytes.insert(bytes.end(), block.begin(), block.end());
        }
        EXPECT_FALSE(WriteWholeFile(Path(name), bytes));
        return Path(name);
    }
    static TSoundRecord Sound(std::string_view name, std::uint8_t frequency) {
        TSoundRecord sound = VirtualMopho::FactorySound(0);
        SetSoundName(sound, name);
        sound[SoundLayout::ParameterByte(0)] = frequency; // oscillator 1 frequency
        return sound;
    }
};

bool Writes(std::span<const std::uint8_t> message, int slot) {
    return message.size() == ProgramDumpSize && message[3] == 0x02 &&
           message[4] == Slots::BankOf(slot) && message[5] == Slots::ProgramOf(slot);
}

TEST_F(RestoreTest, WritesEachProgramAndChecksItAgainstTheInstrument) {
    int writes = 0;
    int reads = 0;
    StartInstrument([&](auto message, VirtualMopho& instrument) {
        writes += message.size() == ProgramDumpSize;
        reads += message.size() == 7;
        return instrument.Receive(message);
    });
    const std::string file = WriteBank(
        "bank.syx", {{3, Sound("Old", 40)}, {200, Sound("Keys", 48)}, {3, Sound("New", 60)}});
    ASSERT_EQ(Restore(file), 0) << err_.str();
    EXPECT_EQ(writes, 2); // the later record for a slot wins
    EXPECT_EQ(reads, 2);
    EXPECT_EQ(GetSoundName(instrument_->Program(3)).substr(0, 3), "New");
    EXPECT_EQ(out_.str(), "restored 2 programs from " + file + "; every one read back equal\n");
    EXPECT_EQ(err_.str(), "");
}

TEST_F(RestoreTest, ListsWhatStillDiffersAfterTheSecondWrite) {
    int writesOfA004 = 0;
    StartInstrument([&](auto message, VirtualMopho& instrument) {
        if (Writes(message, 3)) {
            ++writesOfA004;
            return VirtualMopho::Replies{}; // never stored
        }
        if (AsksFor(message, 130))
            return VirtualMopho::Replies{}; // never answered
        return instrument.Receive(message);
    });
    instrument_->SetProgram(3, Sound("Factory", 48));
    const std::string file = WriteBank(
        "bank.syx", {{3, Sound("Lead", 60)}, {4, Sound("Bass", 36)}, {130, Sound("Pad", 72)}});
    EXPECT_EQ(Restore(file), 1);
    EXPECT_EQ(writesOfA004, 2);
    EXPECT_EQ(out_.str(), "wrote 2 programs again after a read-back differed\n");
    EXPECT_EQ(err_.str(), "A004\tLead\tOscillator 1 Frequency C5, read back C4; "
                          "Name Lead, read back Factory\n"
                          "B003\tPad\tno reply\n"
                          "tonewright-syx: 2 of 3 programs did not read back equal, even when "
                          "written twice\n");
}

TEST_F(RestoreTest, AnInstrumentThatNeverAnswersStopsTheRestoreAfterThreePrograms) {
    int writes = 0;
    StartInstrument([&](auto message, VirtualMopho&) {
        writes += message.size() == ProgramDumpSize;
        return VirtualMopho::Replies{};
    });
    std::vector<BankFileRecord> records;
    for (int slot = 0; slot < 20; ++slot)
        records.push_back({slot, Sound("Lead", 60)});
    EXPECT_EQ(Restore(WriteBank("bank.syx", records)), 2);
    EXPECT_EQ(writes, 3);
    EXPECT_EQ(err_.str(), "tonewright-syx: no reply from the instrument on the in port "
                          "\"Tonewright Virtual Mopho\" to 3 programs in a row; stopped after "
                          "writing A003\n");
}

TEST_F(BackupTest, AnInstrumentThatNeverAnswersStopsTheBackupAfterThreePrograms) {
    int asked = 0;
    StartInstrument([&](auto, VirtualMopho&) {
        ++asked;
        return VirtualMopho::Replies{};
    });
    EXPECT_EQ(Backup(Path("bank.syx")), 2);
    EXPECT_EQ(asked, 6);
    EXPECT_NE(err_.str().find("\"Tonewright Virtual Mopho\" to 3 programs in a row"),
              std::string::npos)
        << err_.str();
}

TEST_F(RestoreTest, ADamagedOrEmptyFileSendsNothing) {
    int messages = 0;
    StartInstrument([&](auto message, VirtualMopho& instrument) {
        ++messages;
        return instrument.Receive(message);
    });
    auto bytes = BankFileRecordBytes(0, Sound("Lead", 60));
    bytes.resize(150); // cut off
    ASSERT_FALSE(WriteWholeFile(Path("cut.syx"), bytes));
    EXPECT_EQ(Restore(Path("cut.syx")), 1);
    EXPECT_NE(err_.str().find("nothing was sent"), std::string::npos) << err_.str();
    EXPECT_EQ(Restore(Path("missing.syx")), 2);
    EXPECT_EQ(messages, 0);
}

} // namespace
