#pragma once

#include "din_cable.h"
#include "edit_session.h"

#include <chrono>
#include <deque>
#include <optional>
#include <string>
#include <vector>

// The one place where the editor's parameter messages meet the MIDI layer.
class NrpnPort {
public:
    virtual ~NrpnPort() = default;
    // One parameter message as a whole; the problem as a sentence part
    // ("the port is not open"), empty when it went out.
    virtual std::string SendNrpn(int number, int value) = 0;
};

// Sends the editor's changes as soon as the cable is free and never faster
// than a DIN cable carries them: while earlier messages are still on their
// way, a later value of a parameter already waiting takes its place, so at
// most one message per parameter ever waits and the last value always goes
// out. A message the port refuses stays first in line for the next try.
class PacedOutput {
public:
    static constexpr std::size_t NrpnBytes = 12; // four controller messages
    static constexpr std::chrono::milliseconds EchoTime{1000};

    explicit PacedOutput(NrpnPort& port, DinCable::Clock clock = {});

    void Queue(const std::vector<EditSession::Nrpn>& messages);
    // Sends what the cable takes now: how long until the next may go, or
    // nothing when none waits (or the port refused one: the next try is
    // the caller's).
    std::optional<std::chrono::microseconds> Pump();
    // Sends everything waiting, unpaced: nothing may stay behind before a
    // whole sound goes out, the window closes or a sound is loaded. False
    // when the port refused one.
    bool Flush();
    std::size_t WaitingCount() const { return waiting_.size(); }
    bool IsWaiting(int parameter) const;

    // A refusal not yet reported: once for a run of refusals.
    std::optional<std::string> TakeFailure();
    // Whether the instrument sending `value` for `parameter` is only the
    // echo of what went out in the last EchoTime (an instrument whose MIDI
    // Out passes its input on).
    bool IsEcho(int parameter, int value) const;

private:
    bool SendFirst();

    struct Sent {
        int parameter;
        int value;
        std::chrono::microseconds at;
    };

    NrpnPort& port_;
    DinCable cable_;
    std::deque<EditSession::Nrpn> waiting_;
    std::deque<Sent> recent_;
    std::optional<std::string> failure_;
    bool failureReported_ = false;
};
