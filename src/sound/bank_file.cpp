#include "bank_file.h"

#include "sysex_codec.h"
#include "sysex_messages.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

namespace {

std::string Quoted(std::string_view fileName) {
    std::string quoted;
    quoted.reserve(fileName.size() + 2);
    quoted.append(1, '"').append(fileName).append(1, '"');
    return quoted;
}

constexpr std::uint8_t MakerId = 0x01;  // Dave Smith Instruments
constexpr std::uint8_t FamilyId = 0x25; // the Mopho
constexpr std::uint8_t ProgramDumpCommand = 0x02;
constexpr std::size_t MakerByte = 1;
constexpr std::size_t FamilyByte = 2;
constexpr std::size_t CommandByte = 3;
constexpr std::uint8_t FirstStatusByte = 0x80;

std::string Hex(std::uint8_t byte) {
    constexpr char digits[] = "0123456789ABCDEF";
    return {digits[byte >> 4], digits[byte & 0x0F]};
}

// One stretch of the file: a message from F0 to F7, a message cut short
// (no F7 before the next F0 or the end), or bytes outside any message.
struct FilePart {
    std::span<const std::uint8_t> bytes;
    bool isMessage = false; // begins with F0 and ends with F7
};

// A message runs to the last F7 before the next F0: an F7 among the data is
// then part of the message it damages, not the end of a short one. An F0
// with no F7 before the next F0 begins a message cut short.
std::vector<FilePart> SplitIntoParts(std::span<const std::uint8_t> bytes) {
    std::vector<FilePart> parts;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const auto from = bytes.begin() + static_cast<std::ptrdiff_t>(start);
        const auto nextStart = std::find(from + 1, bytes.end(), SysExStart);
        std::size_t end = static_cast<std::size_t>(nextStart - bytes.begin());
        bool isMessage = false;
        if (*from == SysExStart) {
            const auto last = std::find(std::make_reverse_iterator(nextStart),
                                        std::make_reverse_iterator(from + 1), SysExEnd);
            if (last.base() != from + 1) {
                end = static_cast<std::size_t>(last.base() - bytes.begin());
                isMessage = true;
            }
        }
        // A run of F0s with no F7 among them gives no hint where one record
        // ends and the next begins: it is one damaged record.
        const bool cutShort = !isMessage && *from == SysExStart;
        if (cutShort && !parts.empty() && !parts.back().isMessage &&
            parts.back().bytes.front() == SysExStart)
            parts.back().bytes = bytes.subspan(start - parts.back().bytes.size(),
                                               end - start + parts.back().bytes.size());
        else
            parts.push_back({bytes.subspan(start, end - start), isMessage});
        start = end;
    }
    return parts;
}

std::string RecordName(std::string_view fileName, std::size_t position) {
    return "Record " + std::to_string(position) + " of " + Quoted(fileName);
}

std::string NotThisMakersDumpProblem(std::string_view fileName, std::size_t position,
                                     std::span<const std::uint8_t> message) {
    std::string begins;
    for (std::size_t i = 0; i < std::min<std::size_t>(message.size(), 4); ++i)
        begins += (i == 0 ? "" : " ") + Hex(message[i]);
    return RecordName(fileName, position) + " is not a program dump of this maker (it begins " +
           begins + ", where a program dump begins F0 01 25 02) and was not loaded.";
}

std::string StatusByteProblem(std::string_view fileName, std::size_t position,
                              std::span<const std::uint8_t> message, std::size_t offset) {
    return RecordName(fileName, position) + " holds the status byte " + Hex(message[offset]) +
           " inside its data, at byte " + std::to_string(offset) +
           " of the record, and was not loaded.";
}

std::string LengthProblem(std::string_view fileName, std::size_t position, std::size_t size) {
    return RecordName(fileName, position) + " is " + std::to_string(size) +
           " bytes long, not the 300 of a program dump, and was not loaded.";
}

std::string OtherFamilyNote(std::string_view fileName, std::size_t position, std::uint8_t family) {
    return RecordName(fileName, position) +
           " is a program dump of another instrument of this maker (family byte " + Hex(family) +
           ", where the Mopho's is 25) and was loaded as a Mopho sound.";
}

// Bank 0..2 and program 0..127; a larger program byte would spill into the
// next bank, so it names no slot either.
int SlotNamedBy(const TSoundRecord& record) {
    const int bank = record[SoundLayout::BankByte];
    const int program = record[SoundLayout::ProgramByte];
    if (bank >= Slots::BankCount || program >= Slots::ProgramsPerBank)
        return -1;
    return Slots::Of(bank, program);
}

std::string NotADumpProblem(std::string_view fileName, std::size_t position) {
    return RecordName(fileName, position) +
           " is not a program dump (it does not begin with F0 and end with F7) and was "
           "not loaded.";
}

std::string NoSlotProblem(std::string_view fileName, std::size_t position,
                          const TSoundRecord& record) {
    return RecordName(fileName, position) + " names bank " +
           std::to_string(record[SoundLayout::BankByte]) + ", program " +
           std::to_string(record[SoundLayout::ProgramByte]) +
           ", which is no slot, and was not loaded.";
}

std::string TruncatedProblem(std::string_view fileName, std::size_t ignored) {
    if (ignored == 1)
        return "The last byte of " + Quoted(fileName) + " is an incomplete record and was ignored.";
    return "The last " + std::to_string(ignored) + " bytes of " + Quoted(fileName) +
           " are an incomplete record and were ignored.";
}

// The problem that keeps a complete message from loading, if any.
std::optional<std::string> MessageProblem(std::string_view fileName, std::size_t position,
                                          std::span<const std::uint8_t> message) {
    if (message.size() <= CommandByte || message[MakerByte] != MakerId ||
        message[CommandByte] != ProgramDumpCommand)
        return NotThisMakersDumpProblem(fileName, position, message);
    const auto data = message.subspan(1, message.size() - 2);
    const auto status = std::find_if(data.begin(), data.end(),
                                     [](std::uint8_t byte) { return byte >= FirstStatusByte; });
    if (status != data.end())
        return StatusByteProblem(fileName, position, message,
                                 static_cast<std::size_t>(status - data.begin()) + 1);
    if (message.size() != BankFileRecordSize)
        return LengthProblem(fileName, position, message.size());
    return std::nullopt;
}

void CheckSlot(int slot) {
    if (!Slots::IsValid(slot))
        throw std::out_of_range("slot " + std::to_string(slot) + " is outside 0..383");
}

void AppendRecord(std::vector<std::uint8_t>& bytes, int slot, const TSoundRecord& record) {
    const auto message = BankFileRecordBytes(slot, record);
    bytes.insert(bytes.end(), message.begin(), message.end());
}

} // namespace

BankFileContents ParseBankFile(std::span<const std::uint8_t> bytes, std::string_view fileName) {
    BankFileContents contents;
    const std::vector<FilePart> parts = SplitIntoParts(bytes);
    contents.parts = parts.size();
    contents.records.reserve(parts.size());
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const auto& [message, isMessage] = parts[i];
        const std::size_t position = i + 1;
        if (!isMessage) {
            // A message cut short by the end of the file, or bytes after the last one.
            const bool atTheEnd =
                position == parts.size() && (i > 0 || message.front() == SysExStart);
            contents.problems.push_back(atTheEnd ? TruncatedProblem(fileName, message.size())
                                                 : NotADumpProblem(fileName, position));
            continue;
        }
        ++contents.completeRecords;
        if (auto problem = MessageProblem(fileName, position, message)) {
            contents.problems.push_back(std::move(*problem));
            continue;
        }
        const TSoundRecord record = UnpackProgramData(message, ProgramDumpHeaderLength);
        const int slot = SlotNamedBy(record);
        if (slot < 0) {
            contents.problems.push_back(NoSlotProblem(fileName, position, record));
            continue;
        }
        if (message[FamilyByte] != FamilyId)
            contents.notes.push_back(OtherFamilyNote(fileName, position, message[FamilyByte]));
        contents.records.push_back({slot, record});
    }
    return contents;
}

std::optional<std::string> UnfinishedLastMessageProblem(std::span<const std::uint8_t> bytes,
                                                        std::string_view fileName) {
    if (bytes.empty() || bytes.back() == SysExEnd)
        return std::nullopt;
    return "The file " + Quoted(fileName) +
           " does not end with F7: its last message is unfinished and would run into the "
           "next message the instrument receives.";
}

std::vector<std::uint8_t> BankFileRecordBytes(int slot, const TSoundRecord& record) {
    CheckSlot(slot);
    return ProgramDumpMessage(record, Slots::BankOf(slot), Slots::ProgramOf(slot));
}

std::vector<std::uint8_t> BankFileBytes(std::span<const BankFileRecord> records) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(records.size() * BankFileRecordSize);
    for (const auto& [slot, record] : records)
        AppendRecord(bytes, slot, record);
    return bytes;
}

std::vector<std::uint8_t> BankFileBytes(std::span<const std::pair<int, TSoundRecord>> records) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(records.size() * BankFileRecordSize);
    for (const auto& [slot, record] : records)
        AppendRecord(bytes, slot, record);
    return bytes;
}

std::vector<std::uint8_t> BankFileBytes(std::span<const TSoundRecord, Slots::Count> banks) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(banks.size() * BankFileRecordSize);
    for (int slot = 0; slot < Slots::Count; ++slot)
        AppendRecord(bytes, slot, banks[static_cast<std::size_t>(slot)]);
    return bytes;
}

std::string SeparateFileName(std::string_view chosen, int row) {
    return std::string(chosen) + std::to_string(row + 1) + ".syx";
}
