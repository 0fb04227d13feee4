#pragma once

#include "midi_error.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

// The one interface to the platform's MIDI: device lists per direction,
// inputs with a callback and one receive buffer each, and outputs.
// Every operation that can fail returns MidiError::None on success.
class MidiService {
public:
    using Handle = int;
    static constexpr Handle NoHandle = -1;

    enum class InputEvent {
        ShortData, // a short message arrived (packed: status, data 1 << 8, data 2 << 16)
        LongData,  // the queued receive buffer was handed back with a SysEx message in it;
                   // the second argument is the number of bytes written into it
    };
    // Runs on the service's thread; must not touch windows or library data.
    using InputCallback = std::function<void(InputEvent event, std::uint32_t shortMessage)>;

    virtual ~MidiService() = default;

    virtual int InputDeviceCount() = 0;
    virtual std::string InputDeviceName(int device) = 0;
    virtual int OutputDeviceCount() = 0;
    virtual std::string OutputDeviceName(int device) = 0;

    virtual MidiError OpenInput(int device, InputCallback callback, Handle& handle) = 0;
    virtual MidiError StartInput(Handle handle) = 0;
    virtual MidiError StopInput(Handle handle) = 0;
    virtual MidiError CloseInput(Handle handle) = 0;
    // Queues one buffer for the next complete SysEx message: the first `size`
    // bytes are written to `buffer`, then it is handed back (LongData) and
    // no longer queued. Queuing again replaces a buffer still queued.
    virtual MidiError QueueReceiveBuffer(Handle handle, std::uint8_t* buffer, std::size_t size) = 0;
    // Releases the buffer; refused (StillPlaying) while it is still queued.
    virtual MidiError ReleaseReceiveBuffer(Handle handle) = 0;
    // Bytes written into the buffer last handed back.
    virtual std::size_t ReceivedBytes(Handle handle) = 0;

    virtual MidiError OpenOutput(int device, Handle& handle) = 0;
    virtual MidiError CloseOutput(Handle handle) = 0;
    virtual MidiError SendShort(Handle handle, std::uint32_t message) = 0;
    // Short messages that belong together (an NRPN's four): all of them are
    // queued or none, and nothing else goes between them.
    virtual MidiError SendShorts(Handle handle, std::span<const std::uint32_t> messages) = 0;
    virtual MidiError SendLong(Handle handle, std::span<const std::uint8_t> bytes) = 0;
    // All notes off on every channel.
    virtual MidiError ResetOutput(Handle handle) = 0;
};
