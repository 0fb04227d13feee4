#include "jack_link.h"

#include <stdexcept>

namespace {

template <typename Api> unsigned int PortContaining(Api& api, const std::string& part) {
    std::optional<unsigned int> found;
    for (unsigned int i = 0; i < api.getPortCount(); ++i) {
        if (api.getPortName(i).find(part) == std::string::npos)
            continue;
        if (found)
            throw std::runtime_error("more than one port contains " + part);
        found = i;
    }
    if (!found)
        throw std::runtime_error("no port contains " + part);
    return *found;
}

} // namespace

JackLink::JackLink(const std::string& clientName, const std::string& instrument)
    : input_(RtMidi::UNIX_JACK, clientName + " in"),
      output_(RtMidi::UNIX_JACK, clientName + " out") {
    input_.ignoreTypes(false, false, false);
    input_.setCallback(&JackLink::OnMessage, this);
    input_.openPort(PortContaining(input_, instrument), "from instrument");
    output_.openPort(PortContaining(output_, instrument), "to instrument");
}

void JackLink::OnMessage(double, std::vector<unsigned char>* message, void* self) {
    auto* link = static_cast<JackLink*>(self);
    {
        std::lock_guard lock(link->mutex_);
        link->received_.emplace_back(message->begin(), message->end());
    }
    link->arrived_.notify_one();
}

void JackLink::Send(std::span<const std::uint8_t> message) {
    sendBuffer_.assign(message.begin(), message.end());
    output_.sendMessage(&sendBuffer_);
}

std::optional<JackLink::Bytes> JackLink::Next(std::chrono::milliseconds wait) {
    std::unique_lock lock(mutex_);
    if (!arrived_.wait_for(lock, wait, [this] { return !received_.empty(); }))
        return std::nullopt;
    Bytes message = std::move(received_.front());
    received_.pop_front();
    return message;
}

std::optional<JackLink::Bytes> JackLink::Ask(std::span<const std::uint8_t> request,
                                             std::chrono::milliseconds wait) {
    Send(request);
    return Next(wait);
}
