#pragma once

#include <array>
#include <optional>
#include <string_view>

// The kinds of sound the catalogue sorts by, guessed from a sound's name when
// it is first seen; the user may change a sound's category later.
enum class SoundCategory {
    Bass,
    Lead,
    Pad,
    Keys,
    Brass,
    Strings,
    Pluck,
    Fx,
    Percussion,
    Sequence,
    Other,
};
inline constexpr int SoundCategoryCount = 11;

// Every category, in the order lists show them.
extern const std::array<SoundCategory, SoundCategoryCount> AllSoundCategories;

// "bass", "lead", ... "sequence/arp", "other": the word stored in the
// catalogue file and typed on the command line.
std::string_view CategoryKey(SoundCategory category);
// The category a key names, ignoring case; "sequence" and "arp" both name
// the sequence category. Nothing for an unknown word.
std::optional<SoundCategory> CategoryFromKey(std::string_view key);
// "Bass", "Sequence/Arp": for lists in windows.
std::string_view CategoryCaption(SoundCategory category);

// The category the words of a name (Windows-1252 bytes) suggest. The last
// word that names one decides, as names tend to end in what the sound is:
// "Bass Lead" is a lead, "Arp Bass" a bass. A name with no such word is
// "other".
SoundCategory GuessCategory(std::string_view nameBytes);
