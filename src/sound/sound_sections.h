#pragma once

#include "sound_record.h"

#include <array>
#include <string_view>

// The sections of a sound, as the parameter locker's lock boxes show them:
// which parameters each section holds, and a sound made of the sections of
// two sounds. The locker and the breeder share them.

struct LockGroup {
    std::string_view member;  // the check box, "ckbOscillator1"
    std::string_view caption; // "Lock Oscillator 1"
    int first;                // parameters first..last
    int last;
    int stepsFirst = -1; // a sequencer track's 16 steps, -1 for none
    int stepsLast = -1;

    bool Holds(int p) const {
        return (p >= first && p <= last) || (stepsFirst >= 0 && p >= stepsFirst && p <= stepsLast);
    }
};

inline constexpr int LockGroupCount = 20;
// In the order the boxes are shown. They cover parameters 0..108 and the
// sequencer steps 120..183; 109..119, the name and the rest of the record
// belong to none.
extern const std::array<LockGroup, LockGroupCount> LockGroups;

// Which boxes are checked, in LockGroups order.
using LockedGroups = std::array<bool, LockGroupCount>;

// `working` with the parameters of every unlocked group taken from `donor`.
// Locked groups, parameters outside the groups, the name and the header keep
// the working sound's bytes.
TSoundRecord MergeUnlocked(const TSoundRecord& working, const TSoundRecord& donor,
                           const LockedGroups& locked);
