#pragma once

#include "sound_sections.h"

class RandomGenerator;

// The parameter locker's walk through the library's 384 sounds; the lock
// boxes' sections are the sound's (sound_sections.h).

// The library sound the locker takes sections from.
struct LockerChoice {
    int bank = 1;    // 1..3, 1 = A
    int program = 1; // 1..128

    int Slot() const { return Slots::Of(bank - 1, program - 1); }
    bool operator==(const LockerChoice&) const = default;
};

// The next program, from C128 on to A1.
LockerChoice NextSound(LockerChoice choice);
// The previous program, from A1 back to C128.
LockerChoice PreviousSound(LockerChoice choice);
// A random program, then a random bank, drawn in that order.
LockerChoice RandomSound(RandomGenerator& generator);
