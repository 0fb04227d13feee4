#pragma once

#include "midi_service.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class MidiInputPort;
class RtMidiIn;
class RtMidiOut;

// MidiService on RtMidi. On Linux it tries ALSA, then JACK; a machine with
// neither has no devices, and the program still starts. On JACK each output
// is a JackOutput: thru from the controller's real-time thread never waits.

class RtMidiService : public MidiService {
public:
    enum class Backend { Automatic, Alsa, Jack };

    explicit RtMidiService(Backend backend = Backend::Automatic,
                           std::string clientName = "Tonewright");
    ~RtMidiService() override;

    int InputDeviceCount() override;
    std::string InputDeviceName(int device) override;
    int OutputDeviceCount() override;
    std::string OutputDeviceName(int device) override;

    MidiError OpenInput(int device, InputCallback callback, Handle& handle) override;
    MidiError StartInput(Handle handle) override;
    MidiError StopInput(Handle handle) override;
    MidiError CloseInput(Handle handle) override;
    MidiError QueueReceiveBuffer(Handle handle, std::uint8_t* buffer, std::size_t size) override;
    MidiError ReleaseReceiveBuffer(Handle handle) override;
    std::size_t ReceivedBytes(Handle handle) override;

    MidiError OpenOutput(int device, Handle& handle) override;
    MidiError CloseOutput(Handle handle) override;
    MidiError SendShort(Handle handle, std::uint32_t message) override;
    MidiError SendShorts(Handle handle, std::span<const std::uint32_t> messages) override;
    MidiError SendLong(Handle handle, std::span<const std::uint8_t> bytes) override;
    MidiError ResetOutput(Handle handle) override;

    // A port name as the platform reports it, without what changes when a
    // device is plugged in again: ALSA's client:port numbers, and the port
    // number RtMidi's WinMM backend (api RtMidi::WINDOWS_MM) appends.
    static std::string StablePortName(const std::string& platformName, int api = 0,
                                      unsigned portNumber = 0);
    // A port of the service's own clients ("Tonewright:Tonewright out", or
    // "Tonewright-01:Tonewright out" when JACK renamed a second client).
    static bool IsOwnPort(const std::string& stableName, const std::string& clientName);

private:
    struct Input;
    struct Output;

    Input* FindInput(Handle handle);
    Output* FindOutput(Handle handle);

    int api_ = 0; // RtMidi::Api, 0 = none
    std::string clientName_;
    std::unique_ptr<RtMidiIn> inputProbe_;
    std::unique_ptr<RtMidiOut> outputProbe_;
    std::vector<std::string> inputNames_;
    std::vector<std::string> outputNames_;
    std::map<Handle, std::unique_ptr<Input>> inputs_;
    std::map<Handle, std::unique_ptr<Output>> outputs_;
    Handle nextHandle_ = 1;
};
