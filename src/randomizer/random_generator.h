#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

struct SchemaEntry;

// The one pseudo-random sequence the whole program draws from: the
// randomizers, the morph and the locker. A linear congruential generator,
// so a seed always gives the same draws.
class RandomGenerator {
public:
    explicit RandomGenerator(std::uint32_t seed = 0) : seed_(seed) {}

    // A value in 0..n-1 (0 for n = 0); every call moves the seed on, also
    // for n = 0.
    std::uint32_t Random(std::uint32_t n);

    std::uint32_t Seed() const { return seed_; }
    void SetSeed(std::uint32_t seed) { seed_ = seed; }

private:
    std::uint32_t seed_;
};

// A moment in local time, as much of it as the stir needs.
struct LocalMoment {
    int dayOfYear = 1; // 1 for 1 January
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// Where the program's generator takes its time from. Tests put their own.
struct GeneratorClock {
    // Milliseconds since midnight UTC: the first seed.
    std::function<std::uint32_t()> utcMillisecondOfDay;
    // The local time the stir reads.
    std::function<LocalMoment()> localNow;
};

// The computer's clock.
GeneratorClock SystemClock();

// The program's generator: seeded once, on first use, from the shared
// clock's UTC time of day, and never again. Not guarded: only the user
// interface thread draws.
RandomGenerator& SharedGenerator();
const GeneratorClock& SharedClock();
// Replaces the clock the shared generator and the stir read; for tests,
// before anything draws (a later change does not reseed).
void SetSharedClock(GeneratorClock clock);

// How many values a stir at `now` draws: (milliseconds + seconds since the
// start of the year + 1000) mod 100.
int StirDrawCount(const LocalMoment& now);
// Draws Random(1000) that many times and drops the values, so presses that
// follow each other closely do not start from the same place.
void StirGenerator(RandomGenerator& generator, const LocalMoment& now);

// The position of one of the "1" characters of `allowed`, each with the same
// chance. With no "1" the last position (length - 1), -1 for an empty string.
int PickAllowedPosition(RandomGenerator& generator, std::string_view allowed);

// A random value for the entry's control, drawn after a stir: a knob's or
// slider's value, a list's item index (beyond the list, or -1, when nothing
// fits), 0 or 1 for an LED. A knob with no allowed value gets its middle
// value allowed first; that change stays in the entry. A string longer than
// the control's range can give a value outside it, which the control ignores.
int RandomValueFor(SchemaEntry& entry, RandomGenerator& generator, const LocalMoment& now);
// The same on the shared generator at the shared clock's local time.
int RandomValueFor(SchemaEntry& entry);
