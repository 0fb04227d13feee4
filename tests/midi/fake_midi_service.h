#pragma once

#include "midi_input_port.h"
#include "midi_service.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

// A platform with named devices whose inputs the test feeds by hand and whose
// outputs record what they are sent.
class FakeMidiService : public MidiService {
public:
    std::vector<std::string> inputNames;
    std::vector<std::string> outputNames;
    std::vector<std::vector<std::uint8_t>> sent; // every message sent, in order
    bool failOutputOpen = false;
    bool failInputStart = false;
    MidiError sendFailure = MidiError::None; // every send refused with it

    void Feed(int device, std::vector<std::uint8_t> message) {
        for (auto& [handle, input] : inputs_)
            if (input.device == device)
                input.port->Deliver(message);
    }

    int InputDeviceCount() override { return static_cast<int>(inputNames.size()); }
    std::string InputDeviceName(int device) override {
        return inputNames.at(static_cast<std::size_t>(device));
    }
    int OutputDeviceCount() override { return static_cast<int>(outputNames.size()); }
    std::string OutputDeviceName(int device) override {
        return outputNames.at(static_cast<std::size_t>(device));
    }

    MidiError OpenInput(int device, InputCallback callback, Handle& handle) override {
        if (device < 0 || device >= InputDeviceCount())
            return MidiError::BadDevice;
        for (auto& [_, input] : inputs_)
            if (input.device == device)
                return MidiError::Allocated;
        handle = next_++;
        inputs_[handle] = {device, std::make_unique<MidiInputPort>(std::move(callback))};
        return MidiError::None;
    }
    MidiError StartInput(Handle handle) override {
        if (failInputStart)
            return MidiError::Failed;
        inputs_.at(handle).port->Start();
        return MidiError::None;
    }
    MidiError StopInput(Handle handle) override {
        inputs_.at(handle).port->Stop();
        return MidiError::None;
    }
    MidiError CloseInput(Handle handle) override {
        inputs_.erase(handle);
        return MidiError::None;
    }
    MidiError QueueReceiveBuffer(Handle handle, std::uint8_t* buffer, std::size_t size) override {
        inputs_.at(handle).port->QueueBuffer(buffer, size);
        return MidiError::None;
    }
    MidiError ReleaseReceiveBuffer(Handle handle) override {
        return inputs_.at(handle).port->ReleaseBuffer() ? MidiError::None : MidiError::StillPlaying;
    }
    std::size_t ReceivedBytes(Handle handle) override {
        return inputs_.at(handle).port->ReceivedBytes();
    }

    MidiError OpenOutput(int device, Handle& handle) override {
        if (failOutputOpen || device < 0 || device >= OutputDeviceCount())
            return MidiError::BadDevice;
        handle = next_++;
        openOutputs[handle] = device;
        return MidiError::None;
    }
    MidiError CloseOutput(Handle handle) override {
        openOutputs.erase(handle);
        return MidiError::None;
    }
    MidiError SendShort(Handle, std::uint32_t message) override {
        if (sendFailure != MidiError::None)
            return sendFailure;
        sent.push_back(ShortMessageBytes(message));
        return MidiError::None;
    }
    MidiError SendShorts(Handle handle, std::span<const std::uint32_t> messages) override {
        for (const std::uint32_t message : messages)
            if (const MidiError error = SendShort(handle, message); error != MidiError::None)
                return error;
        return MidiError::None;
    }
    MidiError SendLong(Handle, std::span<const std::uint8_t> bytes) override {
        if (sendFailure != MidiError::None)
            return sendFailure;
        sent.emplace_back(bytes.begin(), bytes.end());
        return MidiError::None;
    }
    MidiError ResetOutput(Handle) override { return MidiError::None; }

    std::map<Handle, int> openOutputs;

private:
    struct Input {
        int device = 0;
        std::unique_ptr<MidiInputPort> port;
    };
    std::map<Handle, Input> inputs_;
    Handle next_ = 1;
};
