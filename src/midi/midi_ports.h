#pragma once

#include "midi_output.h"
#include "midi_service.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <span>
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
    const std::vector<TMidiDeviceList>& MidiInDevices() const { return midiInDevices_; }
    const std::vector<TMidiDeviceList>& MidiOutDevices() const { return midiOutDevices_; }
    void EnumerateMidiDevices();
    void ClearMidiDeviceLists();

    // Ports chosen by name; the numbers follow the names when they are
    // found (ResolveMidiDevices).
    const std::string& MidiInDeviceName() const { return midiInDeviceName_; }
    const std::string& MidiOutDeviceName() const { return midiOutDeviceName_; }
    const std::string& ControllerInDeviceName() const { return controllerInDeviceName_; }
    void SetMidiInDeviceName(std::string name) { midiInDeviceName_ = std::move(name); }
    void SetMidiOutDeviceName(std::string name) { midiOutDeviceName_ = std::move(name); }
    void SetControllerInDeviceName(std::string name) { controllerInDeviceName_ = std::move(name); }
    // No controller input: an empty controller name ("None"), or a name that
    // matches no device now. Nothing the program did not choose is passed thru.
    static constexpr std::uint16_t NoDevice = 0xFFFF;
    std::uint16_t MidiInDevice() const { return midiInDevice_; }
    std::uint16_t MidiOutDevice() const { return midiOutDevice_; }
    std::uint16_t ControllerInDevice() const { return controllerInDevice_; }
    void ResolveMidiDevices();
    // The instrument's SysEx device ID, as the settings keep it.
    std::uint16_t MophoDeviceID() const { return mophoDeviceID_; }
    void SetMophoDeviceID(std::uint16_t id) { mophoDeviceID_ = id; }

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

    // Each complete SysEx message from the device input, cut at
    // ReceiveBufferSize bytes, travels by value to the handler. It runs on
    // the MIDI thread and must only hand the bytes on to the GUI thread,
    // which calls ListenForSysEx before it answers them. Set it before the
    // inputs open.
    using SysExHandler = std::function<void(std::vector<std::uint8_t>)>;
    void SetSysExHandler(SysExHandler handler) { sysExHandler_ = std::move(handler); }
    // Makes the device input ready for the next SysEx message: it takes one
    // at a time. Opening the inputs does it too. GUI thread.
    void ListenForSysEx();

    // Called on the MIDI thread with each short message from the device
    // input (a knob or program change on the instrument's panel); it must
    // only hand the message to the GUI thread. Set before the inputs open.
    using InstrumentMessageHandler = std::function<void(std::uint32_t message)>;
    void SetInstrumentMessageHandler(InstrumentMessageHandler handler) {
        instrumentMessageHandler_ = std::move(handler);
    }

    // MidiOutput: sends to the device output; MidiError::InvalidHandle while
    // no output is open.
    MidiError SendLongMessage(std::span<const std::uint8_t> bytes) override;
    MidiError SendShortMessage(std::uint32_t message) override;
    // Whole or not at all (up to four messages, an NRPN's).
    MidiError SendShortMessages(std::span<const std::uint32_t> messages) override;
    MidiError ResetMidiOut() override;

private:
    MidiService::Handle
    OpenInput(int device, void (MidiPorts::*callback)(MidiService::InputEvent, std::uint32_t),
              const char* startError);
    void MidiInCallback(MidiService::InputEvent event, std::uint32_t message);
    void ControllerInCallback(MidiService::InputEvent event, std::uint32_t message);
    void Log(const std::string& line) const;

    MidiService& service_;
    Reporter reporter_;
    std::vector<TMidiDeviceList> midiInDevices_;
    std::vector<TMidiDeviceList> midiOutDevices_;
    std::string midiInDeviceName_;
    std::string midiOutDeviceName_;
    std::string controllerInDeviceName_;
    std::uint16_t midiInDevice_ = 0;
    std::uint16_t midiOutDevice_ = 0;
    std::uint16_t controllerInDevice_ = 0;
    std::uint16_t mophoDeviceID_ = 0;
    std::atomic<MidiService::Handle> midiOutHandle_{MidiService::NoHandle};
    std::string midiOutInUse_;
    bool midiOutListed_ = true; // the output name is empty or matches a device
    MidiService::Handle midiInHandle_ = MidiService::NoHandle;
    MidiService::Handle controllerInHandle_ = MidiService::NoHandle;
    // Written by the MIDI thread while queued, read by it when handed back.
    std::array<std::uint8_t, ReceiveBufferSize> receiveBuffer_{};
    SysExHandler sysExHandler_;
    InstrumentMessageHandler instrumentMessageHandler_;
};

// Trims blanks at both ends, as stored port names are compared.
std::string TrimmedPortName(const std::string& name);
