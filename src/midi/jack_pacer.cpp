#include "jack_pacer.h"

#include <jack/jack.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

struct JackPacer::Client {
    jack_client_t* handle = nullptr;
    ~Client() {
        if (handle)
            jack_client_close(handle);
    }
};

namespace {
// A MIDI port buffer holds as many bytes as an audio buffer of the period
// (four per frame), less its header; each event takes a header too. Half of
// it per cycle leaves room for a cycle that carries the bytes of two.
constexpr std::size_t BytesPerFrame = 4;
constexpr std::size_t BufferShare = 2;
constexpr std::size_t EventOverhead = 16;
} // namespace

std::unique_ptr<JackPacer> JackPacer::Connect(const std::string& clientName) {
    auto client = std::make_unique<Client>();
    jack_status_t status{};
    client->handle = jack_client_open(clientName.c_str(), JackNoStartServer, &status);
    if (!client->handle)
        return nullptr;
    auto pacer = std::unique_ptr<JackPacer>(new JackPacer(std::move(client)));
    return pacer;
}

JackPacer::JackPacer(std::unique_ptr<Client> client) : client_(std::move(client)) {}

std::size_t JackPacer::BytesPerCycle() const {
    // Read each time: the period may change while the program runs.
    const std::size_t portBuffer =
        std::min(jack_port_type_get_buffer_size(client_->handle, JACK_DEFAULT_MIDI_TYPE),
                 std::size_t{jack_get_buffer_size(client_->handle)} * BytesPerFrame);
    return portBuffer / BufferShare;
}

JackPacer::~JackPacer() = default;

std::uint32_t JackPacer::CurrentCycleStart() const {
    return jack_last_frame_time(client_->handle);
}

void JackPacer::WaitForNextCycle(std::uint32_t after) const {
    using namespace std::chrono_literals;
    // A stopped server must not hang the sender for ever.
    const auto giveUp = std::chrono::steady_clock::now() + 1s;
    while (CurrentCycleStart() == after && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(500us);
}

void JackPacer::BeforeSend(std::size_t bytes) {
    std::lock_guard lock(mutex_);
    const std::size_t cost = bytes + EventOverhead;
    std::uint32_t now = CurrentCycleStart();
    if (now != cycle_) {
        cycle_ = now;
        bytesInCycle_ = 0;
    }
    if (bytesInCycle_ > 0 && bytesInCycle_ + cost > BytesPerCycle()) {
        WaitForNextCycle(now);
        cycle_ = CurrentCycleStart();
        bytesInCycle_ = 0;
    }
    bytesInCycle_ += cost;
    lastSendCycle_ = cycle_;
    sent_ = true;
}

void JackPacer::WaitUntilDelivered() {
    std::lock_guard lock(mutex_);
    if (!sent_)
        return;
    // Bytes written during one cycle go out in the next one.
    WaitForNextCycle(lastSendCycle_);
    WaitForNextCycle(CurrentCycleStart());
    sent_ = false;
}
