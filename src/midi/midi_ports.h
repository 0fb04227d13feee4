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
    std::uint16_t MidiInDevice = 0;
    std::uint16_t MidiOutDevice = 0;
    std::uint16_t ControllerInDevice = 0;
    std::uint16_t MophoDeviceID = 0;
    void ResolveMidiDevices();

    // False when the output cannot be opened; the caller decides what follows.
    bool OpenMidiOut();
    void OpenMidiIns();
    void CloseMidiIns();
    void CloseMidiOut();
    bool MidiOutOpen() const { return midiOutHandle_ != MidiService::NoHandle; }
    bool MidiInOpen() const { return midiInHandle_ != MidiService::NoHandle; }
    bool ControllerInOpen() const { return controllerInHandle_ != MidiService::NoHandle; }
    // Reopens the ports after the names changed. When the chosen output fails
    // to open, reports "Midi Open error" and falls back to `fallbackOutput`.
    void ApplyMidiPorts(int fallbackOutput);

    // Receive state. ReceiveArmed is read on the MIDI thread, written on the GUI thread.
    std::array<std::uint8_t, ReceiveBufferSize> ReceiveBuffer{};
    std::atomic<bool> ReceiveArmed{false};
    int ReceivedCount = 0;
    int ExpectedReply = 0;
    // Bank/program pairs still to request during a multi-sound read (GUI thread only).
    RequestStack Requests;
    void ArmReceive(std::size_t size);
    void StartReceive(std::size_t size);
    void StopReceive();
    std::size_t ReceivedBytes();

    // Called on the MIDI thread when an awaited reply is in ReceiveBuffer;
    // it must only hand the news to the GUI thread.
    std::function<void()> OnReplyReceived;

    // MidiOutput: sends to the device output.
    void SendLongMessage(std::span<const std::uint8_t> bytes) override;
    // The same, with the outcome: 0 when the service took the bytes, its error
    // code otherwise (MidiError::InvalidHandle when no output is open).
    int TrySendLongMessage(std::span<const std::uint8_t> bytes);
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
    MidiService::Handle midiInHandle_ = MidiService::NoHandle;
    MidiService::Handle controllerInHandle_ = MidiService::NoHandle;
};

// Trims blanks at both ends, as stored port names are compared.
std::string TrimmedPortName(const std::string& name);
