#include "midi_ports.h"

#include <algorithm>
#include <exception>

MidiPorts::MidiPorts(MidiService& service, Reporter reporter)
    : service_(service), reporter_(std::move(reporter)) {}

MidiPorts::~MidiPorts() {
    // Inputs first: thru must never send on a closed output.
    CloseMidiIns();
    CloseMidiOut();
}

void MidiPorts::Log(const std::string& line) const {
    if (reporter_.log)
        reporter_.log(line);
}

std::string TrimmedPortName(const std::string& name) {
    const auto first = name.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    const auto last = name.find_last_not_of(" \t\r\n");
    return name.substr(first, last - first + 1);
}

void MidiPorts::EnumerateMidiDevices() {
    ClearMidiDeviceLists();
    const int inputs = service_.InputDeviceCount();
    for (int device = 0; device < inputs; ++device)
        midiInDevices_.push_back({service_.InputDeviceName(device), device});
    const int outputs = service_.OutputDeviceCount();
    for (int device = 0; device < outputs; ++device)
        midiOutDevices_.push_back({service_.OutputDeviceName(device), device});
}

void MidiPorts::ClearMidiDeviceLists() {
    midiInDevices_.clear();
    midiOutDevices_.clear();
}

void MidiPorts::ResolveMidiDevices() {
    // Every entry is looked at: of two devices with the same name the last wins.
    const std::string in = TrimmedPortName(midiInDeviceName_);
    const std::string controller = TrimmedPortName(controllerInDeviceName_);
    const std::string out = TrimmedPortName(midiOutDeviceName_);
    controllerInDevice_ = NoDevice;
    midiOutListed_ = out.empty(); // a first start opens device 0
    for (const auto& entry : midiInDevices_) {
        const std::string name = TrimmedPortName(entry.Name);
        if (name == in)
            midiInDevice_ = static_cast<std::uint16_t>(entry.ID);
        if (!controller.empty() && name == controller)
            controllerInDevice_ = static_cast<std::uint16_t>(entry.ID);
    }
    for (const auto& entry : midiOutDevices_)
        if (TrimmedPortName(entry.Name) == out) {
            midiOutDevice_ = static_cast<std::uint16_t>(entry.ID);
            midiOutListed_ = true;
        }
}

bool MidiPorts::OpenMidiOut() {
    MidiService::Handle handle = MidiService::NoHandle;
    if (service_.OpenOutput(midiOutDevice_, handle) != MidiError::None)
        return false;
    midiOutHandle_ = handle;
    midiOutInUse_.clear();
    for (const auto& entry : midiOutDevices_)
        if (entry.ID == midiOutDevice_)
            midiOutInUse_ = entry.Name;
    return true;
}

bool MidiPorts::OpenMidiOutOrFallBack(int fallbackOutput) {
    if (midiOutListed_ && OpenMidiOut())
        return true;
    const std::string chosen = TrimmedPortName(midiOutDeviceName_);
    bool open = false;
    if (fallbackOutput >= 0) {
        midiOutDevice_ = static_cast<std::uint16_t>(fallbackOutput);
        open = OpenMidiOut();
    }
    Log("Midi Open error: " + (chosen.empty() ? std::string("the output") : chosen) +
        " cannot be opened; " +
        (open ? "using " + midiOutInUse_ + " until it is back" : std::string("no output is open")));
    // Not ending the program: a musician whose interface is unplugged still
    // gets the library, and unsaved sounds are not thrown away.
    if (reporter_.showMessage)
        reporter_.showMessage("Midi Open error");
    return open;
}

MidiService::Handle MidiPorts::OpenInput(int device,
                                         void (MidiPorts::*callback)(MidiService::InputEvent,
                                                                     std::uint32_t),
                                         const char* startError) {
    MidiService::Handle handle = MidiService::NoHandle;
    // A failed open is silent: that port stays closed.
    if (service_.OpenInput(
            device,
            [this, callback](MidiService::InputEvent event, std::uint32_t message) {
                (this->*callback)(event, message);
            },
            handle) != MidiError::None)
        return MidiService::NoHandle;
    if (service_.StartInput(handle) != MidiError::None && reporter_.showMessage)
        reporter_.showMessage(startError);
    return handle; // a port that will not start stays open
}

void MidiPorts::OpenMidiIns() {
    try {
        midiInHandle_ = OpenInput(midiInDevice_, &MidiPorts::MidiInCallback, "Midi IN Start error");
        if (controllerInDevice_ != NoDevice)
            controllerInHandle_ = OpenInput(controllerInDevice_, &MidiPorts::ControllerInCallback,
                                            "Midi Controller IN Start error");
        ListenForSysEx();
    } catch (const std::exception& failure) {
        Log(failure.what());
    }
}

void MidiPorts::CloseMidiIns() {
    for (MidiService::Handle* handle : {&midiInHandle_, &controllerInHandle_}) {
        if (*handle == MidiService::NoHandle)
            continue;
        // Only a stopped input is closed; one that will not stop stays open.
        if (service_.StopInput(*handle) == MidiError::None &&
            service_.CloseInput(*handle) == MidiError::None)
            *handle = MidiService::NoHandle;
    }
}

void MidiPorts::CloseMidiOut() {
    const MidiService::Handle handle = midiOutHandle_;
    if (handle != MidiService::NoHandle && service_.CloseOutput(handle) == MidiError::None) {
        midiOutHandle_ = MidiService::NoHandle;
        midiOutInUse_.clear();
    }
}

void MidiPorts::ApplyMidiPorts(int fallbackOutput) {
    ResolveMidiDevices();
    CloseMidiIns();
    CloseMidiOut();
    OpenMidiOutOrFallBack(fallbackOutput);
    OpenMidiIns();
}

void MidiPorts::ListenForSysEx() {
    if (midiInHandle_ == MidiService::NoHandle)
        return;
    if (const MidiError result = service_.QueueReceiveBuffer(midiInHandle_, receiveBuffer_.data(),
                                                             receiveBuffer_.size());
        result != MidiError::None)
        Log("The MIDI input cannot take replies: " + Text(result));
}

void MidiPorts::MidiInCallback(MidiService::InputEvent event, std::uint32_t data) {
    if (event == MidiService::InputEvent::ShortData) {
        if (instrumentMessageHandler_)
            instrumentMessageHandler_(data); // a short message: the message itself
        return;
    }
    // A SysEx message: data is its length.
    if (event != MidiService::InputEvent::LongData || !sysExHandler_)
        return;
    const std::size_t size = std::min<std::size_t>(data, receiveBuffer_.size());
    sysExHandler_(std::vector<std::uint8_t>(
        receiveBuffer_.begin(), receiveBuffer_.begin() + static_cast<std::ptrdiff_t>(size)));
}

void MidiPorts::ControllerInCallback(MidiService::InputEvent event, std::uint32_t message) {
    if (event != MidiService::InputEvent::ShortData)
        return;
    const MidiService::Handle out = midiOutHandle_;
    if (out != MidiService::NoHandle)
        service_.SendShort(out, message);
}

MidiError MidiPorts::SendLongMessage(std::span<const std::uint8_t> bytes) {
    const MidiService::Handle out = midiOutHandle_;
    return out == MidiService::NoHandle ? MidiError::InvalidHandle : service_.SendLong(out, bytes);
}

MidiError MidiPorts::SendShortMessage(std::uint32_t message) {
    return SendShortMessages(std::span<const std::uint32_t>(&message, 1));
}

MidiError MidiPorts::SendShortMessages(std::span<const std::uint32_t> messages) {
    const MidiService::Handle out = midiOutHandle_;
    return out == MidiService::NoHandle ? MidiError::InvalidHandle
                                        : service_.SendShorts(out, messages);
}

MidiError MidiPorts::ResetMidiOut() {
    const MidiService::Handle out = midiOutHandle_;
    return out == MidiService::NoHandle ? MidiError::InvalidHandle : service_.ResetOutput(out);
}
