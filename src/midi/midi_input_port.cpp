#include "midi_input_port.h"

#include <algorithm>

namespace {
constexpr std::uint8_t StartOfExclusive = 0xF0;
constexpr std::uint8_t EndOfExclusive = 0xF7;
constexpr std::uint8_t FirstRealTime = 0xF8;

int ShortMessageLength(std::uint8_t status) {
    if (status < 0x80)
        return 1;
    switch (status & 0xF0) {
    case 0xC0:
    case 0xD0:
        return 2;
    case 0xF0:
        if (status == 0xF1 || status == 0xF3)
            return 2;
        if (status == 0xF2)
            return 3;
        return 1;
    default:
        return 3;
    }
}
// Real-time bytes (clock, active sensing) may legally sit inside a SysEx
// message; they are no part of it. Any other status byte before the closing
// F7 means the message was cut off: it is no reply.
bool IsCompleteSysEx(std::span<const std::uint8_t> message) {
    for (std::size_t i = 1; i < message.size(); ++i) {
        const std::uint8_t byte = message[i];
        if (byte == EndOfExclusive)
            return i + 1 == message.size();
        if (byte >= 0x80 && byte < FirstRealTime)
            return false;
    }
    return false;
}
} // namespace

MidiInputPort::MidiInputPort(MidiService::InputCallback callback)
    : callback_(std::move(callback)) {}

void MidiInputPort::QueueBuffer(std::uint8_t* buffer, std::size_t size) {
    std::lock_guard lock(mutex_);
    buffer_ = buffer;
    size_ = size;
    received_ = 0;
}

bool MidiInputPort::ReleaseBuffer() {
    std::lock_guard lock(mutex_);
    return buffer_ == nullptr;
}

std::size_t MidiInputPort::ReceivedBytes() const {
    std::lock_guard lock(mutex_);
    return received_;
}

void MidiInputPort::Deliver(std::span<const std::uint8_t> message) {
    if (message.empty() || !started_)
        return;
    if (message[0] == StartOfExclusive) {
        DeliverSysEx(message);
        return;
    }
    if (message[0] < 0x80 || message[0] == EndOfExclusive)
        return; // stray data or a lone end byte: no message
    if (callback_)
        callback_(MidiService::InputEvent::ShortData, PackedShortMessage(message));
}

void MidiInputPort::DeliverSysEx(std::span<const std::uint8_t> message) {
    std::size_t filled = 0;
    {
        std::lock_guard lock(mutex_);
        if (buffer_ == nullptr || !IsCompleteSysEx(message))
            return;
        // However long the message, no more than the buffer holds is copied.
        for (std::size_t i = 0; i < message.size() && filled < size_; ++i)
            if (message[i] < FirstRealTime)
                buffer_[filled++] = message[i];
        received_ = filled;
        buffer_ = nullptr; // handed back
    }
    for (std::size_t i = 1; i < message.size(); ++i)
        if (message[i] >= FirstRealTime && callback_)
            callback_(MidiService::InputEvent::ShortData, message[i]);
    if (callback_)
        callback_(MidiService::InputEvent::LongData, static_cast<std::uint32_t>(filled));
}

std::uint32_t PackedShortMessage(std::span<const std::uint8_t> bytes) {
    std::uint32_t packed = 0;
    for (std::size_t i = 0; i < bytes.size() && i < 3; ++i)
        packed |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    return packed;
}

std::vector<std::uint8_t> ShortMessageBytes(std::uint32_t packed) {
    const auto status = static_cast<std::uint8_t>(packed & 0xFF);
    std::vector<std::uint8_t> bytes;
    const int length = ShortMessageLength(status);
    for (int i = 0; i < length; ++i)
        bytes.push_back(static_cast<std::uint8_t>((packed >> (8 * i)) & 0xFF));
    return bytes;
}

std::vector<std::span<const std::uint8_t>>
SplitAfterEndOfExclusive(std::span<const std::uint8_t> bytes) {
    std::vector<std::span<const std::uint8_t>> pieces;
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == EndOfExclusive) {
            pieces.push_back(bytes.subspan(start, i + 1 - start));
            start = i + 1;
        }
    }
    if (start < bytes.size())
        pieces.push_back(bytes.subspan(start));
    return pieces;
}
