#pragma once

#include "parameter_binding.h"
#include "sound_record.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <utility>

// Sounds the tests start from.

// A sound every control can show: each parameter in the middle of its range,
// oscillator 1 a sawtooth, oscillator 2 a pulse of width 50, named "Test Sound".
inline TSoundRecord PlausibleSound() {
    TSoundRecord sound;
    sound.Bytes = {0xF0, 0x01, 0x25, 0x03, 0x00, 0x00};
    for (const ParameterBinding& binding : ParameterBindings)
        sound[SoundLayout::ParameterByte(binding.parameter)] =
            ByteForValue(binding, (binding.min + binding.max) / 2);
    sound[SoundLayout::ParameterByte(2)] = 1;  // Sawtooth
    sound[SoundLayout::ParameterByte(8)] = 54; // Pulse Wave, width 50
    SetSoundName(sound, "Test Sound");
    sound[SoundLayout::EndByte] = 0xF7;
    return sound;
}

// A sound every control can show with values spread over each control's
// range, the name "Warm Bass", and bytes no control shows after the name
// (parameter p holds p).
inline TSoundRecord PlainSound() {
    TSoundRecord sound;
    sound.Bytes = {0xF0, 0x01, 0x25, 0x03, 0x00, 0x00};
    const auto set = [&sound](int parameter, int byte) {
        sound[SoundLayout::ParameterByte(parameter)] = static_cast<std::uint8_t>(byte);
    };
    for (int i = 0; i < BoundControlCount; ++i) {
        const ParameterBinding& row = ParameterBindings[static_cast<std::size_t>(i)];
        set(row.parameter, ByteForValue(row, row.min + (i * 37) % (row.max - row.min + 1)));
    }
    set(2, ShapeByte(4, 50));
    set(8, ShapeByte(1, 0));
    set(98, 0);
    set(100, 0);
    constexpr std::string_view name = "Warm Bass       ";
    for (int i = 0; i < SoundLayout::NameLength; ++i)
        sound[SoundLayout::NameOffset + i] =
            static_cast<std::uint8_t>(name[static_cast<std::size_t>(i)]);
    for (int p = 200; p < SoundLayout::ParameterCount; ++p)
        set(p, p);
    sound[SoundLayout::EndByte] = 0xF7;
    return sound;
}

// A sound of zero bytes but the given parameter bytes (parameter, byte).
inline TSoundRecord SoundWith(std::initializer_list<std::pair<int, int>> parameters) {
    TSoundRecord sound;
    for (const auto& [parameter, byte] : parameters)
        sound[SoundLayout::ParameterByte(parameter)] = static_cast<std::uint8_t>(byte);
    return sound;
}

// The same with a name.
inline TSoundRecord NamedSound(std::string_view name,
                               std::initializer_list<std::pair<int, int>> parameters = {}) {
    TSoundRecord sound = SoundWith(parameters);
    SetSoundName(sound, name);
    return sound;
}
