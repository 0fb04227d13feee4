#include "sound_category.h"

#include "catalogue_text.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

const std::array<SoundCategory, SoundCategoryCount> AllSoundCategories = {
    SoundCategory::Bass,       SoundCategory::Lead,     SoundCategory::Pad,   SoundCategory::Keys,
    SoundCategory::Brass,      SoundCategory::Strings,  SoundCategory::Pluck, SoundCategory::Fx,
    SoundCategory::Percussion, SoundCategory::Sequence, SoundCategory::Other,
};

namespace {
struct CategoryNames {
    std::string_view key;
    std::string_view caption;
};
constexpr std::array<CategoryNames, SoundCategoryCount> Names = {{
    {"bass", "Bass"},
    {"lead", "Lead"},
    {"pad", "Pad"},
    {"keys", "Keys"},
    {"brass", "Brass"},
    {"strings", "Strings"},
    {"pluck", "Pluck"},
    {"fx", "FX"},
    {"percussion", "Percussion"},
    {"sequence/arp", "Sequence/Arp"},
    {"other", "Other"},
}};

struct NameWord {
    std::string_view word;
    SoundCategory category;
    bool prefix; // also the start of a longer word ("basses", "strings1")
};

// Words and the abbreviations musicians put into 16 characters.
constexpr NameWord Words[] = {
    {"bass", SoundCategory::Bass, true},
    {"bs", SoundCategory::Bass, false},
    {"sub", SoundCategory::Bass, false},
    {"808", SoundCategory::Bass, false},
    {"lead", SoundCategory::Lead, true},
    {"ld", SoundCategory::Lead, false},
    {"solo", SoundCategory::Lead, false},
    {"mono", SoundCategory::Lead, false},
    {"sync", SoundCategory::Lead, false},
    {"pad", SoundCategory::Pad, true},
    {"pd", SoundCategory::Pad, false},
    {"choir", SoundCategory::Pad, true},
    {"atmo", SoundCategory::Pad, true},
    {"drone", SoundCategory::Pad, true},
    {"sweep", SoundCategory::Pad, true},
    {"keys", SoundCategory::Keys, false},
    {"key", SoundCategory::Keys, false},
    {"piano", SoundCategory::Keys, true},
    {"pno", SoundCategory::Keys, false},
    {"ep", SoundCategory::Keys, false},
    {"organ", SoundCategory::Keys, true},
    {"org", SoundCategory::Keys, false},
    {"clav", SoundCategory::Keys, true},
    {"rhodes", SoundCategory::Keys, true},
    {"brass", SoundCategory::Brass, true},
    {"brs", SoundCategory::Brass, false},
    {"horn", SoundCategory::Brass, true},
    {"trumpet", SoundCategory::Brass, true},
    {"tpt", SoundCategory::Brass, false},
    {"sax", SoundCategory::Brass, true},
    {"string", SoundCategory::Strings, true},
    {"str", SoundCategory::Strings, false},
    {"strs", SoundCategory::Strings, false},
    {"violin", SoundCategory::Strings, true},
    {"cello", SoundCategory::Strings, true},
    {"viola", SoundCategory::Strings, true},
    {"pluck", SoundCategory::Pluck, true},
    {"plk", SoundCategory::Pluck, false},
    {"harp", SoundCategory::Pluck, true},
    {"guitar", SoundCategory::Pluck, true},
    {"gtr", SoundCategory::Pluck, false},
    {"koto", SoundCategory::Pluck, true},
    {"pizz", SoundCategory::Pluck, true},
    {"bell", SoundCategory::Pluck, true},
    {"fx", SoundCategory::Fx, false},
    {"sfx", SoundCategory::Fx, false},
    {"noise", SoundCategory::Fx, true},
    {"zap", SoundCategory::Fx, true},
    {"laser", SoundCategory::Fx, true},
    {"siren", SoundCategory::Fx, true},
    {"wind", SoundCategory::Fx, false},
    {"drum", SoundCategory::Percussion, true},
    {"drm", SoundCategory::Percussion, false},
    {"perc", SoundCategory::Percussion, true},
    {"kick", SoundCategory::Percussion, true},
    {"bd", SoundCategory::Percussion, false},
    {"snare", SoundCategory::Percussion, true},
    {"sd", SoundCategory::Percussion, false},
    {"hat", SoundCategory::Percussion, true},
    {"hihat", SoundCategory::Percussion, true},
    {"hh", SoundCategory::Percussion, false},
    {"tom", SoundCategory::Percussion, true},
    {"clap", SoundCategory::Percussion, true},
    {"cymbal", SoundCategory::Percussion, true},
    {"seq", SoundCategory::Sequence, true},
    {"arp", SoundCategory::Sequence, true},
    {"sequence", SoundCategory::Sequence, true},
};

std::optional<SoundCategory> CategoryOfWord(std::string_view word) {
    for (const NameWord& entry : Words) {
        if (word == entry.word)
            return entry.category;
        if (entry.prefix && word.size() > entry.word.size() && word.starts_with(entry.word))
            return entry.category;
    }
    return std::nullopt;
}

// Lower-case words of letters; digits stay with a word ("bass2" is a bass)
// but a word of digits alone only counts when listed ("808").
std::vector<std::string> NameWords(std::string_view nameBytes) {
    std::vector<std::string> words;
    std::string word;
    const auto flush = [&] {
        if (!word.empty())
            words.push_back(std::exchange(word, std::string()));
    };
    for (const char c : FoldCase(nameBytes)) {
        const auto byte = static_cast<unsigned char>(c);
        const bool letter = (byte >= 'a' && byte <= 'z') || byte >= 0xC0;
        const bool digit = byte >= '0' && byte <= '9';
        if (letter || digit)
            word += c;
        else
            flush();
    }
    flush();
    return words;
}

// Splits "FatBass" and "SubBass2" where lower case meets upper case.
std::string SplitCamelCase(std::string_view nameBytes) {
    std::string split;
    for (std::size_t i = 0; i < nameBytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(nameBytes[i]);
        const auto previous = i > 0 ? static_cast<unsigned char>(nameBytes[i - 1]) : 0;
        if (byte >= 'A' && byte <= 'Z' && previous >= 'a' && previous <= 'z')
            split += ' ';
        split += nameBytes[i];
    }
    return split;
}
} // namespace

std::string_view CategoryKey(SoundCategory category) {
    return Names[static_cast<std::size_t>(category)].key;
}

std::string_view CategoryCaption(SoundCategory category) {
    return Names[static_cast<std::size_t>(category)].caption;
}

std::optional<SoundCategory> CategoryFromKey(std::string_view key) {
    const std::string folded = FoldCase(key);
    if (folded == "sequence" || folded == "arp")
        return SoundCategory::Sequence;
    for (const SoundCategory category : AllSoundCategories) {
        if (CategoryKey(category) == folded)
            return category;
    }
    return std::nullopt;
}

SoundCategory GuessCategory(std::string_view nameBytes) {
    std::optional<SoundCategory> guess;
    for (const std::string& word : NameWords(SplitCamelCase(nameBytes))) {
        if (const auto category = CategoryOfWord(word))
            guess = category;
    }
    return guess.value_or(SoundCategory::Other);
}
