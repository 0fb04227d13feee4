#pragma once

#include "midi_service.h"
#include <cstddef>

#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

// One MIDI output on the JACK server, with a client of its own whose
// process callback is the output's one sending path. Short messages wait in
// a lock-free queue and go first in every cycle, between SysEx messages;
// long messages wait in a ring and leave as fast as a port carries them.
// Nothing on the way ever takes a lock or sleeps on a real-time thread.
class JackOutput {
public:
    // Null, with the failure in `error`, when the client, the port or
    // the connection to `destination` (a full JACK port name) fails.
    static std::unique_ptr<JackOutput> Open(const std::string& clientName,
                                            const std::string& portName,
                                            const std::string& destination, MidiError& error);
    // Lets what is queued leave first (for as long as the server runs).
    ~JackOutput();
    JackOutput(const JackOutput&) = delete;
    JackOutput& operator=(const JackOutput&) = delete;

    // Never blocks: safe on a real-time thread. MidiError::None or the
    // failure (NotReady: the queue is full, nothing was queued).
    MidiError SendShort(std::uint32_t packed);
    // Up to MaxGroup messages go out together in one cycle, or none is
    // queued; longer runs go as several such groups.
    static constexpr std::size_t MaxGroup = 4;
    MidiError SendShorts(std::span<const std::uint32_t> messages);
    // Blocks until every byte has been written into the port (the calling
    // thread's later short messages cannot overtake them). 0 or a MidiError
    // code: ServerStopped or DestinationGone end the wait within seconds.
    MidiError SendLong(const std::vector<std::span<const std::uint8_t>>& messages);
    // Blocks until the bytes handed over have left the port.
    MidiError WaitUntilDelivered();

    // The bytes of long messages one cycle carries: half of what the port
    // holds, leaving room for other senders to the same input, and never so
    // little that a 300-byte program dump needs more than one cycle where
    // the port holds more.
    static std::size_t BytesPerCycle(std::size_t portBufferBytes, std::uint32_t frames);

private:
    struct State;
    explicit JackOutput(std::unique_ptr<State> state);
    MidiError Problem() const;
    template <typename Done> MidiError WaitUntil(Done done);
    MidiError HandOver(std::span<const std::uint8_t> message);

    std::unique_ptr<State> state_;
    std::mutex senders_; // long messages from several threads go one after another
};
