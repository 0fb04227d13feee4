#pragma once

#include "sound_record.h"

// How far apart two sounds are, by their parameters. Each parameter's
// difference counts as a share of its range, weighted by how much it changes
// what is heard: oscillator shapes and pitches and the filter most, then the
// amplifier and its envelope, modulation and the other envelope, and the
// arpeggiator, clock and sequencer steps least. The name and the location
// bytes do not count. 0 for sounds that differ in none of these.
double SoundDistance(const TSoundRecord& a, const TSoundRecord& b);
