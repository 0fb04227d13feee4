#pragma once

#include "bank_file.h"
#include "support/sound_builder.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

// Collections of bank files like a musician's: random valid sounds with
// names as people give them, some of them repeated under other names and in
// other files, for the catalogue's pictures, tests and benchmark.
namespace catalogue_data {

inline std::string RealisticName(std::mt19937& random) {
    static const std::array<const char*, 24> adjectives = {
        "Fat",   "Warm",   "Acid",  "Dark", "Soft",  "Big",    "Deep",   "Glass",
        "Dirty", "Analog", "Old",   "Wide", "Thin",  "Hollow", "Sync",   "Bright",
        "Slow",  "Fast",   "Funky", "Sub",  "Metal", "Dusty",  "Cosmic", "Vintage"};
    static const std::array<const char*, 22> nouns = {
        "Bass", "Lead",  "Pad",   "Keys",     "Brass", "Strings", "Pluck", "FX",
        "Drum", "Arp",   "Seq",   "Organ",    "Bell",  "Choir",   "Sweep", "Kick",
        "Horn", "Piano", "Noise", "Sub Bass", "Harp",  "Drone"};
    // Appended piece by piece: GCC 12 warns wrongly about chained + on strings.
    std::string name = adjectives[random() % adjectives.size()];
    name += ' ';
    name += nouns[random() % nouns.size()];
    if (random() % 3 == 0) {
        name += ' ';
        name += static_cast<char>('1' + random() % 9);
    }
    return name.substr(0, SoundLayout::NameLength);
}

// A valid sound with random parameters and a realistic name.
inline TSoundRecord RandomSound(std::mt19937& random) {
    TSoundRecord sound = sound_builder::Sound("", 0);
    for (int p = 0; p < SoundLayout::SentParameterCount; ++p)
        sound[SoundLayout::ParameterByte(p)] = static_cast<std::uint8_t>(random() % 128);
    SetSoundName(sound, RealisticName(random));
    return sound;
}

// Writes `files` banks of 384 sounds into `folder` (bank-NNN.syx), with
// about one sound in ten taken again from an earlier bank, half of those
// renamed. Returns the paths.
inline std::vector<std::string> WriteBanks(const std::filesystem::path& folder, int files,
                                           unsigned seed) {
    std::mt19937 random(seed);
    std::vector<TSoundRecord> made;
    std::vector<std::string> paths;
    std::filesystem::create_directories(folder);
    for (int file = 0; file < files; ++file) {
        std::vector<TSoundRecord> bank;
        for (int slot = 0; slot < Slots::Count; ++slot) {
            if (!made.empty() && random() % 10 == 0) {
                TSoundRecord again = made[random() % made.size()];
                if (random() % 2)
                    SetSoundName(again, RealisticName(random));
                bank.push_back(again);
            } else {
                bank.push_back(RandomSound(random));
                made.push_back(bank.back());
            }
        }
        char name[32];
        std::snprintf(name, sizeof name, "bank-%03d.syx", file + 1);
        paths.push_back((folder / name).string());
        sound_builder::WriteBank(paths.back(), bank);
    }
    return paths;
}

} // namespace catalogue_data
