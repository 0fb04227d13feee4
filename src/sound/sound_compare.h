#pragma once

#include "sound_record.h"

#include <string>
#include <vector>

// Two sounds side by side, parameter by parameter, with the values written
// as the sound editor shows them. Used by the Compare Sounds window, the
// bank tool's "diff" and the read-back checks after sending.

struct ParameterComparison {
    std::string name;  // "Filter Frequency"; "Name" for the sound's name
    std::string first; // the value as the editor shows it: "C5", "Sawtooth", "On", "DIV 4"
    std::string second;
    bool differs = false;
};

// One row per parameter the editor shows (0..183 without the unused 109..119),
// in parameter order, then the name. `onlyDifferences` leaves out equal rows.
std::vector<ParameterComparison>
CompareSounds(const TSoundRecord& first, const TSoundRecord& second, bool onlyDifferences = true);

// How many of those rows differ.
int DifferenceCount(const TSoundRecord& first, const TSoundRecord& second);

// The rows that differ among everything the instrument keeps of a sound
// (parameters 0..223): those of CompareSounds, with the unused 109..119 and
// 200..223 named by number ("Parameter 110") and shown as bytes, in
// parameter order, the name last.
std::vector<ParameterComparison> CompareKeptParameters(const TSoundRecord& first,
                                                       const TSoundRecord& second);

// "Filter Frequency" for 20: the parameter's name without its number.
std::string ParameterTitle(int parameter);

// The value of `parameter` (0..183) in `sound` as the editor shows it.
std::string ParameterText(const TSoundRecord& sound, int parameter);

// Whether the parameters that travel to the instrument (0..223) are equal:
// what a sound read back after sending must keep.
bool SameSentParameters(const TSoundRecord& first, const TSoundRecord& second);
