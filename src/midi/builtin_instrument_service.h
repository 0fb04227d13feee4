#pragma once

#include "midi_service.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class MidiInputPort;
class VirtualMopho;

// A MidiService that lists the platform's devices first and then one input
// and one output of the built-in instrument, so the program starts and every
// feature can be tried on a machine without MIDI hardware.
// The instrument answers on a thread of its own, as a real device does.
class BuiltInInstrumentService : public MidiService {
public:
    static constexpr const char* DeviceName = "Tonewright Virtual Mopho";

    // What the instrument sends, chunk by chunk, as it would travel on the cable.
    using Replies = std::vector<std::vector<std::uint8_t>>;
    // Takes one complete message sent to the instrument; returns its replies.
    using Responder = std::function<Replies(std::span<const std::uint8_t>)>;
    // The instrument's own panel: a knob turned (NRPN number, value) and a
    // program chosen (0..127), each returning what the instrument then sends.
    struct Panel {
        std::function<Replies(int nrpn, int value)> turnKnob;
        std::function<Replies(int program)> chooseProgram;
    };

    // Without a panel the panel gestures play nothing.
    BuiltInInstrumentService(std::unique_ptr<MidiService> platform, Responder responder,
                             Panel panel = {});
    ~BuiltInInstrumentService() override;

    // Simulates a 31,250-baud link: every byte takes 320 microseconds each way.
    void SetDinTiming(bool enabled) { dinTiming_ = enabled; }
    static constexpr std::chrono::microseconds ByteTime{320};

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

    // Plays a gesture on the instrument's panel; what it sends arrives on its
    // input as from its MIDI Out. False when the instrument has no panel.
    bool TurnPanelKnob(int nrpn, int value);
    bool ChoosePanelProgram(int program);

    // Waits until every reply so far has been delivered (tests, shutdown).
    void WaitUntilIdle();

private:
    static constexpr Handle InputHandle = 1'000'001;
    static constexpr Handle OutputHandle = 1'000'002;

    bool IsBuiltInInput(int device) const { return device == platformInputs_; }
    bool IsBuiltInOutput(int device) const { return device == platformOutputs_; }
    void ToInstrument(std::span<const std::uint8_t> message);
    // Queues replies after `requestBytes` bytes travelled to the instrument.
    void FromInstrument(std::size_t requestBytes, Replies replies);
    bool PlayPanel(const std::function<Replies()>& gesture);
    void Run();

    std::unique_ptr<MidiService> platform_;
    Responder responder_;
    Panel panel_;
    bool dinTiming_ = false;
    int platformInputs_ = 0;
    int platformOutputs_ = 0;

    std::mutex instrumentMutex_; // one message at a time into the instrument
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    struct Pending {
        std::chrono::steady_clock::time_point due;
        std::vector<std::uint8_t> bytes;
    };
    std::deque<Pending> pending_;
    bool delivering_ = false;
    bool stopping_ = false;
    std::chrono::steady_clock::time_point lineFree_{};
    std::unique_ptr<MidiInputPort> input_;
    bool outputOpen_ = false;
    std::thread thread_;
};

// Cuts a byte stream as it arrives on a cable into whole messages. Real-time
// bytes come out at once, also from inside a SysEx message; a SysEx message
// cut short by another status byte comes out incomplete (without its F7).
class MidiByteStream {
public:
    explicit MidiByteStream(std::function<void(std::span<const std::uint8_t>)> message)
        : message_(std::move(message)) {}
    void Feed(std::span<const std::uint8_t> bytes);

private:
    void Flush();
    std::function<void(std::span<const std::uint8_t>)> message_;
    std::vector<std::uint8_t> current_;
    int expected_ = 0;
};

// The panel of `instrument`.
BuiltInInstrumentService::Panel PanelOf(std::shared_ptr<VirtualMopho> instrument);

// The built-in instrument (a VirtualMopho) behind the platform's devices;
// `platform` may be null for the built-in instrument alone.
std::unique_ptr<BuiltInInstrumentService>
MakeBuiltInInstrumentService(std::unique_ptr<MidiService> platform, bool dinTiming = false);
