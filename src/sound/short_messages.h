#pragma once

#include "midi_output.h"

#include <cstdint>

// Channel messages. Channels are 0..15 (0 is MIDI channel 1) and are added
// to the status byte modulo 256; data values are bytes and are not
// range-checked. Each send returns what came of it.

// status in bits 0..7, data1 in bits 8..15, data2 in bits 16..23.
std::uint32_t PackShortMessage(int status, int data1, int data2);

MidiError SendShortMessage(MidiOutput& out, int status, int data1, int data2);
// Velocity 127.
MidiError SendNoteOn(MidiOutput& out, int channel, int note);
MidiError SendNoteOff(MidiOutput& out, int channel, int note);
// Controller 32 (bank select, least significant part).
MidiError SendBankSelect(MidiOutput& out, int channel, int bank);
MidiError SendProgramChange(MidiOutput& out, int channel, int program);
MidiError SendControlChange(MidiOutput& out, int channel, int controller, int value);
// Controllers 99, 98, 6 and 38 on `channel` (MIDI channel 1 unless given):
// parameter and value as 7-bit most and least significant parts. Parameters
// stay below 16384. The four go out whole or not at all.
MidiError SendNrpn(MidiOutput& out, unsigned parameter, unsigned value);
MidiError SendNrpn(MidiOutput& out, int channel, unsigned parameter, unsigned value);
MidiError ResetMidiOut(MidiOutput& out);
