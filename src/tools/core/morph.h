#pragma once

#include "din_cable.h"
#include "sound_record.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

// Q-Morph's arithmetic: the in-between value of each parameter at a bar
// position, the parameter messages one step sends, and the pacing that keeps
// steps from piling up on a slow MIDI cable.

inline constexpr int MorphParameterCount = 200; // parameters 0..199 take part
inline constexpr int MorphPositionMax = 100;

// a + (b - a) * m / 100, the quotient rounded towards minus infinity: between
// the two values the result leans to the lower one (10, 3 at 50 gives 6).
int MorphValue(int a, int b, int m);

// The value parameter `p` morphs to. Unless `fineFrequency` is set the
// oscillator frequencies (0, 6) fall to whole octaves and their fine tunes
// (1, 7) stay at the centre, 50, so the in-between sounds keep in tune.
int MorphedParameter(int p, int a, int b, int m, bool fineFrequency);

// Whether the morph sends parameter `p`: only parameters with a control on
// the instrument do (the name characters included). Parameters 109..119 have
// none; their NRPN numbers belong to other parameters (Push It, the
// sub-oscillator levels, the external input), so sending them would
// overwrite those.
bool MorphSends(int p);

// One parameter message of a step.
struct MorphMessage {
    int parameter;
    int number; // NrpnNumbers[parameter]
    int value;  // 0..255
    bool operator==(const MorphMessage&) const = default;
};

// Each NRPN message is four controller messages of three bytes.
inline constexpr std::size_t MorphMessageBytes = 12;

// The values last sent to the instrument, so a step sends only what changed.
class SoundMorph {
public:
    SoundMorph() { ForgetSent(); }

    // The next step sends every parameter (a new pair, the fine box toggled).
    void ForgetSent();

    // The messages that bring the instrument to position `m` (0..100) between
    // `sound1` and `sound2`, in parameter order; remembers them as sent.
    std::vector<MorphMessage> Step(const TSoundRecord& sound1, const TSoundRecord& sound2, int m,
                                   bool fineFrequency);

private:
    std::array<int, MorphParameterCount> lastSent_{}; // -1: not sent yet
};

// Keeps a fast drag of the bar from queueing steps a DIN cable (31,250 baud)
// cannot carry. While the bytes of the last step would still be on the cable,
// a new position waits, and a later one replaces it: at most one step is ever
// waiting, and the last position always goes out.
class MorphPacer {
public:
    using Clock = DinCable::Clock;
    static constexpr std::chrono::microseconds ByteTime = DinCable::ByteTime;

    // The steady clock unless a test gives its own.
    explicit MorphPacer(Clock clock = {});

    // A new bar position: true when it may be sent now; otherwise it is kept
    // as the waiting one.
    bool Offer(int position);
    // The step just sent took `bytes` bytes: the cable is busy for their time.
    void Sent(std::size_t bytes) { cable_.Sent(bytes); }
    // How long until the cable is free; zero when it is.
    std::chrono::microseconds Wait() const { return cable_.Wait(); }
    // The waiting position, taken, once the cable is free.
    std::optional<int> TakeDue();
    std::optional<int> Waiting() const { return waiting_; }
    // The waiting position, taken whether or not the cable is free.
    std::optional<int> TakeWaiting() { return std::exchange(waiting_, std::nullopt); }

private:
    DinCable cable_;
    std::optional<int> waiting_;
};
