#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

// JACK moves MIDI once per process cycle, and a port carries only so many
// bytes per cycle: what does not fit is dropped. The pacer spreads long sends
// over cycles and lets a closing output wait until its last bytes have left.
class JackPacer {
public:
    // Null when no JACK server answers.
    static std::unique_ptr<JackPacer> Connect(const std::string& clientName);
    ~JackPacer();
    JackPacer(const JackPacer&) = delete;
    JackPacer& operator=(const JackPacer&) = delete;

    // Blocks until `bytes` more fit into the cycle under way.
    void BeforeSend(std::size_t bytes);
    // Blocks until the cycles after the last send have run (at most a second).
    void WaitUntilDelivered();

private:
    struct Client;
    explicit JackPacer(std::unique_ptr<Client> client);
    std::size_t BytesPerCycle() const;
    std::uint32_t CurrentCycleStart() const;
    void WaitForNextCycle(std::uint32_t after) const;

    std::unique_ptr<Client> client_;
    std::mutex mutex_;
    std::uint32_t cycle_ = 0;      // frame time of the cycle the count belongs to
    std::size_t bytesInCycle_ = 0; // bytes handed to JACK in that cycle
    std::uint32_t lastSendCycle_ = 0;
    bool sent_ = false;
};
