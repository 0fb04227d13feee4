#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One sound in memory: the unpacked image of a program-dump message.
// Bytes 0..5 are the header of the message the sound arrived in, parameter p
// sits at byte p + 6 (p = 0..248) and byte 255 is the end byte F7.
struct TSoundRecord {
    static constexpr int Size = 256;
    std::array<std::uint8_t, Size> Bytes{};

    std::uint8_t& operator[](int i) { return Bytes[static_cast<std::size_t>(i)]; }
    std::uint8_t operator[](int i) const { return Bytes[static_cast<std::size_t>(i)]; }
    bool operator==(const TSoundRecord&) const = default;
};
static_assert(sizeof(TSoundRecord) == TSoundRecord::Size);

namespace SoundLayout {
constexpr int HeaderSize = 6;
constexpr int StartByte = 0;
constexpr int MakerByte = 1;
constexpr int DeviceByte = 2;
constexpr int CommandByte = 3;
constexpr int BankByte = 4;
constexpr int ProgramByte = 5;
constexpr int EndByte = 255;

constexpr int ParameterCount = 249;     // parameters 0..248 are held in memory
constexpr int SentParameterCount = 224; // parameters 0..223 leave the program
constexpr int NameParameter = 184;
constexpr int NameLength = 16;

constexpr int ParameterByte(int parameter) {
    return parameter + HeaderSize;
}
constexpr int NameOffset = ParameterByte(NameParameter); // byte 190
} // namespace SoundLayout

// Locations: three banks of 128 programs, slot = bank * 128 + program.
namespace Slots {
constexpr int BankCount = 3;
constexpr int ProgramsPerBank = 128;
constexpr int Count = BankCount * ProgramsPerBank;

constexpr int Of(int bank, int program) {
    return bank * ProgramsPerBank + program;
}
constexpr int BankOf(int slot) {
    return slot / ProgramsPerBank;
}
constexpr int ProgramOf(int slot) {
    return slot % ProgramsPerBank;
}
constexpr bool IsValid(int slot) {
    return slot >= 0 && slot < Count;
}
constexpr char BankLetter(int bank) {
    return static_cast<char>('A' + bank);
}

// "A001".."C128": the bank letter and the 1-based program with three digits.
std::string Caption(int slot);
// The slot a caption such as "B010" names, or -1 when it names none.
int FromCaption(std::string_view caption);
// "A001 to A005, C128": the slots in the given order, runs of neighbours joined.
std::string Ranges(const std::vector<int>& slots);
} // namespace Slots

// The 16 name bytes in order, bytes below 32 dropped; trailing spaces stay.
std::string GetSoundName(const TSoundRecord& record);
// Pads the name with spaces to 16 characters and writes its first 16 bytes.
void SetSoundName(TSoundRecord& record, std::string_view name);

// The name of a never-filled slot.
inline constexpr std::string_view EmptySoundName = "empty";

// Name bytes are single-byte Windows-1252 characters; these convert them for display.
std::string NameToUtf8(std::string_view nameBytes);
char32_t Cp1252ToUnicode(std::uint8_t byte);
// The Windows-1252 byte for a character, or '?' when it has none.
std::uint8_t UnicodeToCp1252(char32_t character);
// For text fields: one UTF-16 unit per name byte, and back; a unit without a
// Windows-1252 byte (either half of a surrogate pair, say) becomes '?'.
std::u16string NameToUtf16(std::string_view nameBytes);
std::string Utf16ToName(std::u16string_view text);
