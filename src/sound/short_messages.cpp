#include "short_messages.h"

namespace {

constexpr int NoteOn = 0x90;
constexpr int NoteOff = 0x80;
constexpr int ControlChange = 0xB0;
constexpr int ProgramChange = 0xC0;

constexpr int BankSelectLsb = 32;
constexpr int NrpnMsb = 99;
constexpr int NrpnLsb = 98;
constexpr int DataEntryMsb = 6;
constexpr int DataEntryLsb = 38;

std::uint32_t AsByte(int value) {
    return static_cast<std::uint32_t>(value) & 0xFF;
}

int Status(int kind, int channel) {
    return (kind + channel) & 0xFF;
}

// Parameter numbers and values are 16-bit quantities.
int MostSignificant7(unsigned value) {
    return static_cast<int>((value & 0xFFFF) >> 7);
}

int LeastSignificant7(unsigned value) {
    return static_cast<int>(value & 0x7F);
}

} // namespace

std::uint32_t PackShortMessage(int status, int data1, int data2) {
    return AsByte(status) | AsByte(data1) << 8 | AsByte(data2) << 16;
}

MidiError SendShortMessage(MidiOutput& out, int status, int data1, int data2) {
    return out.SendShortMessage(PackShortMessage(status, data1, data2));
}

MidiError SendNoteOn(MidiOutput& out, int channel, int note) {
    return SendShortMessage(out, Status(NoteOn, channel), note, 0x7F);
}

MidiError SendNoteOff(MidiOutput& out, int channel, int note) {
    return SendShortMessage(out, Status(NoteOff, channel), note, 0x00);
}

MidiError SendBankSelect(MidiOutput& out, int channel, int bank) {
    return SendControlChange(out, channel, BankSelectLsb, bank);
}

MidiError SendProgramChange(MidiOutput& out, int channel, int program) {
    return SendShortMessage(out, Status(ProgramChange, channel), program, 0x00);
}

MidiError SendControlChange(MidiOutput& out, int channel, int controller, int value) {
    return SendShortMessage(out, Status(ControlChange, channel), controller, value);
}

MidiError SendNrpn(MidiOutput& out, unsigned parameter, unsigned value) {
    return SendNrpn(out, 0, parameter, value);
}

MidiError SendNrpn(MidiOutput& out, int channel, unsigned parameter, unsigned value) {
    const int status = Status(ControlChange, channel);
    const std::uint32_t messages[] = {
        PackShortMessage(status, NrpnMsb, MostSignificant7(parameter)),
        PackShortMessage(status, NrpnLsb, LeastSignificant7(parameter)),
        PackShortMessage(status, DataEntryMsb, MostSignificant7(value)),
        PackShortMessage(status, DataEntryLsb, LeastSignificant7(value)),
    };
    return out.SendShortMessages(messages);
}

MidiError ResetMidiOut(MidiOutput& out) {
    return out.ResetMidiOut();
}
