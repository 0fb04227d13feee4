#include "virtual_mopho.h"

#include "bank_file.h"
#include "parameter_tables.h"
#include "support/nrpn_messages.h"
#include "sysex_codec.h"
#include "sysex_messages.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using Bytes = std::vector<std::uint8_t>;

// The replies joined as the byte stream a cable would carry.
Bytes Stream(const VirtualMopho::Replies& replies) {
    Bytes bytes;
    for (const auto& chunk : replies)
        bytes.insert(bytes.end(), chunk.begin(), chunk.end());
    return bytes;
}

void SendNrpn(VirtualMopho& mopho, int number, int value) {
    for (const ControllerMessage& message : NrpnMessages(number, value))
        mopho.Receive(Bytes(message.begin(), message.end()));
}

TEST(VirtualMophoTest, AnswersProgramRequestWithTheDumpOfThatLocation) {
    VirtualMopho mopho;
    const auto reply = mopho.Receive(ProgramDumpRequestMessage(1, 9));
    ASSERT_EQ(reply.size(), 1u);
    EXPECT_EQ(reply[0], ProgramDumpMessage(mopho.Program(Slots::Of(1, 9)), 1, 9));
    ASSERT_EQ(reply[0].size(), 300u);
    EXPECT_EQ(GetSoundName(UnpackProgramData(reply[0], 6)), "B010 Virtual    ");

    // Locations the instrument does not have get no answer.
    EXPECT_TRUE(mopho.Receive(ProgramDumpRequestMessage(3, 0)).empty());
    EXPECT_TRUE(mopho.Receive(Bytes{0xF0, 0x01, 0x25, 0x05, 0x00, 0x80, 0xF7}).empty());
    EXPECT_TRUE(mopho.Receive(Bytes{0xF0, 0x01, 0x25, 0x05, 0x00, 0xF7}).empty());
}

TEST(VirtualMophoTest, FactorySoundsAreDistinctNamedAndFitTheirDumps) {
    std::set<std::string> names;
    for (int slot = 0; slot < Slots::Count; ++slot) {
        const TSoundRecord sound = VirtualMopho::FactorySound(slot);
        names.insert(GetSoundName(sound));
        // Every value survives a trip through a dump: nothing beyond 223 is set.
        EXPECT_EQ(UnpackProgramData(ProgramDumpMessage(sound, 0, 0), 6).Bytes, [&] {
            TSoundRecord expected = sound;
            expected[SoundLayout::BankByte] = 0;
            expected[SoundLayout::ProgramByte] = 0;
            return expected.Bytes;
        }());
    }
    EXPECT_EQ(names.size(), static_cast<std::size_t>(Slots::Count));
    EXPECT_EQ(GetSoundName(VirtualMopho::FactorySound(383)), "C128 Virtual    ");
    // Two instruments start identical.
    EXPECT_EQ(VirtualMopho().BankBytes(), VirtualMopho().BankBytes());
}

TEST(VirtualMophoTest, AnswersEditBufferGlobalsAndDeviceInquiry) {
    VirtualMopho mopho;
    const auto edit = mopho.Receive(EditBufferRequestMessage());
    ASSERT_EQ(edit.size(), 1u);
    EXPECT_EQ(edit[0], EditBufferDumpMessage(mopho.EditBuffer()));
    EXPECT_EQ(edit[0].size(), 298u);

    SendNrpn(mopho, 384, 0);   // transpose -12
    SendNrpn(mopho, 305, 1);   // mono
    SendNrpn(mopho, 385, 100); // fine tune +50
    const auto globals = mopho.Receive(GlobalsRequestMessage());
    ASSERT_EQ(globals.size(), 1u);
    const Bytes expectedGlobals = {0xF0, 0x01, 0x25, 0x0F, 0, 0, 4, 6, 1, 0, 0, 0,   0,
                                   0,    0,    0,    1,    0, 1, 0, 1, 0, 0, 0, 0xF7};
    EXPECT_EQ(globals[0], expectedGlobals);
    EXPECT_EQ(GlobalsFromDump(globals[0])[1], 100);

    mopho.SetVersion(2, 5);
    for (std::uint8_t channel : {0x7F, 0x00, 0x0F}) {
        const auto reply = mopho.Receive(Bytes{0xF0, 0x7E, channel, 0x06, 0x01, 0xF7});
        ASSERT_EQ(reply.size(), 1u);
        const Bytes expected = {0xF0, 0x7E, 0x7F, 0x06, 0x02, 0x01, 0x25,
                                0x01, 0x00, 0x00, 0x52, 0x00, 0x00, 0xF7};
        EXPECT_EQ(reply[0], expected);
        EXPECT_EQ(DeviceVersionFromReply(reply[0]), (DeviceVersion{2, 5}));
    }
    EXPECT_TRUE(mopho.Receive(Bytes{0xF0, 0x7E, 0x10, 0x06, 0x01, 0xF7}).empty());
}

TEST(VirtualMophoTest, StoresCompleteDumpsOnly) {
    VirtualMopho mopho;
    TSoundRecord sound = VirtualMopho::FactorySound(7);
    SetSoundName(sound, "Stored");
    sound[SoundLayout::ParameterByte(20)] = 0xA4;
    EXPECT_TRUE(mopho.Receive(ProgramDumpMessage(sound, 2, 127)).empty());
    EXPECT_EQ(mopho.Receive(ProgramDumpRequestMessage(2, 127))[0],
              ProgramDumpMessage(sound, 2, 127));

    SetSoundName(sound, "Edit");
    mopho.Receive(EditBufferDumpMessage(sound));
    EXPECT_EQ(GetSoundName(mopho.EditBuffer()), "Edit            ");
    EXPECT_EQ(mopho.Receive(EditBufferRequestMessage())[0], EditBufferDumpMessage(sound));

    // A cut-off dump, one for a location that does not exist, and one from
    // another maker change nothing.
    const Bytes before = mopho.BankBytes();
    Bytes cut = ProgramDumpMessage(sound, 0, 0);
    cut.resize(150);
    mopho.Receive(cut);
    Bytes badBank = ProgramDumpMessage(sound, 0, 0);
    badBank[4] = 3;
    mopho.Receive(badBank);
    Bytes otherMaker = ProgramDumpMessage(sound, 0, 0);
    otherMaker[1] = 0x02;
    mopho.Receive(otherMaker);
    EXPECT_EQ(mopho.BankBytes(), before);
}

TEST(VirtualMophoTest, BankSelectAndProgramChangeLoadTheEditBuffer) {
    VirtualMopho mopho;
    mopho.Receive(Bytes{0xB0, 32, 2});
    mopho.Receive(Bytes{0xC0, 5, 0});
    EXPECT_EQ(GetSoundName(mopho.EditBuffer()), "C006 Virtual    ");
    EXPECT_EQ(mopho.EditBuffer()[SoundLayout::CommandByte], 0x03);
    EXPECT_EQ(mopho.Receive(EditBufferRequestMessage())[0],
              EditBufferDumpMessage(mopho.Program(Slots::Of(2, 5))));

    // The bank stays selected; a bank the instrument lacks is ignored.
    mopho.Receive(Bytes{0xB0, 32, 9});
    mopho.Receive(Bytes{0xC0, 0});
    EXPECT_EQ(GetSoundName(mopho.EditBuffer()), "C001 Virtual    ");
    // Another channel is not listened to.
    mopho.Receive(Bytes{0xC1, 1});
    EXPECT_EQ(GetSoundName(mopho.EditBuffer()), "C001 Virtual    ");
}

TEST(VirtualMophoTest, NrpnSetsTheEditBufferParameterItNames) {
    VirtualMopho mopho;
    SendNrpn(mopho, 114, 99); // sub oscillator 1 level is parameter 5
    EXPECT_EQ(mopho.EditBuffer()[SoundLayout::ParameterByte(5)], 99);
    SendNrpn(mopho, 15, 164); // filter frequency, parameter 20, above 127
    EXPECT_EQ(mopho.EditBuffer()[SoundLayout::ParameterByte(20)], 164);
    SendNrpn(mopho, 184, 'Z'); // first name character
    EXPECT_EQ(GetSoundName(mopho.EditBuffer())[0], 'Z');

    // Every parameter 0..199 is reachable through its number.
    for (int p = 0; p < NrpnParameterCount; ++p) {
        if (p >= 109 && p <= 119)
            continue; // unused; their numbers belong to bound parameters
        SendNrpn(mopho, NrpnNumbers[static_cast<std::size_t>(p)], 200 - p / 2);
        EXPECT_EQ(mopho.EditBuffer()[SoundLayout::ParameterByte(p)], 200 - p / 2) << p;
    }

    // A value that does not fit a byte, and a number nothing uses, change nothing.
    const TSoundRecord before = mopho.EditBuffer();
    SendNrpn(mopho, 0, 300);
    SendNrpn(mopho, 28, 5);
    SendNrpn(mopho, 384, 25); // transpose beyond +12
    EXPECT_EQ(mopho.EditBuffer(), before);
    EXPECT_EQ(mopho.Global(0), 12);
}

TEST(VirtualMophoTest, FaultsShapeTheReply) {
    VirtualMopho mopho;
    const Bytes dump = ProgramDumpMessage(mopho.Program(3), 0, 3);

    mopho.SetFault(VirtualMopho::Fault::NoAnswer);
    EXPECT_TRUE(mopho.Receive(ProgramDumpRequestMessage(0, 3)).empty());

    mopho.SetFault(VirtualMopho::Fault::Truncated);
    const Bytes cut = Stream(mopho.Receive(ProgramDumpRequestMessage(0, 3)));
    ASSERT_FALSE(cut.empty());
    EXPECT_LT(cut.size(), dump.size());
    EXPECT_TRUE(std::equal(cut.begin(), cut.end(), dump.begin()));
    EXPECT_EQ(std::count(cut.begin(), cut.end(), 0xF7), 0);

    mopho.SetFault(VirtualMopho::Fault::WrongKind);
    const Bytes wrong = Stream(mopho.Receive(ProgramDumpRequestMessage(0, 3)));
    EXPECT_EQ(wrong.size(), 25u);
    EXPECT_EQ(wrong[3], 0x0F);
    EXPECT_EQ(Stream(mopho.Receive(GlobalsRequestMessage())).size(), 298u);

    mopho.SetFault(VirtualMopho::Fault::ClockSplit);
    const auto pieces = mopho.Receive(ProgramDumpRequestMessage(0, 3));
    EXPECT_GT(pieces.size(), 2u);
    Bytes stream = Stream(pieces);
    EXPECT_EQ(stream.front(), 0xF0);
    EXPECT_EQ(stream.back(), 0xF7);
    const auto clocks = std::count(stream.begin(), stream.end(), 0xF8);
    EXPECT_EQ(clocks, 4); // after bytes 64, 128, 192 and 256
    stream.erase(std::remove(stream.begin(), stream.end(), 0xF8), stream.end());
    EXPECT_EQ(stream, dump);

    // Short messages still work under every fault.
    mopho.Receive(Bytes{0xC0, 3});
    EXPECT_EQ(GetSoundName(mopho.EditBuffer()), "A004 Virtual    ");
}

TEST(VirtualMophoTest, LogsEveryMessageAndLoadsBanks) {
    VirtualMopho mopho;
    mopho.Receive(Bytes{0xF0, 0x01, 0x25, 0x06, 0xF7});
    mopho.Receive(Bytes{0x90, 0x3C, 0x7F});
    mopho.Receive(Bytes{});
    ASSERT_EQ(mopho.Log().size(), 3u);
    EXPECT_EQ(mopho.Log()[0], "F0 01 25 06 F7");
    EXPECT_EQ(mopho.Log()[1], "90 3C 7F");
    EXPECT_EQ(mopho.Log()[2], "");
    for (std::size_t i = 0; i < VirtualMopho::LogLimit; ++i)
        mopho.Receive(Bytes{0xF8});
    EXPECT_EQ(mopho.Log().size(), VirtualMopho::LogLimit);
    EXPECT_EQ(mopho.Log().front(), "F8");

    TSoundRecord sound = VirtualMopho::FactorySound(0);
    SetSoundName(sound, "From file");
    const auto file = BankFileBytes(std::vector<std::pair<int, TSoundRecord>>{{200, sound}});
    EXPECT_TRUE(mopho.LoadBank(file, "one.syx").empty());
    EXPECT_EQ(GetSoundName(mopho.Program(200)), "From file       ");
    EXPECT_EQ(GetSoundName(mopho.Program(199)), "B072 Virtual    ");
    Bytes cut = file;
    cut.resize(299);
    EXPECT_FALSE(mopho.LoadBank(cut, "cut.syx").empty());

    // The bank written back holds every program at its place.
    const Bytes bank = mopho.BankBytes();
    ASSERT_EQ(bank.size(), 384u * 300u);
    VirtualMopho copy;
    copy.LoadBank(bank, "all.syx");
    EXPECT_EQ(copy.BankBytes(), bank);
}

TEST(VirtualMophoTest, WriteFaultsSpoilStoredPrograms) {
    TSoundRecord sound = VirtualMopho::FactorySound(100);
    SetSoundName(sound, "Written");
    const Bytes toA004 = ProgramDumpMessage(sound, 0, 3);
    const Bytes toA005 = ProgramDumpMessage(sound, 0, 4);

    VirtualMopho dropping;
    const TSoundRecord before = dropping.Program(3);
    dropping.SetFault(VirtualMopho::Fault::DropFirstWrite);
    dropping.Receive(toA004);
    EXPECT_EQ(dropping.Program(3), before); // the first write of a location is lost
    dropping.Receive(toA005);
    dropping.Receive(toA004);
    EXPECT_EQ(GetSoundName(dropping.Program(3)), "Written         ");
    EXPECT_NE(GetSoundName(dropping.Program(4)), "Written         ");

    VirtualMopho corrupting;
    corrupting.SetFault(VirtualMopho::Fault::CorruptWrites);
    for (int write = 0; write < 2; ++write) {
        corrupting.Receive(toA004);
        const TSoundRecord stored = corrupting.Program(3);
        EXPECT_EQ(GetSoundName(stored), "Written         ");
        EXPECT_NE(stored[SoundLayout::ParameterByte(20)], sound[SoundLayout::ParameterByte(20)]);
    }
}

TEST(VirtualMophoTest, WireTimeAndFaultNames) {
    EXPECT_EQ(VirtualMopho::WireTime(300).count(), 96000);
    EXPECT_EQ(VirtualMopho::WireTime(384 * 307).count(), 37'724'160);
    for (auto fault :
         {VirtualMopho::Fault::None, VirtualMopho::Fault::NoAnswer, VirtualMopho::Fault::Truncated,
          VirtualMopho::Fault::WrongKind, VirtualMopho::Fault::ClockSplit,
          VirtualMopho::Fault::DropFirstWrite, VirtualMopho::Fault::CorruptWrites})
        EXPECT_EQ(FaultFromName(FaultName(fault)), fault);
    EXPECT_FALSE(FaultFromName("sometimes").has_value());
}

TEST(ParameterTablesTest, NrpnNumbersAndGlobals) {
    EXPECT_EQ(NrpnNumbers[5], 114);
    EXPECT_EQ(NrpnNumbers[40], 29);
    EXPECT_EQ(NrpnNumbers[98], 100);
    EXPECT_EQ(NrpnNumbers[199], 199);
    // Each bound parameter has a number of its own.
    std::set<int> seen;
    for (int p = 0; p < NrpnParameterCount; ++p) {
        if (p < 109 || p > 119) {
            EXPECT_TRUE(seen.insert(NrpnNumbers[static_cast<std::size_t>(p)]).second) << p;
            EXPECT_EQ(ParameterForNrpn(NrpnNumbers[static_cast<std::size_t>(p)]), p);
        }
    }
    EXPECT_EQ(ParameterForNrpn(28), -1);
    EXPECT_EQ(ParameterForNrpn(384), -1);
    EXPECT_EQ(GlobalForNrpn(305), 8);
    EXPECT_EQ(GlobalForNrpn(406), 9);
    EXPECT_EQ(GlobalForNrpn(387), -1);
}

} // namespace
