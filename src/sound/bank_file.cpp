#include "bank_file.h"

#include "sysex_codec.h"
#include "sysex_messages.h"

#include <stdexcept>

namespace {

std::string Quoted(std::string_view fileName) {
    std::string quoted;
    quoted.reserve(fileName.size() + 2);
    quoted.append(1, '"').append(fileName).append(1, '"');
    return quoted;
}

bool IsProgramDump(std::span<const std::uint8_t> block) {
    return block.front() == SysExStart && block.back() == SysExEnd;
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
    return "Record " + std::to_string(position) + " of " + Quoted(fileName) +
           " is not a program dump (it does not begin with F0 and end with F7) and was "
           "not loaded.";
}

std::string NoSlotProblem(std::string_view fileName, std::size_t position,
                          const TSoundRecord& record) {
    return "Record " + std::to_string(position) + " of " + Quoted(fileName) + " names bank " +
           std::to_string(record[SoundLayout::BankByte]) + ", program " +
           std::to_string(record[SoundLayout::ProgramByte]) +
           ", which is no slot, and was not loaded.";
}

std::string TruncatedProblem(std::string_view fileName, std::size_t ignored) {
    return "The last " + std::to_string(ignored) + (ignored == 1 ? " byte" : " bytes") + " of " +
           Quoted(fileName) + " are an incomplete record and were ignored.";
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
    contents.completeBlocks = bytes.size() / BankFileRecordSize;
    contents.records.reserve(contents.completeBlocks);
    for (std::size_t i = 0; i < contents.completeBlocks; ++i) {
        const auto block = bytes.subspan(i * BankFileRecordSize, BankFileRecordSize);
        const std::size_t position = i + 1;
        if (!IsProgramDump(block)) {
            contents.problems.push_back(NotADumpProblem(fileName, position));
            continue;
        }
        const TSoundRecord record = UnpackProgramData(block, ProgramDumpHeaderLength);
        const int slot = SlotNamedBy(record);
        if (slot < 0) {
            contents.problems.push_back(NoSlotProblem(fileName, position, record));
            continue;
        }
        contents.records.push_back({slot, record});
    }
    if (const std::size_t rest = bytes.size() % BankFileRecordSize; rest != 0)
        contents.problems.push_back(TruncatedProblem(fileName, rest));
    return contents;
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
