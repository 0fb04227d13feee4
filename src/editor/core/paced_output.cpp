#include "paced_output.h"

#include <algorithm>
#include <utility>

PacedOutput::PacedOutput(NrpnPort& port, DinCable::Clock clock)
    : port_(port), cable_(std::move(clock)) {}

void PacedOutput::Queue(const std::vector<EditSession::Nrpn>& messages) {
    for (const EditSession::Nrpn& message : messages) {
        const auto same = std::find_if(waiting_.begin(), waiting_.end(), [&](const auto& w) {
            return w.parameter == message.parameter;
        });
        if (same != waiting_.end())
            same->value = message.value; // merged: its place in line stays
        else
            waiting_.push_back(message);
    }
}

bool PacedOutput::IsWaiting(int parameter) const {
    return std::any_of(waiting_.begin(), waiting_.end(),
                       [parameter](const auto& w) { return w.parameter == parameter; });
}

bool PacedOutput::SendFirst() {
    const EditSession::Nrpn message = waiting_.front();
    std::string problem = port_.SendNrpn(message.number, message.value);
    if (!problem.empty()) {
        if (!failure_ && !failureReported_)
            failure_ = std::move(problem);
        return false;
    }
    failureReported_ = false;
    waiting_.pop_front();
    cable_.Sent(NrpnBytes);
    const auto now = cable_.Now();
    while (!recent_.empty() && now - recent_.front().at > EchoTime)
        recent_.pop_front();
    recent_.push_back({message.parameter, message.value, now});
    return true;
}

std::optional<std::chrono::microseconds> PacedOutput::Pump() {
    while (!waiting_.empty()) {
        if (!cable_.Free())
            return cable_.Wait();
        if (!SendFirst())
            return std::nullopt;
    }
    return std::nullopt;
}

bool PacedOutput::Flush() {
    while (!waiting_.empty())
        if (!SendFirst())
            return false;
    return true;
}

std::optional<std::string> PacedOutput::TakeFailure() {
    if (failure_)
        failureReported_ = true;
    return std::exchange(failure_, std::nullopt);
}

bool PacedOutput::IsEcho(int parameter, int value) const {
    const auto now = cable_.Now();
    return std::any_of(recent_.begin(), recent_.end(), [&](const Sent& sent) {
        return sent.parameter == parameter && sent.value == value && now - sent.at <= EchoTime;
    });
}
