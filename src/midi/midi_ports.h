#pragma once

#include "midi_output.h"
#include "midi_service.h"
#include "request_stack.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// One MIDI device as the service lists it.
struct TMidiDeviceList {
    std::string Name;
    int ID = 0;
};

// The program's three ports on one instrument: the device output, the device
// input that collects SysEx replies into one receive buffer, and the
// controller input whose short messages pass straight through to the output.
class MidiPorts : public MidiOutput {
public:
    static constexpr std::size_t ReceiveBufferSize = 300;

    struct Reporter {
        std::function<void(const std::string&)> showMessage; // a message box
        std::function<void(const std::string&)> log;         // one memo line
    };

    MidiPorts(MidiService& service, Reporter reporter);
    ~MidiPorts() override;

    // Device lists, rebuilt from the service.
    std::vector<TMidiDeviceList> MidiInDevices;
    std::vector<TMidiDeviceList> MidiOutDevices;
    void EnumerateMidiDevices();
    void ClearMidiDeviceLists();

    // Ports chosen by name; the numbers follow the names when they are found.
    std::string MidiInDeviceName;
    std::string MidiOutDeviceName;
    std::string ControllerInDeviceName;
    // No controller input: an empty controller name ("None"), or a name that
    // matches no device now. Nothing the program did not choose is passed thru.
    static constexpr std::uint16_t NoDevice = 0xFFFF;
    std::uint16_t MidiInDevice = 0;
    std::uint16_t MidiOutDevice = 0;
    std::uint16_t ControllerInDevice = 0;
    std::uint16_t MophoDeviceID = 0;
    void ResolveMidiDevices();

    // False when the output cannot be opened; the caller decides what follows.
    bool OpenMidiOut();
    // Opens the chosen output. When its name matches no device (an interface
    // unplugged) or it will not open, shows "Midi Open error", logs the output
    // used instead and opens `fallbackOutput` (a device number; -1: none).
    // The chosen name stays, so the output is used again once it is back.
    // False when no output is open afterwards.
    bool OpenMidiOutOrFallBack(int fallbackOutput);
    void OpenMidiIns();
    void CloseMidiIns();
    void CloseMidiOut();
    bool MidiOutOpen() const { return midiOutHandle_ != MidiService::NoHandle; }
    bool MidiInOpen() const { return midiInHandle_ != MidiService::NoHandle; }
    bool ControllerInOpen() const { return controllerInHandle_ != MidiService::NoHandle; }
    // The name the open output was listed with; empty while none is open.
    const std::string& MidiOutInUse() const { return midiOutInUse_; }
    // Reopens the ports after the names changed, the output as
    // OpenMidiOutOrFallBack does.
    void ApplyMidiPorts(int fallbackOutput);

    // Receive state. ReceiveArmed is read on the MIDI thread, written on the GUI thread.
    std::array<std::uint8_t, ReceiveBufferSize> ReceiveBuffer{};
    std::atomic<bool> ReceiveArmed{false};
    int ReceivedCount = 0;
    int ExpectedReply = 0;
    // Bank/program pairs still to request during a multi-sound read (GUI thread only).
    RequestStack Requests;
    void ArmReceive(std::size_t size);
    // Queues the buffer again for the size it was last armed with, after a
    // message that was not the awaited reply.
    void ArmReceiveAgain() { ArmReceive(armedSize_); }
    void StartReceive(std::size_t size);
    void StopReceive();
    std::size_t ReceivedBytes();
    // The user gave up waiting: nothing is awaited any more (ExpectedReply
    // becomes NothingAwaited), so a late reply to the abandoned request is
    // not stored even if the input is armed again; no further request of a
    // read goes out. A new request cycle sets ExpectedReply again.
    void AbandonReply();
    static constexpr int NothingAwaited = 0;

    // Called on the MIDI thread when an awaited reply is in ReceiveBuffer;
    // it must only hand the news to the GUI thread.
    std::function<void()> OnReplyReceived;
    // Called on the MIDI thread with each short message from the device
    // input (a knob or program change on the instrument's panel); it must
    // only hand the message to the GUI thread. Set before the inputs open.
    std::function<void(std::uint32_t message)> OnInstrumentMessage;

    // MidiOutput: sends to the device output.
    void SendLongMessage(std::span<const std::uint8_t> bytes) override;
    // The same, with the outcome (MidiError::InvalidHandle when no output is open).
    MidiError TrySendLongMessage(std::span<const std::uint8_t> bytes);
    void SendShortMessage(std::uint32_t message) override;
    void ResetMidiOut() override;

private:
    MidiService::Handle
    OpenInput(int device, void (MidiPorts::*callback)(MidiService::InputEvent, std::uint32_t),
              const char* startError);
    void MidiInCallback(MidiService::InputEvent event, std::uint32_t message);
    void ControllerInCallback(MidiService::InputEvent event, std::uint32_t message);
    void Log(const std::string& line) const;

    MidiService& service_;
    Reporter reporter_;
    std::atomic<MidiService::Handle> midiOutHandle_{MidiService::NoHandle};
    std::string midiOutInUse_;
    bool midiOutListed_ = true; // the output name is empty or matches a device
    MidiService::Handle midiInHandle_ = MidiService::NoHandle;
    MidiService::Handle controllerInHandle_ = MidiService::NoHandle;
    std::size_t armedSize_ = ReceiveBufferSize;
};

// Trims blanks at both ends, as stored port names are compared.
std::string TrimmedPortName(const std::string& name);
