#include "random_generator.h"

#include "schema.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <optional>

std::uint32_t RandomGenerator::Random(std::uint32_t n) {
    seed_ = seed_ * 134775813u + 1u;
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(seed_) * n) >> 32);
}

namespace {

struct SplitTime {
    std::tm fields{};
    int millisecond = 0;
};

SplitTime Now(bool utc) {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    SplitTime split;
    split.millisecond = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000);
    if (split.millisecond < 0)
        split.millisecond += 1000;
#if defined(_WIN32)
    if (utc)
        gmtime_s(&split.fields, &seconds);
    else
        localtime_s(&split.fields, &seconds);
#else
    if (utc)
        gmtime_r(&seconds, &split.fields);
    else
        localtime_r(&seconds, &split.fields);
#endif
    return split;
}

GeneratorClock& ClockInUse() {
    static GeneratorClock clock = SystemClock();
    return clock;
}

} // namespace

GeneratorClock SystemClock() {
    return {
        [] {
            const SplitTime t = Now(true);
            return static_cast<std::uint32_t>(
                ((t.fields.tm_hour * 60 + t.fields.tm_min) * 60 + t.fields.tm_sec) * 1000 +
                t.millisecond);
        },
        [] {
            const SplitTime t = Now(false);
            return LocalMoment{t.fields.tm_yday + 1, t.fields.tm_hour, t.fields.tm_min,
                               t.fields.tm_sec, t.millisecond};
        },
    };
}

const GeneratorClock& SharedClock() {
    return ClockInUse();
}

void SetSharedClock(GeneratorClock clock) {
    ClockInUse() = std::move(clock);
}

RandomGenerator& SharedGenerator() {
    static RandomGenerator generator(SharedClock().utcMillisecondOfDay());
    return generator;
}

int StirDrawCount(const LocalMoment& now) {
    const long long secondsOfYear =
        (now.dayOfYear - 1) * 86400LL + now.hour * 3600LL + now.minute * 60LL + now.second;
    const long long count = (now.millisecond + secondsOfYear + 1000) % 100;
    return static_cast<int>(count < 0 ? count + 100 : count);
}

void StirGenerator(RandomGenerator& generator, const LocalMoment& now) {
    for (int i = StirDrawCount(now); i > 0; --i)
        generator.Random(1000);
}

int PickAllowedPosition(RandomGenerator& generator, std::string_view allowed) {
    const auto count = static_cast<std::uint32_t>(std::count(allowed.begin(), allowed.end(), '1'));
    std::uint32_t remaining = generator.Random(count) + 1;
    for (std::size_t i = 0; i < allowed.size(); ++i)
        if (allowed[i] == '1' && --remaining == 0)
            return static_cast<int>(i);
    return static_cast<int>(allowed.size()) - 1;
}

namespace {

// A knob with nothing allowed is randomized to its middle value.
void AllowMiddleWhenNothingIs(SchemaEntry& entry) {
    const ParameterBinding& binding = entry.Binding();
    if (binding.kind != ControlKind::Knob || entry.allowed.find('1') != std::string::npos)
        return;
    const auto span = static_cast<std::size_t>(binding.max - binding.min + 1);
    if (entry.allowed.size() < span)
        entry.allowed.resize(span, '0');
    entry.allowed[span / 2] = '1';
}

} // namespace

int RandomValueFor(SchemaEntry& entry, RandomGenerator& generator, const LocalMoment& now) {
    StirGenerator(generator, now);
    AllowMiddleWhenNothingIs(entry);
    const int position = PickAllowedPosition(generator, entry.allowed);
    const ParameterBinding& binding = entry.Binding();
    return binding.kind == ControlKind::Knob ? binding.min + position : position;
}

int RandomValueFor(SchemaEntry& entry) {
    return RandomValueFor(entry, SharedGenerator(), SharedClock().localNow());
}
