#pragma once

#include "parameter_binding.h"
#include "sound_record.h"

#include <cstdint>
#include <random>
#include <string_view>

// Sounds whose every control shows a value of its own range, built from
// control values with the parameter table's byte rules.

// Random control values; every list shows an item, every oscillator shape
// the pulse wave now and then.
inline ControlValues RandomControlValues(std::uint32_t seed) {
    std::mt19937 random(seed);
    ControlValues values{};
    for (std::size_t row = 0; row < ParameterBindings.size(); ++row) {
        const ParameterBinding& binding = ParameterBindings[row];
        std::uniform_int_distribution<int> pick(binding.min, binding.max);
        values[row] = pick(random);
    }
    return values;
}

inline TSoundRecord SoundOfValues(const ControlValues& values, std::string_view name) {
    TSoundRecord sound;
    sound[SoundLayout::StartByte] = 0xF0;
    sound[SoundLayout::MakerByte] = 0x01;
    sound[SoundLayout::DeviceByte] = 0x25;
    sound[SoundLayout::CommandByte] = 0x02;
    sound[SoundLayout::EndByte] = 0xF7;
    for (std::size_t row = 0; row < ParameterBindings.size(); ++row) {
        const ParameterBinding& binding = ParameterBindings[row];
        sound[SoundLayout::ParameterByte(binding.parameter)] = ByteForValue(binding, values[row]);
    }
    // A shape list and its pulse-width knob share one byte.
    for (const auto& [shape, width] : {std::pair{"cmbOsc1Shape", "knobOsc1Pulsewidth"},
                                       std::pair{"cmbOsc2Shape", "knobOsc2Pulsewidth"}}) {
        const ParameterBinding& binding = ParameterBindings[BindingIndex(shape)];
        sound[SoundLayout::ParameterByte(binding.parameter)] =
            ShapeByte(values[static_cast<std::size_t>(BindingIndex(shape))],
                      values[static_cast<std::size_t>(BindingIndex(width))]);
    }
    SetSoundName(sound, name);
    return sound;
}

inline TSoundRecord RandomSound(std::uint32_t seed, std::string_view name) {
    return SoundOfValues(RandomControlValues(seed), name);
}
