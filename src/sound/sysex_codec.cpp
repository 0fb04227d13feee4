#include "sysex_codec.h"

#include <algorithm>

namespace {

constexpr int GroupSize = 8; // one flag byte and seven data bytes
constexpr int DataPerGroup = 7;
constexpr int PackedGroups = 32;   // 224 data bytes: parameters 0..223
constexpr int UnpackedGroups = 37; // 259 data bytes: everything a dump can hold
constexpr int EndOffset = 293;     // the F7 follows the header and 293 packed bytes

int ClampHeaderLength(int headerLength) {
    return std::clamp(headerLength, 0, ProgramDumpHeaderLength);
}

std::uint8_t ByteAt(std::span<const std::uint8_t> message, int position) {
    if (position < 0 || position >= ProgramDumpSize ||
        static_cast<std::size_t>(position) >= message.size())
        return 0;
    return message[static_cast<std::size_t>(position)];
}

// The edit buffer has no location bytes: its data starts two bytes earlier.
void MoveEditBufferIntoProgramLayout(TSoundRecord& record) {
    record[253] = SysExEnd;
    std::copy_backward(record.Bytes.begin() + 4, record.Bytes.begin() + 254, record.Bytes.end());
    record[4] = 0;
    record[5] = 0;
}

} // namespace

std::array<std::uint8_t, ProgramDumpSize> PackProgramData(const TSoundRecord& record,
                                                          int headerLength) {
    const int h = ClampHeaderLength(headerLength);
    std::array<std::uint8_t, ProgramDumpSize> out{};
    for (int i = 0; i < h; ++i)
        out[static_cast<std::size_t>(i)] = record[i];
    for (int g = 0; g < PackedGroups; ++g) {
        const int source = h + DataPerGroup * g;
        const auto flag = static_cast<std::size_t>(h + GroupSize * g);
        std::uint8_t flags = 0;
        for (int k = 0; k < DataPerGroup; ++k) {
            const std::uint8_t byte = record[source + k];
            flags |= static_cast<std::uint8_t>(((byte >> 7) & 1) << k);
            out[flag + 1 + static_cast<std::size_t>(k)] = byte & 0x7F;
        }
        out[flag] = flags;
    }
    out[static_cast<std::size_t>(h + EndOffset)] = SysExEnd;
    return out;
}

TSoundRecord UnpackProgramData(std::span<const std::uint8_t> message, int headerLength) {
    const int h = ClampHeaderLength(headerLength);
    TSoundRecord record;
    for (int i = 0; i < h; ++i)
        record[i] = ByteAt(message, i);
    for (int g = 0; g < UnpackedGroups; ++g) {
        const int flag = h + GroupSize * g;
        const std::uint8_t flags = ByteAt(message, flag);
        for (int k = 0; k < DataPerGroup; ++k) {
            const int target = h + DataPerGroup * g + k;
            if (target >= TSoundRecord::Size)
                break;
            const std::uint8_t top = ((flags >> k) & 1) ? 0x80 : 0x00;
            record[target] = ByteAt(message, flag + 1 + k) | top;
        }
    }
    if (headerLength == EditBufferHeaderLength)
        MoveEditBufferIntoProgramLayout(record);
    else
        record[SoundLayout::EndByte] = SysExEnd;
    return record;
}
