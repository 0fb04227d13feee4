// Time of one program-dump round trip and of a 384-program backup, with the
// virtual instrument in-process and over a JACK server, next to the time the
// same bytes take on a DIN MIDI cable.

#include "sysex_codec.h"
#include "sysex_messages.h"
#include "virtual_mopho.h"

#include <rtmidi/RtMidi.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t RoundTripBytes = 7 + ProgramDumpSize; // request + dump

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

void Report(const char* what, double measuredMs, int programs) {
    const double wireMs =
        std::chrono::duration<double, std::milli>(VirtualMopho::WireTime(RoundTripBytes * programs))
            .count();
    std::printf("  %-34s %12.3f ms   (DIN cable %10.1f ms)\n", what, measuredMs, wireMs);
}

// Sends a request and gets the reply, however the instrument is reached.
class Link {
public:
    virtual ~Link() = default;
    virtual std::optional<Bytes> Ask(const Bytes& request) = 0;
};

class InProcessLink : public Link {
public:
    std::optional<Bytes> Ask(const Bytes& request) override {
        const auto replies = mopho_.Receive(request);
        if (replies.empty())
            return std::nullopt;
        return replies.front();
    }

private:
    VirtualMopho mopho_;
};

// The instrument behind its own JACK ports, and a client talking to them.
class JackLink : public Link {
public:
    JackLink()
        : name_("tw-bench-" + std::to_string(getpid())), instrumentIn_(RtMidi::UNIX_JACK, name_),
          instrumentOut_(RtMidi::UNIX_JACK, name_ + " out"),
          programIn_(RtMidi::UNIX_JACK, "tw-bench-program-in"),
          programOut_(RtMidi::UNIX_JACK, "tw-bench-program-out") {
        instrumentIn_.ignoreTypes(false, false, false);
        instrumentIn_.setCallback(&JackLink::ToInstrument, this);
        instrumentIn_.openVirtualPort("in");
        instrumentOut_.openVirtualPort("out");
        programIn_.ignoreTypes(false, false, false);
        programIn_.setCallback(&JackLink::ToProgram, this);
        programIn_.openPort(PortNamed(programIn_, name_ + " out:out"));
        programOut_.openPort(PortNamed(programOut_, name_ + ":in"));
    }

    std::optional<Bytes> Ask(const Bytes& request) override {
        std::vector<unsigned char> bytes(request.begin(), request.end());
        programOut_.sendMessage(&bytes);
        std::unique_lock lock(mutex_);
        if (!arrived_.wait_for(lock, std::chrono::seconds(2), [this] { return !replies_.empty(); }))
            return std::nullopt;
        Bytes reply = std::move(replies_.front());
        replies_.pop_front();
        return reply;
    }

private:
    template <typename Api> static unsigned int PortNamed(Api& api, const std::string& name) {
        for (unsigned int i = 0; i < api.getPortCount(); ++i) {
            if (api.getPortName(i) == name)
                return i;
        }
        throw RtMidiError("no port " + name);
    }
    static void ToInstrument(double, std::vector<unsigned char>* message, void* self) {
        auto& link = *static_cast<JackLink*>(self);
        const auto replies = link.mopho_.Receive(Bytes(message->begin(), message->end()));
        for (const auto& chunk : replies) {
            std::vector<unsigned char> bytes(chunk.begin(), chunk.end());
            link.instrumentOut_.sendMessage(&bytes);
        }
    }
    static void ToProgram(double, std::vector<unsigned char>* message, void* self) {
        auto& link = *static_cast<JackLink*>(self);
        {
            std::lock_guard lock(link.mutex_);
            link.replies_.emplace_back(message->begin(), message->end());
        }
        link.arrived_.notify_one();
    }

    std::string name_;
    VirtualMopho mopho_; // touched by the instrument's MIDI thread only
    RtMidiIn instrumentIn_;
    RtMidiOut instrumentOut_;
    RtMidiIn programIn_;
    RtMidiOut programOut_;
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<Bytes> replies_;
};

// Requests, waits for and unpacks one program, as the librarian does.
bool ReadProgram(Link& link, int slot) {
    const auto reply =
        link.Ask(ProgramDumpRequestMessage(Slots::BankOf(slot), Slots::ProgramOf(slot)));
    if (!reply || reply->size() != ProgramDumpSize)
        return false;
    volatile auto name = UnpackProgramData(*reply, ProgramDumpHeaderLength)[200];
    (void)name;
    return true;
}

void Measure(Link& link, int roundTrips) {
    ReadProgram(link, 0); // warm up
    const auto start = Clock::now();
    for (int i = 0; i < roundTrips; ++i) {
        if (!ReadProgram(link, i % Slots::Count)) {
            std::printf("  no reply: measurement abandoned\n");
            return;
        }
    }
    Report("one program-dump round trip", Milliseconds(Clock::now() - start) / roundTrips, 1);

    const auto backupStart = Clock::now();
    for (int slot = 0; slot < Slots::Count; ++slot) {
        if (!ReadProgram(link, slot)) {
            std::printf("  no reply for %s: backup abandoned\n", Slots::Caption(slot).c_str());
            return;
        }
    }
    Report("backup of 384 programs", Milliseconds(Clock::now() - backupStart), Slots::Count);
}

} // namespace

int main() {
    std::printf("In-process (VirtualMopho called directly):\n");
    InProcessLink inProcess;
    Measure(inProcess, 10000);

    std::printf("Over JACK (the instrument behind JACK MIDI ports):\n");
    std::fflush(stdout); // before the JACK library writes to stderr
    std::unique_ptr<JackLink> jack;
    try {
        jack = std::make_unique<JackLink>();
    } catch (const RtMidiError& error) {
        std::printf("  skipped: no JACK server reachable (%s)\n", error.getMessage().c_str());
        return 0;
    }
    Measure(*jack, 50);
    return 0;
}
