#include "sound_record.h"

#include <cstdio>

namespace Slots {

std::string Caption(int slot) {
    char text[16];
    std::snprintf(text, sizeof text, "%c%03d", BankLetter(BankOf(slot)), ProgramOf(slot) + 1);
    return text;
}

std::string Ranges(const std::vector<int>& slots) {
    std::string text;
    for (std::size_t first = 0; first < slots.size();) {
        std::size_t last = first;
        while (last + 1 < slots.size() && slots[last + 1] == slots[last] + 1)
            ++last;
        text += (text.empty() ? "" : ", ") + Caption(slots[first]);
        if (last > first)
            text += " to " + Caption(slots[last]);
        first = last + 1;
    }
    return text;
}

int FromCaption(std::string_view caption) {
    if (caption.size() != 4)
        return -1;
    const int bank = caption[0] - 'A';
    if (bank < 0 || bank >= BankCount)
        return -1;
    int number = 0;
    for (char digit : caption.substr(1)) {
        if (digit < '0' || digit > '9')
            return -1;
        number = number * 10 + (digit - '0');
    }
    if (number < 1 || number > ProgramsPerBank)
        return -1;
    return Of(bank, number - 1);
}

} // namespace Slots

std::string GetSoundName(const TSoundRecord& record) {
    std::string name;
    for (int i = 0; i < SoundLayout::NameLength; ++i) {
        const std::uint8_t byte = record[SoundLayout::NameOffset + i];
        if (byte >= 32)
            name += static_cast<char>(byte);
    }
    return name;
}

void SetSoundName(TSoundRecord& record, std::string_view name) {
    for (int i = 0; i < SoundLayout::NameLength; ++i) {
        const auto index = static_cast<std::size_t>(i);
        record[SoundLayout::NameOffset + i] =
            index < name.size() ? static_cast<std::uint8_t>(name[index]) : ' ';
    }
}

namespace {
// Windows-1252 differs from Latin-1 only in 0x80..0x9F; its five unassigned
// codes there map to the C1 control of the same number, as Windows does.
constexpr char32_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}
} // namespace

char32_t Cp1252ToUnicode(std::uint8_t byte) {
    if (byte >= 0x80 && byte < 0xA0)
        return Cp1252High[byte - 0x80];
    return byte;
}

std::uint8_t UnicodeToCp1252(char32_t character) {
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF))
        return static_cast<std::uint8_t>(character);
    for (int i = 0; i < 32; ++i)
        if (Cp1252High[i] == character)
            return static_cast<std::uint8_t>(0x80 + i);
    return '?';
}

std::string NameToUtf8(std::string_view nameBytes) {
    std::string out;
    out.reserve(nameBytes.size() * 2);
    for (char byte : nameBytes)
        AppendUtf8(out, Cp1252ToUnicode(static_cast<std::uint8_t>(byte)));
    return out;
}

std::u16string NameToUtf16(std::string_view nameBytes) {
    std::u16string text;
    text.reserve(nameBytes.size());
    for (char byte : nameBytes)
        text += static_cast<char16_t>(Cp1252ToUnicode(static_cast<std::uint8_t>(byte)));
    return text;
}

std::string Utf16ToName(std::u16string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (char16_t unit : text)
        bytes += static_cast<char>(UnicodeToCp1252(unit));
    return bytes;
}
