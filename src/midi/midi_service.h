#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

// The one interface to the platform's MIDI: device lists per direction,
// inputs with a callback and one receive buffer each, and outputs.
// Every operation that can fail returns 0 on success, as the platform does.
class MidiService {
public:
    using Handle = int;
    static constexpr Handle NoHandle = -1;

    enum class InputEvent {
        ShortData, // a short message arrived (packed: status, data 1 << 8, data 2 << 16)
        LongData,  // the queued receive buffer was handed back with a SysEx message in it
    };
    // Runs on the service's thread; must not touch windows or library data.
    using InputCallback = std::function<void(InputEvent event, std::uint32_t shortMessage)>;

    virtual ~MidiService() = default;

    virtual int InputDeviceCount() = 0;
    virtual std::string InputDeviceName(int device) = 0;
    virtual int OutputDeviceCount() = 0;
    virtual std::string OutputDeviceName(int device) = 0;

    virtual int OpenInput(int device, InputCallback callback, Handle& handle) = 0;
    virtual int StartInput(Handle handle) = 0;
    virtual int StopInput(Handle handle) = 0;
    virtual int CloseInput(Handle handle) = 0;
    // Queues one buffer for the next complete SysEx message: the first `size`
    // bytes are written to `buffer`, then it is handed back (LongData) and
    // no longer queued. Queuing again replaces a buffer still queued.
    virtual int QueueReceiveBuffer(Handle handle, std::uint8_t* buffer, std::size_t size) = 0;
    // Releases the buffer; refused (non-zero) while it is still queued.
    virtual int ReleaseReceiveBuffer(Handle handle) = 0;
    // Bytes written into the buffer last handed back.
    virtual std::size_t ReceivedBytes(Handle handle) = 0;

    virtual int OpenOutput(int device, Handle& handle) = 0;
    virtual int CloseOutput(Handle handle) = 0;
    virtual int SendShort(Handle handle, std::uint32_t message) = 0;
    virtual int SendLong(Handle handle, std::span<const std::uint8_t> bytes) = 0;
    // All notes off on every channel.
    virtual int ResetOutput(Handle handle) = 0;
};

// Error codes shared by the implementations.
namespace MidiError {
constexpr int BadDevice = 2;
constexpr int Allocated = 4;
constexpr int InvalidHandle = 5;
constexpr int StillPlaying = 65;
constexpr int NotReady = 67;
constexpr int ServerStopped = 68;   // the MIDI server stopped while the port was open
constexpr int DestinationGone = 69; // the port at the other end of the connection went away
constexpr int Failed = 1;

// What a code means, as a sentence part: "sending failed: <text>".
inline std::string Text(int code) {
    switch (code) {
    case 0:
        return "no error";
    case BadDevice:
        return "there is no such port";
    case Allocated:
        return "the port is already in use";
    case InvalidHandle:
        return "the port is not open";
    case StillPlaying:
        return "a receive buffer is still queued";
    case NotReady:
        return "the port is not ready";
    case ServerStopped:
        return "the MIDI server stopped";
    case DestinationGone:
        return "the port it was connected to went away";
    default:
        return "the MIDI system reported a failure";
    }
}
} // namespace MidiError
