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

void SendShortMessage(MidiOutput& out, int status, int data1, int data2) {
    out.SendShortMessage(PackShortMessage(status, data1, data2));
}

void SendNoteOn(MidiOutput& out, int channel, int note) {
    SendShortMessage(out, Status(NoteOn, channel), note, 0x7F);
}

void SendNoteOff(MidiOutput& out, int channel, int note) {
    SendShortMessage(out, Status(NoteOff, channel), note, 0x00);
}

void SendBankSelect(MidiOutput& out, int channel, int bank) {
    SendControlChange(out, channel, BankSelectLsb, bank);
}

void SendProgramChange(MidiOutput& out, int channel, int program) {
    SendShortMessage(out, Status(ProgramChange, channel), program, 0x00);
}

void SendControlChange(MidiOutput& out, int channel, int controller, int value) {
    SendShortMessage(out, Status(ControlChange, channel), controller, value);
}

void SendNrpn(MidiOutput& out, unsigned parameter, unsigned value) {
    SendNrpn(out, 0, parameter, value);
}

void SendNrpn(MidiOutput& out, int channel, unsigned parameter, unsigned value) {
    SendControlChange(out, channel, NrpnMsb, MostSignificant7(parameter));
    SendControlChange(out, channel, NrpnLsb, LeastSignificant7(parameter));
    SendControlChange(out, channel, DataEntryMsb, MostSignificant7(value));
    SendControlChange(out, channel, DataEntryLsb, LeastSignificant7(value));
}

void ResetMidiOut(MidiOutput& out) {
    out.ResetMidiOut();
}
