#include "short_messages.h"
#include "support/recording_midi_output.h"
#include "sysex_codec.h"
#include "sysex_messages.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Short = std::array<std::uint8_t, 3>;

Bytes Head(const Bytes& message, std::size_t count) {
    return Bytes(message.begin(), message.begin() + static_cast<std::ptrdiff_t>(count));
}

TEST(SysExMessages, ProgramDumpWritesTheSlotsHeaderWhateverTheRecordHolds) {
    TSoundRecord record; // never filled: header all zero
    record[3] = 0x03;    // or stale from the edit buffer
    record[SoundLayout::ParameterByte(0)] = 0xA4;
    RecordingMidiOutput out;
    SendProgramDump(out, record, 200);
    ASSERT_EQ(out.longMessages.size(), 1u);
    const Bytes message = out.longMessages[0];
    ASSERT_EQ(message.size(), 300u);
    EXPECT_EQ(Head(message, 8), (Bytes{0xF0, 0x01, 0x25, 0x02, 0x01, 0x48, 0x01, 0x24}));
    EXPECT_EQ(message[299], 0xF7);

    SendSoundAsProgram(out, record, 2, 127);
    EXPECT_EQ(Head(out.longMessages[1], 6), (Bytes{0xF0, 0x01, 0x25, 0x02, 0x02, 0x7F}));
    EXPECT_EQ(Bytes(out.longMessages[1].begin() + 6, out.longMessages[1].end()),
              Bytes(message.begin() + 6, message.end()));
}

TEST(SysExMessages, EditBufferDumpOfANeverFilledSlot) {
    TSoundRecord record;
    SetSoundName(record, "empty");
    RecordingMidiOutput out;
    SendEditBufferDump(out, record);
    ASSERT_EQ(out.longMessages.size(), 1u);
    const Bytes& message = out.longMessages[0];
    ASSERT_EQ(message.size(), 298u);
    EXPECT_EQ(Head(message, 4), (Bytes{0xF0, 0x01, 0x25, 0x03}));
    EXPECT_EQ(message[297], 0xF7);
    const TSoundRecord back = UnpackProgramData(message, 4);
    EXPECT_EQ(GetSoundName(back), "empty           ");
}

TEST(SysExMessages, RequestsHaveTheirExactBytes) {
    RecordingMidiOutput out;
    RequestProgramDump(out, 2, 5);
    RequestEditBuffer(out);
    RequestGlobals(out);
    RequestDeviceInquiry(out);
    EXPECT_EQ(out.longMessages, (std::vector<Bytes>{{0xF0, 0x01, 0x25, 0x05, 0x02, 0x05, 0xF7},
                                                    {0xF0, 0x01, 0x25, 0x06, 0xF7},
                                                    {0xF0, 0x01, 0x25, 0x0E, 0xF7},
                                                    {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7}}));
}

TEST(SysExReplies, GlobalsAreLowNibbleThenHighNibble) {
    Bytes dump{0xF0, 0x01, 0x25, 0x0F};
    for (int value : {12, 50, 16, 3, 0, 1, 1, 0, 1, 0})
        dump.insert(dump.end(), {static_cast<std::uint8_t>(value & 0x0F),
                                 static_cast<std::uint8_t>(value >> 4)});
    dump.push_back(0xF7);
    ASSERT_EQ(dump.size(), 25u);
    EXPECT_EQ(GlobalsFromDump(dump), (std::array<int, 10>{12, 50, 16, 3, 0, 1, 1, 0, 1, 0}));

    const Bytes shortReply{0xF0, 0x01, 0x25, 0x0F, 0x02, 0x03};
    EXPECT_EQ(GlobalsFromDump(shortReply), (std::array<int, 10>{0x32}));
}

TEST(SysExReplies, DeviceVersionComesFromByte10) {
    Bytes reply{0xF0, 0x7E, 0x00, 0x06, 0x02, 0x01, 0x25, 0x01,
                0x00, 0x00, 0x21, 0x00, 0x00, 0x00, 0xF7};
    const DeviceVersion version = DeviceVersionFromReply(reply);
    EXPECT_EQ(version, (DeviceVersion{1, 2}));
    EXPECT_EQ(DeviceVersionText(version), "1.2");
    reply[10] = 0xFF; // bit 7 is not part of the minor number
    EXPECT_EQ(DeviceVersionFromReply(reply), (DeviceVersion{15, 7}));
    EXPECT_EQ(DeviceVersionFromReply(Bytes{0xF0, 0x7E}), (DeviceVersion{0, 0}));
}

TEST(ShortMessages, PackingPutsStatusInTheLowByte) {
    EXPECT_EQ(PackShortMessage(0x90, 0x3C, 0x7F), 0x7F3C90u);
    EXPECT_EQ(PackShortMessage(0x1B0, -1, 0x100), 0x00FFB0u) << "each part is one byte";
}

TEST(ShortMessages, ChannelMessagesHaveTheirStatusAndData) {
    RecordingMidiOutput out;
    SendNoteOn(out, 0, 60);
    SendNoteOff(out, 0, 60);
    SendBankSelect(out, 0, 2);
    SendProgramChange(out, 0, 127);
    SendControlChange(out, 0, 123, 0);
    SendNoteOn(out, 15, 1);
    SendShortMessage(out, 0xF8, 0, 0);
    EXPECT_EQ(out.ShortMessageBytes(), (std::vector<Short>{{0x90, 0x3C, 0x7F},
                                                           {0x80, 0x3C, 0x00},
                                                           {0xB0, 0x20, 0x02},
                                                           {0xC0, 0x7F, 0x00},
                                                           {0xB0, 0x7B, 0x00},
                                                           {0x9F, 0x01, 0x7F},
                                                           {0xF8, 0x00, 0x00}}));
}

TEST(ShortMessages, NrpnSendsFourControllersInOrder) {
    RecordingMidiOutput out;
    SendNrpn(out, 300, 200);
    EXPECT_EQ(out.ShortMessageBytes(),
              (std::vector<Short>{
                  {0xB0, 0x63, 0x02}, {0xB0, 0x62, 0x2C}, {0xB0, 0x06, 0x01}, {0xB0, 0x26, 0x48}}));
}

TEST(ShortMessages, ResetGoesToTheOutput) {
    RecordingMidiOutput out;
    ResetMidiOut(out);
    EXPECT_EQ(out.resetCount, 1);
    EXPECT_TRUE(out.shortMessages.empty());
}

} // namespace
