#pragma once

#include "sound_record.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A stand-in for the instrument: it answers the program's requests with the
// instrument's exact message layouts, stores the dumps it is sent, applies
// bank select, program change and NRPN to its edit buffer, and logs every
// message it receives. Deterministic; not thread-safe (callers serialize).
class VirtualMopho {
public:
    // Raw bytes in the order a cable would carry them. A reply is usually one
    // chunk; faults may split it (clock bytes between the pieces).
    using Chunk = std::vector<std::uint8_t>;
    using Replies = std::vector<Chunk>;

    enum class Fault {
        None,
        NoAnswer,       // requests get no reply
        Truncated,      // replies are cut short, without their F7
        WrongKind,      // a globals dump where something else was asked for
        ClockSplit,     // MIDI clock bytes (F8) arrive inside the reply
        DropFirstWrite, // the first program dump sent for each location is not stored
        CorruptWrites   // every program dump is stored with its filter frequency changed
    };

    static constexpr std::string_view DefaultName = "Tonewright Virtual Mopho";
    // At most this many log lines are kept; the oldest go first.
    static constexpr std::size_t LogLimit = 10000;
    // A clock byte is put after every this many bytes of a split reply.
    static constexpr std::size_t ClockSplitInterval = 64;

    VirtualMopho();

    // Takes one complete message sent by the program (short or SysEx) and
    // returns the reply, if any.
    Replies Receive(std::span<const std::uint8_t> message);

    // Time a DIN MIDI link (31,250 baud, 10 bits a byte) needs for the bytes.
    static constexpr std::chrono::microseconds WireTime(std::size_t bytes) {
        return std::chrono::microseconds(320 * static_cast<std::int64_t>(bytes));
    }

    void SetFault(Fault fault) { fault_ = fault; }
    // The software version the device inquiry reports: major 0..15, minor 0..7.
    void SetVersion(int major, int minor);

    const TSoundRecord& Program(int slot) const;
    void SetProgram(int slot, const TSoundRecord& record);
    const TSoundRecord& EditBuffer() const { return editBuffer_; }
    int Global(int index) const { return globals_[static_cast<std::size_t>(index)]; }

    // Replaces every program named by the bank file's records; returns the
    // problems found in it (one sentence each).
    std::vector<std::string> LoadBank(std::span<const std::uint8_t> fileBytes,
                                      std::string_view fileName);
    // All 384 programs as a bank file.
    std::vector<std::uint8_t> BankBytes() const;

    // Its MIDI channel as the global "MIDI Channel" holds it: 1..16, or 0 for
    // all channels (it then sends on channel 1). Channel messages on other
    // channels are logged and ignored.
    int MidiChannel() const { return globals_[MidiChannelGlobal]; }
    void SetMidiChannel(int channel);

    // A knob turned on its panel: the edit buffer takes the value of the
    // parameter or global with NRPN number `nrpn`, and with "Parameter Send"
    // at NRPN the instrument sends it (controllers 99, 98, 6, 38), one
    // message a chunk.
    Replies PanelKnob(int nrpn, int value);
    // A program chosen on its panel (0..127 of the current bank): the edit
    // buffer becomes that program and a program change goes out.
    Replies PanelProgram(int program);

    // One line of upper-case hex per received message, oldest first.
    const std::deque<std::string>& Log() const { return log_; }

    // The sound a fresh instrument holds in the slot: "A001 Virtual" and so on.
    static TSoundRecord FactorySound(int slot);

private:
    static constexpr std::size_t MidiChannelGlobal = 2;
    static constexpr std::size_t ParameterSendGlobal = 4;

    // The channel its messages go out on, 0..15.
    int SendChannel() const { return MidiChannel() == 0 ? 0 : MidiChannel() - 1; }
    bool Hears(std::uint8_t status) const;
    Replies Answer(std::span<const std::uint8_t> message);
    void Store(std::span<const std::uint8_t> message);
    void StoreProgram(int slot, TSoundRecord record);
    void ControlChange(int controller, int value);
    void ProgramChange(int program);
    void ApplyNrpn(int nrpn, int value);
    Chunk GlobalsDump() const;
    Chunk DeviceInquiryReply() const;
    Replies WithFault(Chunk reply) const;

    std::vector<TSoundRecord> programs_;
    TSoundRecord editBuffer_;
    std::array<int, 10> globals_{};
    std::uint8_t versionByte_ = 0;
    Fault fault_ = Fault::None;
    int bank_ = 0;
    // NRPN state: number parts from CC 99/98, value part from CC 6.
    int nrpnMsb_ = 0;
    int nrpnLsb_ = 0;
    int valueMsb_ = 0;
    std::deque<std::string> log_;
    std::vector<bool> writtenOnce_; // DropFirstWrite: the locations already dropped once
};

// "F0 01 25 06 F7"
std::string HexLine(std::span<const std::uint8_t> bytes);

// "none", "no-answer", "truncated", "wrong-kind", "clock-split",
// "drop-first-write", "corrupt-writes".
std::optional<VirtualMopho::Fault> FaultFromName(std::string_view name);
std::string_view FaultName(VirtualMopho::Fault fault);
