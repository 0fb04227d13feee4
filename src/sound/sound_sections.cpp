#include "sound_sections.h"

// clang-format off
const std::array<LockGroup, LockGroupCount> LockGroups = {{
    {"ckbOscillator1", "Lock Oscillator 1", 0, 5},
    {"ckbOscillator2", "Lock Oscillator 2", 6, 11},
    {"ckbOscillatorCommon", "Lock Oscillator Common", 12, 19},
    {"ckbFilter", "Lock Filter", 20, 31},
    {"ckbVCA", "Lock VCA", 32, 40},
    {"ckbLFO1", "Lock LFO 1", 41, 45},
    {"ckbLFO2", "Lock LFO 2", 46, 50},
    {"ckbLFO3", "Lock LFO 3", 51, 55},
    {"ckbLFO4", "Lock LFO 4", 56, 60},
    {"ckbEnvelope3", "Lock Envelope 3", 61, 69},
    {"ckbMatrixModulation", "Lock Modulation", 70, 81},
    {"ckbMatrixModulationParameters", "Lock Modulation Parameters", 82, 91},
    {"ckbPushIt", "Lock Push It", 92, 94},
    {"ckbClockParameters", "Lock Clock Parameters", 95, 96},
    {"ckbArpGlobals", "Lock Arpeggiator Globals", 97, 100},
    {"ckbArpSeqTrack1", "Lock Arpeggiator Sequence Track 1", 101, 101, 120, 135},
    {"ckbArpSeqTrack2", "Lock Arpeggiator Sequence Track 2", 102, 102, 136, 151},
    {"ckbArpSeqTrack3", "Lock Arpeggiator Sequence Track 3", 103, 103, 152, 167},
    {"ckbArpSeqTrack4", "Lock Arpeggiator Sequence Track 4", 104, 104, 168, 183},
    // The caption keeps the spelling users know.
    {"ckbAssignableParameters", "Lock Assignable Paramaters", 105, 108},
}};
// clang-format on

TSoundRecord MergeUnlocked(const TSoundRecord& working, const TSoundRecord& donor,
                           const LockedGroups& locked) {
    TSoundRecord merged = working;
    for (int g = 0; g < LockGroupCount; ++g) {
        if (locked[static_cast<std::size_t>(g)])
            continue;
        const LockGroup& group = LockGroups[static_cast<std::size_t>(g)];
        for (int p = 0; p < SoundLayout::ParameterCount; ++p)
            if (group.Holds(p))
                merged[SoundLayout::ParameterByte(p)] = donor[SoundLayout::ParameterByte(p)];
    }
    return merged;
}
