#pragma once

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

// tonewright-virtual-mopho running as a child process.
class InstrumentProcess {
public:
    // Starts the program with the arguments and waits for its "ready" line;
    // throws std::runtime_error when it ends or stays silent instead.
    InstrumentProcess(const std::string& program, const std::vector<std::string>& arguments);
    ~InstrumentProcess();
    InstrumentProcess(const InstrumentProcess&) = delete;
    InstrumentProcess& operator=(const InstrumentProcess&) = delete;

    // Sends SIGTERM and returns the exit status (-1 when it did not end
    // within ten seconds and had to be killed, or ended by a signal).
    int Stop();
    // The exit status once it ends by itself within `wait`; -1 when it ends
    // by a signal or still runs (it is then stopped).
    int WaitForEnd(std::chrono::milliseconds wait);
    // One line to its panel: "knob NRPN VALUE" or "program N".
    bool PlayPanel(const std::string& command);

private:
    pid_t pid_ = -1;
    int output_ = -1;
    int panel_ = -1; // its standard input
};

// A command-line program run to its end, with what it printed.
struct ProgramRun {
    int status = -1; // exit status; -1 when it ended by a signal
    std::string out;
    std::string err;
};
// Runs `program` with the arguments; its output goes through files in `folder`.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::string& folder);
