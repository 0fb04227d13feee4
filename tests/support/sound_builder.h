#pragma once

#include "bank_file.h"
#include "sound_record.h"

#include <cstdint>
#include <fstream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Sounds for tests: valid program dumps whose parameters follow from a seed,
// so different seeds give different sounds and the same seed the same one.
namespace sound_builder {

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

} // namespace sound_builder
