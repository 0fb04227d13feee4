#include "jack_output.h"

#include "lock_free_queue.h"
#include "midi_service.h"

#include <jack/jack.h>
#include <jack/midiport.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <optional>
#include <thread>

namespace {
// A MIDI port buffer holds as many bytes as an audio buffer of the period
// (four per frame) or more; each event takes a header of its own.
constexpr std::size_t BytesPerFrame = 4;
constexpr std::size_t EventOverhead = 16;
constexpr std::size_t SmallestPortShare = 1024;
// Long messages wait here: a whole bank file's worth of program dumps is
// handed over in a few pieces. Each message is a record: length, bytes.
constexpr std::size_t RingBytes = 1 << 16;
using RecordLength = std::uint32_t;
// Short messages from a fast controller for several cycles.
constexpr std::size_t ShortQueueLength = 1024;
// A server whose cycles have stopped for this long is taken as gone.
constexpr auto StalledServer = std::chrono::seconds(3);
constexpr auto PollInterval = std::chrono::microseconds(250);

std::size_t ShortMessageLength(std::uint8_t status) {
    switch (status & 0xF0) {
    case 0x80:
    case 0x90:
    case 0xA0:
    case 0xB0:
    case 0xE0:
        return 3;
    case 0xC0:
    case 0xD0:
        return 2;
    case 0xF0:
        if (status == 0xF2)
            return 3;
        if (status == 0xF1 || status == 0xF3)
            return 2;
        return 1;
    default:
        return 0; // no status byte: nothing to send
    }
}
// Short messages that leave in the same cycle, one after another.
struct ShortGroup {
    std::array<std::uint32_t, JackOutput::MaxGroup> messages{};
    std::size_t count = 0;
};
} // namespace

struct JackOutput::State {
    jack_client_t* client = nullptr;
    jack_port_t* port = nullptr;
    ByteRing<RingBytes> ring;
    std::size_t portBufferBytes = 0;
    LockFreeQueue<ShortGroup, ShortQueueLength> shorts;

    // Written by the process callback only.
    std::optional<ShortGroup> heldBack; // did not fit the last cycle
    std::size_t recordLeft = 0;         // bytes of a long record still to go out in later events
    // Shared with the sending threads.
    std::atomic<std::uint64_t> cycles{0};
    std::atomic<std::uint64_t> consumed{0}; // ring bytes taken out, headers included
    std::atomic<bool> serverGone{false};
    // Sending threads only (under JackOutput::senders_).
    std::uint64_t written = 0;

    ~State() {
        if (client) {
            if (!serverGone)
                jack_deactivate(client);
            jack_client_close(client);
        }
    }

    static int Process(jack_nframes_t frames, void* self) {
        static_cast<State*>(self)->Cycle(frames);
        return 0;
    }
    static void Shutdown(jack_status_t, const char*, void* self) {
        static_cast<State*>(self)->serverGone = true;
    }

    // Runs on JACK's real-time thread: no locks, no waiting, no allocation.
    void Cycle(jack_nframes_t frames) {
        void* buffer = jack_port_get_buffer(port, frames);
        jack_midi_clear_buffer(buffer);
        // Short messages first, but never inside a SysEx message on its way.
        if (recordLeft == 0)
            WriteShortMessages(buffer);
        WriteLongMessages(buffer, BytesPerCycle(portBufferBytes, frames));
        cycles.fetch_add(1, std::memory_order_release);
    }

    void WriteShortMessages(void* buffer) {
        for (;;) {
            if (!heldBack)
                heldBack = shorts.TryPop();
            if (!heldBack)
                return;
            // A group goes whole or waits for the next cycle.
            if (jack_midi_max_event_size(buffer) < heldBack->count * (3 + EventOverhead))
                return;
            for (std::size_t m = 0; m < heldBack->count; ++m) {
                const std::uint32_t packed = heldBack->messages[m];
                const auto status = static_cast<std::uint8_t>(packed & 0xFF);
                const std::size_t length = ShortMessageLength(status);
                if (length == 0)
                    continue;
                jack_midi_data_t bytes[3];
                for (std::size_t i = 0; i < length; ++i)
                    bytes[i] = static_cast<jack_midi_data_t>((packed >> (8 * i)) & 0xFF);
                jack_midi_event_write(buffer, 0, bytes, length);
            }
            heldBack.reset();
        }
    }

    void WriteLongMessages(void* buffer, std::size_t budget) {
        std::size_t used = 0;
        std::uint64_t taken = 0;
        while (used + EventOverhead < budget) {
            const std::size_t available = ring.ReadSpace();
            if (recordLeft == 0) {
                RecordLength length = 0;
                if (available < sizeof length)
                    break;
                ring.Peek(reinterpret_cast<std::uint8_t*>(&length), sizeof length);
                if (length + EventOverhead <= budget) {
                    // A message that fits a cycle goes as one event, once it
                    // is all there and fits what is left of this cycle.
                    if (available < sizeof length + length ||
                        used + length + EventOverhead > budget)
                        break;
                    jack_midi_data_t* event = jack_midi_event_reserve(buffer, 0, length);
                    if (!event)
                        break;
                    ring.Skip(sizeof length);
                    ring.Read(event, length);
                    used += length + EventOverhead;
                    taken += sizeof length + length;
                    continue;
                }
                // Longer ones go in pieces over several cycles; receivers
                // join the pieces of a SysEx message again.
                ring.Skip(sizeof length);
                taken += sizeof length;
                recordLeft = length;
                continue;
            }
            const std::size_t piece =
                std::min({recordLeft, budget - used - EventOverhead, ring.ReadSpace()});
            if (piece == 0)
                break;
            jack_midi_data_t* event = jack_midi_event_reserve(buffer, 0, piece);
            if (!event)
                break;
            ring.Read(event, piece);
            recordLeft -= piece;
            used += piece + EventOverhead;
            taken += piece;
        }
        if (taken > 0)
            consumed.fetch_add(taken, std::memory_order_release);
    }
};

std::size_t JackOutput::BytesPerCycle(std::size_t portBufferBytes, std::uint32_t frames) {
    const std::size_t share = std::max(std::size_t{frames} * BytesPerFrame, SmallestPortShare);
    // A server that does not say what its ports hold: an audio buffer's worth.
    return (portBufferBytes == 0 ? share : std::min(share, portBufferBytes)) / 2;
}

std::unique_ptr<JackOutput> JackOutput::Open(const std::string& clientName,
                                             const std::string& portName,
                                             const std::string& destination, MidiError& error) {
    error = MidiError::Failed;
    auto state = std::make_unique<State>();
    jack_status_t status{};
    state->client = jack_client_open(clientName.c_str(), JackNoStartServer, &status);
    if (!state->client)
        return nullptr;
    state->port = jack_port_register(state->client, portName.c_str(), JACK_DEFAULT_MIDI_TYPE,
                                     JackPortIsOutput, 0);
    if (!state->port)
        return nullptr;
    state->portBufferBytes = jack_port_type_get_buffer_size(state->client, JACK_DEFAULT_MIDI_TYPE);
    jack_set_process_callback(state->client, &State::Process, state.get());
    jack_on_info_shutdown(state->client, &State::Shutdown, state.get());
    if (jack_activate(state->client) != 0)
        return nullptr;
    if (jack_connect(state->client, jack_port_name(state->port), destination.c_str()) != 0) {
        error = MidiError::BadDevice; // gone since it was listed
        return nullptr;
    }
    error = MidiError::None;
    return std::unique_ptr<JackOutput>(new JackOutput(std::move(state)));
}

JackOutput::JackOutput(std::unique_ptr<State> state) : state_(std::move(state)) {}

JackOutput::~JackOutput() {
    WaitUntilDelivered();
}

MidiError JackOutput::Problem() const {
    if (state_->serverGone)
        return MidiError::ServerStopped;
    if (jack_port_connected(state_->port) == 0)
        return MidiError::DestinationGone;
    return MidiError::None;
}

template <typename Done> MidiError JackOutput::WaitUntil(Done done) {
    auto lastCycle = state_->cycles.load(std::memory_order_acquire);
    auto lastProgress = std::chrono::steady_clock::now();
    while (!done()) {
        if (const MidiError problem = Problem(); problem != MidiError::None)
            return problem;
        std::this_thread::sleep_for(PollInterval);
        const auto now = std::chrono::steady_clock::now();
        if (const auto cycle = state_->cycles.load(std::memory_order_acquire); cycle != lastCycle) {
            lastCycle = cycle;
            lastProgress = now;
        } else if (now - lastProgress > StalledServer) {
            return MidiError::ServerStopped;
        }
    }
    return MidiError::None;
}

MidiError JackOutput::SendShort(std::uint32_t packed) {
    return SendShorts(std::span<const std::uint32_t>(&packed, 1));
}

MidiError JackOutput::SendShorts(std::span<const std::uint32_t> messages) {
    if (state_->serverGone)
        return MidiError::ServerStopped;
    while (!messages.empty()) {
        ShortGroup group;
        group.count = std::min(messages.size(), MaxGroup);
        std::copy_n(messages.begin(), group.count, group.messages.begin());
        if (!state_->shorts.TryPush(group))
            return MidiError::NotReady;
        messages = messages.subspan(group.count);
    }
    return MidiError::None;
}

MidiError JackOutput::SendLong(const std::vector<std::span<const std::uint8_t>>& messages) {
    std::lock_guard lock(senders_);
    if (const MidiError problem = Problem(); problem != MidiError::None)
        return problem;
    for (const auto message : messages)
        if (const MidiError result = HandOver(message); result != MidiError::None)
            return result;
    const std::uint64_t written = state_->written;
    return WaitUntil([&] { return state_->consumed.load(std::memory_order_acquire) >= written; });
}

// Puts one message into the ring as a record, waiting for room as needed.
MidiError JackOutput::HandOver(std::span<const std::uint8_t> bytes) {
    auto& ring = state_->ring;
    const auto length = static_cast<RecordLength>(bytes.size());
    if (length == 0)
        return MidiError::None;
    MidiError result = WaitUntil([&] { return ring.WriteSpace() >= sizeof length; });
    if (result != MidiError::None)
        return result;
    ring.Write(reinterpret_cast<const std::uint8_t*>(&length), sizeof length);
    state_->written += sizeof length;
    // The bytes follow as the callback makes room for them.
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        result = WaitUntil([&] { return ring.WriteSpace() > 0; });
        if (result != MidiError::None)
            return result;
        const std::size_t piece = std::min(bytes.size() - sent, ring.WriteSpace());
        ring.Write(bytes.data() + sent, piece);
        sent += piece;
        state_->written += piece;
    }
    return MidiError::None;
}

MidiError JackOutput::WaitUntilDelivered() {
    std::lock_guard lock(senders_);
    const std::uint64_t written = state_->written;
    if (const MidiError result =
            WaitUntil([&] { return state_->consumed.load(std::memory_order_acquire) >= written; });
        result != MidiError::None)
        return result;
    // Bytes written during one cycle reach the other end in that cycle or the next.
    const std::uint64_t cycle = state_->cycles.load(std::memory_order_acquire);
    return WaitUntil([&] { return state_->cycles.load(std::memory_order_acquire) >= cycle + 2; });
}
