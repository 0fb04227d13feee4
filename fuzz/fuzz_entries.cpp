#include "fuzz_entries.h"

#include "bank_file.h"
#include "schema.h"
#include "sysex_codec.h"
#include "sysex_messages.h"

#include <algorithm>

namespace {

bool SameSentParameters(const TSoundRecord& a, const TSoundRecord& b) {
    const auto first = SoundLayout::ParameterByte(0);
    const auto end = SoundLayout::ParameterByte(SoundLayout::SentParameterCount);
    return std::equal(a.Bytes.begin() + first, a.Bytes.begin() + end, b.Bytes.begin() + first);
}

bool UnsentParametersAreZero(const TSoundRecord& record) {
    const auto first = SoundLayout::ParameterByte(SoundLayout::SentParameterCount);
    return std::all_of(record.Bytes.begin() + first, record.Bytes.begin() + SoundLayout::EndByte,
                       [](std::uint8_t byte) { return byte == 0; });
}

std::string CheckProgramDumpRoundTrip(const TSoundRecord& record) {
    const auto packed = PackProgramData(record, ProgramDumpHeaderLength);
    if (packed.back() != SysExEnd)
        return "a packed dump does not end with F7";
    if (std::any_of(packed.begin() + ProgramDumpHeaderLength, packed.end() - 1,
                    [](std::uint8_t byte) { return byte >= 0x80; }))
        return "a packed dump holds a byte of 128 or more";
    const TSoundRecord back = UnpackProgramData(packed, ProgramDumpHeaderLength);
    if (!std::equal(back.Bytes.begin(), back.Bytes.begin() + 6, record.Bytes.begin()))
        return "the header changed in a pack and unpack round trip";
    if (!SameSentParameters(back, record) || !UnsentParametersAreZero(back))
        return "parameters changed in a pack and unpack round trip";
    return {};
}

std::string CheckEditBufferRoundTrip(const TSoundRecord& record) {
    const auto message = EditBufferDumpMessage(record);
    if (message.size() != EditBufferDumpSize || message.back() != SysExEnd)
        return "an edit-buffer dump is not 298 bytes ending with F7";
    const TSoundRecord back = UnpackProgramData(message, EditBufferHeaderLength);
    if (back[3] != 0x03 || back[4] != 0 || back[5] != 0 || back[SoundLayout::EndByte] != SysExEnd)
        return "an unpacked edit-buffer dump has the wrong header or end byte";
    if (!SameSentParameters(back, record))
        return "parameters changed in an edit-buffer round trip";
    return {};
}

std::string CheckRewrittenFile(const BankFileContents& contents) {
    const auto rewritten = BankFileBytes(contents.records);
    const BankFileContents again = ParseBankFile(rewritten, "rewritten.syx");
    if (!again.problems.empty() || !again.notes.empty() ||
        again.records.size() != contents.records.size())
        return "records written again do not all read back";
    for (std::size_t i = 0; i < again.records.size(); ++i) {
        if (again.records[i].slot != contents.records[i].slot)
            return "a record written again reads back in another slot";
        if (!SameSentParameters(again.records[i].record, contents.records[i].record))
            return "a record written again reads back with other parameters";
    }
    return {};
}

} // namespace

std::string FuzzUnpackBlock(std::span<const std::uint8_t> data) {
    const TSoundRecord program = UnpackProgramData(data, ProgramDumpHeaderLength);
    if (program[SoundLayout::EndByte] != SysExEnd)
        return "an unpacked program dump does not end with F7";
    const TSoundRecord edit = UnpackProgramData(data, EditBufferHeaderLength);
    if (edit[4] != 0 || edit[5] != 0 || edit[SoundLayout::EndByte] != SysExEnd)
        return "an unpacked edit-buffer dump has location bytes or lacks F7";
    if (auto failure = CheckProgramDumpRoundTrip(program); !failure.empty())
        return failure;
    return CheckEditBufferRoundTrip(program);
}

std::string FuzzParseBankFile(std::span<const std::uint8_t> data) {
    const BankFileContents contents = ParseBankFile(data, "fuzz.syx");
    if ((contents.parts == 0) != data.empty() || contents.parts > data.size())
        return "the number of records does not fit the file's size";
    if (contents.records.size() + contents.problems.size() != contents.parts)
        return "a record was neither loaded nor reported";
    if (contents.completeRecords > contents.parts ||
        contents.records.size() > contents.completeRecords ||
        contents.notes.size() > contents.records.size())
        return "the counts of complete records, loaded records and notes do not fit";
    if (contents.records.size() * BankFileRecordSize > data.size())
        return "more records were loaded than the file can hold";
    for (const auto& [slot, record] : contents.records)
        if (!Slots::IsValid(slot) || record[SoundLayout::EndByte] != SysExEnd)
            return "a record names no slot or lacks its end byte";
    for (const auto* lines : {&contents.problems, &contents.notes})
        for (const std::string& line : *lines)
            if (line.empty() || line.find('\n') != std::string::npos)
                return "a problem or note is not one line";
    const bool unfinished = !data.empty() && data.back() != SysExEnd;
    if (UnfinishedLastMessageProblem(data, "fuzz.syx").has_value() != unfinished)
        return "a file without a final F7 is not named as unfinished, or one with it is";
    return CheckRewrittenFile(contents);
}

std::string FuzzParseSchema(std::span<const std::uint8_t> data) {
    const std::string_view text(reinterpret_cast<const char*>(data.data()), data.size());
    const SchemaList read = ReadSchemaText(text);
    if (read.size() != ParameterBindings.size())
        return "a schema read from a file does not hold every control";
    for (const SchemaEntry& entry : read) {
        const std::string& value = entry.allowed;
        if (value.find_first_of("\r\n") != std::string::npos ||
            (!value.empty() && (value.front() == ' ' || value.back() == ' ')))
            return "an allowed string read from a file holds a line break or outer blanks";
    }
    // Strings other than the ones read, so that every written line shows.
    ControlValues values{};
    for (std::size_t row = 0; row < values.size(); ++row)
        values[row] = ParameterBindings[row].max;
    const SchemaList written = DeriveSchemaFromSound(values, SchemaTolerances{});
    const std::string saved = SchemaFileText(text, written);
    const SchemaList back = ReadSchemaText(saved);
    for (std::size_t row = 0; row < written.size(); ++row)
        if (back[row].allowed != written[row].allowed)
            return "an entry written into a file reads back otherwise";
    if (SchemaFileText(saved, written) != saved)
        return "writing the same schema again changed the file";
    return {};
}
