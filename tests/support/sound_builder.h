#pragma once

#include "bank_file.h"
#include "parameter_binding.h"
#include "sound_record.h"

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Sounds for tests.
namespace sound_builder {

// A valid program dump whose parameters follow from a seed, so different
// seeds give different sounds and the same seed the same one.
inline TSoundRecord Sound(std::string_view name, int seed = 0) {
    TSoundRecord sound;
    const std::uint8_t header[] = {0xF0, 0x01, 0x25, 0x02, 0x00, 0x00};
    for (int i = 0; i < SoundLayout::HeaderSize; ++i)
        sound[i] = header[i];
    // Only the parameters a bank file carries, so a sound reads back equal.
    for (int p = 0; p < SoundLayout::SentParameterCount; ++p)
        sound[SoundLayout::ParameterByte(p)] = static_cast<std::uint8_t>((p * 7 + seed * 13) % 100);
    sound[SoundLayout::EndByte] = 0xF7;
    SetSoundName(sound, name);
    return sound;
}

// A bank file of the sounds in slots 0, 1, ... in order.
inline std::vector<std::uint8_t> BankBytes(std::span<const TSoundRecord> sounds) {
    std::vector<BankFileRecord> records;
    for (const TSoundRecord& sound : sounds)
        records.push_back({static_cast<int>(records.size()), sound});
    return BankFileBytes(records);
}

inline void WriteFile(const std::string& path, std::span<const std::uint8_t> bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

inline void WriteBank(const std::string& path, std::span<const TSoundRecord> sounds) {
    WriteFile(path, BankBytes(sounds));
}

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
inline TSoundRecord SoundWith(std::string_view name,
                              std::initializer_list<std::pair<int, int>> parameters) {
    TSoundRecord sound = SoundWith(parameters);
    SetSoundName(sound, name);
    return sound;
}

} // namespace sound_builder
