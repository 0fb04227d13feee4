#include "rtmidi_service.h"

#include "midi_input_port.h"

#include <rtmidi/RtMidi.h>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <optional>
#include <regex>

#if defined(__linux__)
#include "jack_output.h"

#include <jack/jack.h>
#include <unistd.h>
#endif

struct RtMidiService::Input {
    int device = 0;
    // Declared first, destroyed last: the platform's input writes into it
    // until the input is gone.
    std::unique_ptr<MidiInputPort> port;
    std::unique_ptr<RtMidiIn> midi;
};

struct RtMidiService::Output {
    int device = 0;
#if defined(__linux__)
    // JACK: the output's own sending path, which real-time threads may join.
    std::unique_ptr<JackOutput> jack;
#endif
    // Other platforms: thru sends from an input thread while the GUI thread
    // sends too, one message at a time.
    std::unique_ptr<RtMidiOut> midi;
    std::mutex sending;
};

namespace {
std::vector<RtMidi::Api> Candidates(RtMidiService::Backend backend) {
    switch (backend) {
    case RtMidiService::Backend::Alsa:
        return {RtMidi::LINUX_ALSA};
    case RtMidiService::Backend::Jack:
        return {RtMidi::UNIX_JACK};
    case RtMidiService::Backend::Automatic:
        break;
    }
#if defined(__linux__)
    return {RtMidi::LINUX_ALSA, RtMidi::UNIX_JACK};
#else
    return {RtMidi::UNSPECIFIED};
#endif
}

#if defined(__linux__)
// Asking RtMidi for an API whose server is missing prints warnings on every
// call; these checks stay silent, so a machine without MIDI starts quietly.
bool AlsaSequencerPresent() {
    return access("/dev/snd/seq", R_OK | W_OK) == 0;
}

void Silent(const char*) {}
void JackErrorToStandardError(const char* text) {
    std::fprintf(stderr, "JACK: %s\n", text);
}

bool JackServerRunning() {
    jack_set_error_function(Silent);
    jack_set_info_function(Silent);
    jack_status_t status{};
    jack_client_t* client = jack_client_open("tonewright-probe", JackNoStartServer, &status);
    if (client)
        jack_client_close(client);
    jack_set_error_function(JackErrorToStandardError);
    return client != nullptr;
}

bool ServerPresent(RtMidi::Api api) {
    switch (api) {
    case RtMidi::LINUX_ALSA:
        return AlsaSequencerPresent();
    case RtMidi::UNIX_JACK:
        return JackServerRunning();
    default:
        return true;
    }
}
#else
bool ServerPresent(RtMidi::Api) {
    return true;
}
#endif

// Ports come and go between listing and opening (another program starts, a
// cable is plugged in), which moves the platform's port numbers: a device is
// opened by the name it was listed with, the n-th of that name as listed.
std::optional<unsigned> CurrentPortNumber(RtMidi& midi, int api,
                                          const std::vector<std::string>& listed, int device) {
    const std::string& name = listed[static_cast<std::size_t>(device)];
    const auto sameNameBefore = std::count(listed.begin(), listed.begin() + device, name);
    long seen = 0;
    for (unsigned i = 0, n = midi.getPortCount(); i < n; ++i) {
        if (RtMidiService::StablePortName(midi.getPortName(i), api, i) != name)
            continue;
        if (seen++ == sameNameBefore)
            return i;
    }
    return std::nullopt;
}

bool IsCompiled(RtMidi::Api api) {
    if (api == RtMidi::UNSPECIFIED)
        return true;
    std::vector<RtMidi::Api> apis;
    RtMidi::getCompiledApi(apis);
    return std::find(apis.begin(), apis.end(), api) != apis.end();
}
} // namespace

namespace {
// JACK refuses client names of 64 bytes or more, and makes a taken name
// unique by appending "-01" and so on; the service's own suffixes (" probe",
// " in", " out") must still fit.
constexpr std::size_t MaxClientNameBytes = 40;

std::string ShortClientName(std::string name) {
    if (name.size() <= MaxClientNameBytes)
        return name;
    std::size_t cut = MaxClientNameBytes;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
        --cut; // not inside a UTF-8 character
    name.resize(cut);
    return name;
}
} // namespace

RtMidiService::RtMidiService(Backend backend, std::string clientName)
    : clientName_(ShortClientName(std::move(clientName))) {
    for (RtMidi::Api api : Candidates(backend)) {
        if (!IsCompiled(api) || !ServerPresent(api))
            continue;
        try {
            auto in = std::make_unique<RtMidiIn>(api, clientName_ + " probe");
            auto out = std::make_unique<RtMidiOut>(api, clientName_ + " probe");
            if (in->getCurrentApi() == RtMidi::RTMIDI_DUMMY)
                continue;
            api_ = static_cast<int>(in->getCurrentApi());
            inputProbe_ = std::move(in);
            outputProbe_ = std::move(out);
            break;
        } catch (const RtMidiError&) {
            // This API has no server here (no ALSA sequencer, no JACK): try the next.
        }
    }
}

RtMidiService::~RtMidiService() {
    // Inputs first: their threads may still send thru on an output.
    inputs_.clear();
    outputs_.clear();
}

std::string RtMidiService::StablePortName(const std::string& platformName, int api,
                                          unsigned portNumber) {
    if (api == RtMidi::WINDOWS_MM) {
        // " 2" keeps equal names apart, and moves when another device comes.
        const std::string number = " " + std::to_string(portNumber);
        return platformName.size() > number.size() && platformName.ends_with(number)
                   ? platformName.substr(0, platformName.size() - number.size())
                   : platformName;
    }
    static const std::regex clientPort(R"(\s+\d+:\d+$)");
    return std::regex_replace(platformName, clientPort, "");
}

bool RtMidiService::IsOwnPort(const std::string& stableName, const std::string& clientName) {
    const auto colon = stableName.find(':');
    if (colon == std::string::npos)
        return false;
    const std::string client = stableName.substr(0, colon);
    const std::string port = stableName.substr(colon + 1);
    if (port != clientName + " in" && port != clientName + " out")
        return false;
    static const std::regex renamed(R"(-\d+)");
    return client == clientName || (client.starts_with(clientName) &&
                                    std::regex_match(client.substr(clientName.size()), renamed));
}

namespace {
// The ports one direction lists now. A port that vanishes while listing reads
// as an empty name or throws: left out, and what was read is kept. The
// program's own ports are left out: choosing one would loop it onto itself.
std::vector<std::string> ListedPortNames(RtMidi* midi, int api, const std::string& clientName) {
    std::vector<std::string> names;
    if (!midi)
        return names;
    try {
        for (unsigned i = 0, n = midi->getPortCount(); i < n; ++i)
            if (std::string name = RtMidiService::StablePortName(midi->getPortName(i), api, i);
                !name.empty() && !RtMidiService::IsOwnPort(name, clientName))
                names.push_back(std::move(name));
    } catch (const RtMidiError&) {
    }
    return names;
}
} // namespace

int RtMidiService::InputDeviceCount() {
    // Each direction is listed afresh when it is counted; the names stay what
    // the device numbers handed out since then refer to.
    inputNames_ = ListedPortNames(inputProbe_.get(), api_, clientName_);
    return static_cast<int>(inputNames_.size());
}

std::string RtMidiService::InputDeviceName(int device) {
    return device >= 0 && device < static_cast<int>(inputNames_.size())
               ? inputNames_[static_cast<std::size_t>(device)]
               : std::string();
}

int RtMidiService::OutputDeviceCount() {
    outputNames_ = ListedPortNames(outputProbe_.get(), api_, clientName_);
    return static_cast<int>(outputNames_.size());
}

std::string RtMidiService::OutputDeviceName(int device) {
    return device >= 0 && device < static_cast<int>(outputNames_.size())
               ? outputNames_[static_cast<std::size_t>(device)]
               : std::string();
}

RtMidiService::Input* RtMidiService::FindInput(Handle handle) {
    auto found = inputs_.find(handle);
    return found == inputs_.end() ? nullptr : found->second.get();
}

RtMidiService::Output* RtMidiService::FindOutput(Handle handle) {
    auto found = outputs_.find(handle);
    return found == outputs_.end() ? nullptr : found->second.get();
}

MidiError RtMidiService::OpenInput(int device, InputCallback callback, Handle& handle) {
    handle = NoHandle;
    if (api_ == 0 || device < 0 || device >= static_cast<int>(inputNames_.size()))
        return MidiError::BadDevice;
    // A device feeds one input only, so a controller set to the device's own
    // port never echoes the instrument back into itself.
    for (const auto& [_, input] : inputs_)
        if (input->device == device)
            return MidiError::Allocated;
    try {
        auto input = std::make_unique<Input>();
        input->device = device;
        input->port = std::make_unique<MidiInputPort>(std::move(callback));
        input->midi = std::make_unique<RtMidiIn>(static_cast<RtMidi::Api>(api_), clientName_);
        input->midi->ignoreTypes(false, false, false); // SysEx, clock and sensing all come in
        MidiInputPort* port = input->port.get();
        input->midi->setCallback(
            [](double, std::vector<unsigned char>* message, void* user) {
                static_cast<MidiInputPort*>(user)->Deliver(*message);
            },
            port);
        const auto number = CurrentPortNumber(*input->midi, api_, inputNames_, device);
        if (!number)
            return MidiError::BadDevice; // gone since it was listed
        input->midi->openPort(*number, clientName_ + " in");
        handle = nextHandle_++;
        inputs_[handle] = std::move(input);
        return MidiError::None;
    } catch (const RtMidiError&) {
        return MidiError::Failed;
    }
}

MidiError RtMidiService::StartInput(Handle handle) {
    Input* input = FindInput(handle);
    if (!input)
        return MidiError::InvalidHandle;
    input->port->Start();
    return MidiError::None;
}

MidiError RtMidiService::StopInput(Handle handle) {
    Input* input = FindInput(handle);
    if (!input)
        return MidiError::InvalidHandle;
    input->port->Stop();
    return MidiError::None;
}

MidiError RtMidiService::CloseInput(Handle handle) {
    auto found = inputs_.find(handle);
    if (found == inputs_.end())
        return MidiError::InvalidHandle;
    // The platform's input goes first, and with it the thread that calls
    // back; only then the callback and the port object it writes into.
    try {
        found->second->midi->closePort();
    } catch (const RtMidiError&) {
    }
    found->second->midi.reset();
    inputs_.erase(found);
    return MidiError::None;
}

MidiError RtMidiService::QueueReceiveBuffer(Handle handle, std::uint8_t* buffer, std::size_t size) {
    Input* input = FindInput(handle);
    if (!input)
        return MidiError::InvalidHandle;
    input->port->QueueBuffer(buffer, size);
    return MidiError::None;
}

MidiError RtMidiService::ReleaseReceiveBuffer(Handle handle) {
    Input* input = FindInput(handle);
    if (!input)
        return MidiError::InvalidHandle;
    return input->port->ReleaseBuffer() ? MidiError::None : MidiError::StillPlaying;
}

std::size_t RtMidiService::ReceivedBytes(Handle handle) {
    Input* input = FindInput(handle);
    return input ? input->port->ReceivedBytes() : 0;
}

MidiError RtMidiService::OpenOutput(int device, Handle& handle) {
    handle = NoHandle;
    if (api_ == 0 || device < 0 || device >= static_cast<int>(outputNames_.size()))
        return MidiError::BadDevice;
    try {
        auto output = std::make_unique<Output>();
        output->device = device;
#if defined(__linux__)
        if (api_ == RtMidi::UNIX_JACK) {
            const auto number = CurrentPortNumber(*outputProbe_, api_, outputNames_, device);
            if (!number)
                return MidiError::BadDevice; // gone since it was listed
            MidiError error = MidiError::None;
            output->jack = JackOutput::Open(clientName_, clientName_ + " out",
                                            outputProbe_->getPortName(*number), error);
            if (!output->jack)
                return error;
            handle = nextHandle_++;
            outputs_[handle] = std::move(output);
            return MidiError::None;
        }
#endif
        output->midi = std::make_unique<RtMidiOut>(static_cast<RtMidi::Api>(api_), clientName_);
        const auto number = CurrentPortNumber(*output->midi, api_, outputNames_, device);
        if (!number)
            return MidiError::BadDevice; // gone since it was listed
        output->midi->openPort(*number, clientName_ + " out");
        handle = nextHandle_++;
        outputs_[handle] = std::move(output);
        return MidiError::None;
    } catch (const RtMidiError&) {
        return MidiError::Failed;
    }
}

MidiError RtMidiService::CloseOutput(Handle handle) {
    auto found = outputs_.find(handle);
    if (found == outputs_.end())
        return MidiError::InvalidHandle;
    // A JACK output lets the bytes still on their way leave first.
    if (found->second->midi) {
        std::lock_guard lock(found->second->sending);
        try {
            found->second->midi->closePort();
        } catch (const RtMidiError&) {
        }
    }
    outputs_.erase(found);
    return MidiError::None;
}

MidiError RtMidiService::SendShort(Handle handle, std::uint32_t message) {
    return SendShorts(handle, std::span<const std::uint32_t>(&message, 1));
}

MidiError RtMidiService::SendShorts(Handle handle, std::span<const std::uint32_t> messages) {
    Output* output = FindOutput(handle);
    if (!output)
        return MidiError::InvalidHandle;
#if defined(__linux__)
    if (output->jack)
        return output->jack->SendShorts(messages);
#endif
    // One lock for all of them: thru from another thread waits until they are out.
    std::lock_guard lock(output->sending);
    try {
        for (const std::uint32_t message : messages) {
            const auto bytes = ShortMessageBytes(message);
            output->midi->sendMessage(bytes.data(), bytes.size());
        }
        return MidiError::None;
    } catch (const RtMidiError&) {
        return MidiError::Failed;
    }
}

MidiError RtMidiService::SendLong(Handle handle, std::span<const std::uint8_t> bytes) {
    Output* output = FindOutput(handle);
    if (!output)
        return MidiError::InvalidHandle;
    const auto messages = SplitAfterEndOfExclusive(bytes);
#if defined(__linux__)
    if (output->jack)
        return output->jack->SendLong(messages);
#endif
    try {
        // Short messages from other threads may go between two messages.
        for (auto message : messages) {
            std::lock_guard lock(output->sending);
            output->midi->sendMessage(message.data(), message.size());
        }
        return MidiError::None;
    } catch (const RtMidiError&) {
        return MidiError::Failed;
    }
}

MidiError RtMidiService::ResetOutput(Handle handle) {
    for (std::uint32_t channel = 0; channel < 16; ++channel) {
        // Controller 123 (all notes off), value 0.
        if (const MidiError result = SendShort(handle, (0xB0 + channel) | (123u << 8));
            result != MidiError::None)
            return result;
    }
    return MidiError::None;
}
