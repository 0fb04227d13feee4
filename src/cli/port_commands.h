#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

class MidiService;

// The commands of `tonewright-syx` that talk to an instrument: list the
// ports, back up all programs to a bank file, send a file's SysEx.

enum class PortDirection { In, Out };

struct PortChoice {
    int device = -1;   // -1: no single port matched
    std::string error; // why not, with the candidates
};

// A port named exactly, or by a part of its name that fits exactly one port.
PortChoice ChoosePort(PortDirection direction, const std::vector<std::string>& names,
                      const std::string& wanted);

struct PortCommandOptions {
    // How long one reply is waited for; a missing reply is asked for once more.
    std::chrono::milliseconds replyTimeout{2000};
    // "A017 of 384" on one line of the error stream; unset: shown when that
    // stream is standard error on a terminal.
    std::optional<bool> progress;
    // restore: how long the instrument is given to store each program it is sent.
    std::chrono::milliseconds storePause{300};
};

int ListPorts(MidiService& midi, std::ostream& out);
int BackupPrograms(MidiService& midi, const std::string& inPort, const std::string& outPort,
                   const std::string& file, std::ostream& out, std::ostream& err,
                   const PortCommandOptions& options = {});
// Writes every program of the bank file to its location, reads each back and
// writes a program that came back different once more; what still differs
// is listed. Success only when every program reads back equal.
int RestorePrograms(MidiService& midi, const std::string& inPort, const std::string& outPort,
                    const std::string& file, std::ostream& out, std::ostream& err,
                    const PortCommandOptions& options = {});

struct SendOptions {
    // Spaces the messages as a DIN MIDI cable carries them (320 us a byte), so
    // an instrument behind a USB-to-DIN interface is not flooded.
    bool din = false;
    // Waits that long; replaced in tests.
    std::function<void(std::chrono::microseconds)> wait;
};

int SendSysExFile(MidiService& midi, const std::string& outPort, const std::string& file,
                  std::ostream& out, std::ostream& err, const SendOptions& options = {});
