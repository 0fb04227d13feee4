// tonewright-virtual-mopho: the virtual instrument on a JACK MIDI server, with
// one input and one output port, for end-to-end tests and trying things out.

#include "file_io.h"
#include "virtual_mopho.h"

#include <QSaveFile>
#include <QString>

#include <jack/jack.h>
#include <rtmidi/RtMidi.h>

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <fstream>
#include <iostream>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

// Not the built-in instrument's name, so a port chosen by name is never the
// program's own stand-in by mistake.
constexpr const char* DefaultName = "Tonewright Mopho Stand-in";

constexpr const char* Usage =
    R"(Usage: tonewright-virtual-mopho [options]
Runs a stand-in DSI Mopho on the JACK MIDI server, with one input and one
output port, until it receives SIGTERM or SIGINT.

  --name NAME     name of the JACK client and ports (default "Tonewright Mopho Stand-in")
  --bank FILE     load the programs from a bank file (.syx) first
  --save FILE     write all 384 programs to a bank file on exit (also when the
                  MIDI server stops); checked at start
  --log FILE      write every received message as one line of hex bytes
  --din           take as long as a DIN MIDI cable (320 microseconds a byte)
  --fault MODE    none, no-answer, truncated, wrong-kind, clock-split,
                  drop-first-write or corrupt-writes
  --version M.N   the software version its device inquiry reply reports (default 1.4;
                  major 0..15, minor 0..7)
  --channel N     its MIDI channel, 1..16, or 0 for all (default 1)
  --version       show the program's version
  --help          show this text
Prints "ready" once its ports are open. On SIGTERM or SIGINT it takes in what
has arrived, without DIN timing, and ends within a second.

Its panel is played from standard input, one command a line:
  knob NRPN VALUE   a knob turned: the parameter changes and its NRPN goes out
                    (knob 15 140 sets the filter frequency to 140)
  program N         a program chosen (0..127 of the current bank): its
                    program change goes out

Exit status:
  0  stopped by SIGTERM or SIGINT, the bank saved when asked for
  1  the MIDI server is missing or stopped, or a file could not be read or written
  2  wrong options, or a --save file that cannot be written
)";

struct Options {
    std::string name{DefaultName};
    std::string bank;
    std::string save;
    std::string log;
    bool din = false;
    VirtualMopho::Fault fault = VirtualMopho::Fault::None;
    int major = 1;
    int minor = 4;
    int channel = 1;
    bool help = false;
    bool showVersion = false;
};

// Returns the options, or nothing after printing why they are wrong.
std::optional<Options> ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= argc) {
                std::cerr << argument << " needs a value\n";
                return std::nullopt;
            }
            return std::string(argv[++i]);
        };
        if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--din") {
            options.din = true;
        } else if (argument == "--version" && (i + 1 >= argc || argv[i + 1][0] == '-')) {
            options.showVersion = true; // bare: the program's own version
        } else if (argument == "--name" || argument == "--bank" || argument == "--save" ||
                   argument == "--log" || argument == "--fault" || argument == "--version" ||
                   argument == "--channel") {
            const auto text = value();
            if (!text)
                return std::nullopt;
            if (argument == "--name")
                options.name = *text;
            else if (argument == "--bank")
                options.bank = *text;
            else if (argument == "--save")
                options.save = *text;
            else if (argument == "--log")
                options.log = *text;
            else if (argument == "--channel") {
                int channel = -1;
                char rest = 0;
                if (std::sscanf(text->c_str(), "%d%c", &channel, &rest) != 1 || channel < 0 ||
                    channel > 16) {
                    std::cerr << "--channel takes 1..16, or 0 for all channels\n";
                    return std::nullopt;
                }
                options.channel = channel;
            } else if (argument == "--version") {
                int major = -1;
                int minor = -1;
                char dot = 0;
                char rest = 0;
                if (std::sscanf(text->c_str(), "%d%c%d%c", &major, &dot, &minor, &rest) != 3 ||
                    dot != '.' || major < 0 || major > 15 || minor < 0 || minor > 7) {
                    std::cerr << "--version takes MAJOR.MINOR, major 0..15 and minor 0..7\n";
                    return std::nullopt;
                }
                options.major = major;
                options.minor = minor;
            } else if (const auto fault = FaultFromName(*text))
                options.fault = *fault;
            else {
                std::cerr << "unknown fault mode \"" << *text
                          << "\": use none, no-answer, truncated, wrong-kind, clock-split, "
                             "drop-first-write or corrupt-writes\n";
                return std::nullopt;
            }
        } else {
            std::cerr << "unknown option \"" << argument << "\"\n";
            return std::nullopt;
        }
    }
    if (options.name.empty()) {
        std::cerr << "--name needs a non-empty name\n";
        return std::nullopt;
    }
    return options;
}

// Messages from the MIDI thread, and panel commands from standard input, to
// the main loop.
struct Arrival {
    std::vector<std::uint8_t> message; // empty for a panel command
    std::string command;
    std::size_t size() const { return message.size(); }
};

class Inbox {
public:
    void Push(Arrival arrival) {
        {
            std::lock_guard lock(mutex_);
            messages_.push_back(std::move(arrival));
        }
        wake_.notify_one();
    }
    // The next arrival, or nothing when none came within the wait.
    std::optional<Arrival> Pop(std::chrono::milliseconds wait) {
        std::unique_lock lock(mutex_);
        if (!wake_.wait_for(lock, wait, [this] { return !messages_.empty(); }))
            return std::nullopt;
        auto message = std::move(messages_.front());
        messages_.pop_front();
        return message;
    }

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Arrival> messages_;
};

// What the panel sends for one command line; nothing (with a line on
// standard error) for a line that is no command.
VirtualMopho::Replies PlayPanel(VirtualMopho& mopho, const std::string& line) {
    int first = -1;
    int second = -1;
    char rest = 0;
    if (std::sscanf(line.c_str(), "knob %d %d %c", &first, &second, &rest) == 2 && first >= 0 &&
        first < 16384 && second >= 0 && second < 16384)
        return mopho.PanelKnob(first, second);
    if (std::sscanf(line.c_str(), "program %d %c", &first, &rest) == 1 && first >= 0 && first < 128)
        return mopho.PanelProgram(first);
    std::cerr << "unknown panel command \"" << line << "\": use knob NRPN VALUE or program N\n";
    return {};
}

// Standard input feeds the panel; the reader ends with its input.
void ReadPanelCommands(std::shared_ptr<Inbox> inbox) {
    std::thread([inbox] {
        std::string line;
        while (std::getline(std::cin, line))
            if (!line.empty())
                inbox->Push({{}, line});
    }).detach();
}

// Whether the JACK server is still there: a client of its own hears when it stops.
class ServerWatch {
public:
    ServerWatch() {
        // A short name of its own: the ports' name may already be as long as
        // JACK allows. JACK numbers a name that is taken.
        jack_status_t status{};
        client_ = jack_client_open("tonewright-stand-in-watch", JackNoStartServer, &status);
        if (!client_)
            return;
        jack_on_info_shutdown(client_, &ServerWatch::Stopped, this);
        jack_activate(client_);
    }
    ~ServerWatch() {
        if (client_)
            jack_client_close(client_);
    }
    ServerWatch(const ServerWatch&) = delete;
    ServerWatch& operator=(const ServerWatch&) = delete;
    bool Running() const { return client_ && !stopped_; }

private:
    static void Stopped(jack_status_t, const char*, void* self) {
        static_cast<ServerWatch*>(self)->stopped_ = true;
    }
    jack_client_t* client_ = nullptr;
    std::atomic<bool> stopped_{false};
};

// The bank file must be writable before a whole bank is received into
// nothing; a trial write leaves an existing file as it is.
std::optional<std::string> CannotSave(const std::string& path) {
    QSaveFile file(QString::fromLocal8Bit(path.c_str()));
    if (!file.open(QIODevice::WriteOnly))
        return "cannot write the bank file " + path + ": " + file.errorString().toStdString();
    file.cancelWriting();
    return std::nullopt;
}

bool StopRequested(const sigset_t& stopSignals) {
    const timespec now{0, 0};
    return sigtimedwait(&stopSignals, nullptr, &now) > 0;
}

void OnMidiIn(double, std::vector<unsigned char>* message, void* inbox) {
    if (message && !message->empty())
        static_cast<Inbox*>(inbox)->Push(
            {std::vector<std::uint8_t>(message->begin(), message->end()), {}});
}

bool LoadBank(VirtualMopho& mopho, const std::string& path) {
    const FileBytes file = ReadWholeFile(path);
    if (!file.Ok()) {
        std::cerr << file.error << '\n';
        return false;
    }
    for (const std::string& problem : mopho.LoadBank(file.bytes, path))
        std::cerr << problem << '\n';
    return true;
}

int Run(const Options& options, const sigset_t& stopSignals) {
    VirtualMopho mopho;
    mopho.SetFault(options.fault);
    mopho.SetVersion(options.major, options.minor);
    mopho.SetMidiChannel(options.channel);
    if (!options.bank.empty() && !LoadBank(mopho, options.bank))
        return 1;

    std::ofstream log;
    if (!options.log.empty()) {
        log.open(options.log, std::ios::out | std::ios::trunc);
        if (!log) {
            std::cerr << "cannot write the log file " << options.log << '\n';
            return 1;
        }
    }

    // Shared with the reader of standard input, which may outlive this run.
    const auto inboxShared = std::make_shared<Inbox>();
    Inbox& inbox = *inboxShared;
    bool serverStopped = false;
    try {
        ServerWatch server;
        if (!server.Running()) {
            std::cerr << "no JACK server is running\n";
            return 1;
        }
        RtMidiIn input(RtMidi::UNIX_JACK, options.name);
        RtMidiOut output(RtMidi::UNIX_JACK, options.name);
        // SysEx, clock and active sensing all reach the instrument.
        input.ignoreTypes(false, false, false);
        input.setCallback(&OnMidiIn, &inbox);
        input.openVirtualPort(options.name);
        output.openVirtualPort(options.name);
        std::cout << "ready " << options.name << std::endl;
        ReadPanelCommands(inboxShared);

        // Messages already received are still taken in after a stop request,
        // but at once: the wire time no longer matters.
        bool stopping = false;
        std::vector<unsigned char> bytes;
        for (;;) {
            const auto message = inbox.Pop(std::chrono::milliseconds(stopping ? 0 : 50));
            if (!message) {
                if (stopping)
                    break;
                stopping = StopRequested(stopSignals);
                if (!server.Running()) {
                    serverStopped = true;
                    break;
                }
                continue;
            }
            const bool din = options.din && !stopping;
            if (din)
                std::this_thread::sleep_for(VirtualMopho::WireTime(message->size()));
            if (log.is_open() && message->command.empty())
                log << HexLine(message->message) << std::endl;
            const VirtualMopho::Replies replies = message->command.empty()
                                                      ? mopho.Receive(message->message)
                                                      : PlayPanel(mopho, message->command);
            for (const auto& chunk : replies) {
                if (stopping)
                    break; // nobody waits for answers any more
                if (din)
                    std::this_thread::sleep_for(VirtualMopho::WireTime(chunk.size()));
                bytes.assign(chunk.begin(), chunk.end());
                output.sendMessage(&bytes);
            }
            if (!stopping)
                stopping = StopRequested(stopSignals);
        }
        if (!serverStopped) {
            input.closePort();
            output.closePort();
        }
    } catch (const RtMidiError& error) {
        std::cerr << "MIDI error: " << error.getMessage() << '\n';
        return 1;
    }

    // What it holds is saved also when the server is gone.
    if (!options.save.empty()) {
        if (const auto error = WriteWholeFile(options.save, mopho.BankBytes())) {
            std::cerr << *error << '\n';
            return 1;
        }
    }
    if (serverStopped) {
        std::cerr << "the MIDI server stopped\n";
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const auto options = ParseOptions(argc, argv);
    if (!options) {
        std::cerr << Usage;
        return 2;
    }
    if (options->help) {
        std::cout << Usage;
        return 0;
    }
    if (options->showVersion) {
        std::cout << "tonewright-virtual-mopho " << TONEWRIGHT_VERSION << '\n';
        return 0;
    }
    if (!options->save.empty()) {
        if (const auto problem = CannotSave(options->save)) {
            std::cerr << *problem << '\n';
            return 2;
        }
    }
    // Blocked before any thread starts, so they stay pending until the main
    // loop takes them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    return Run(*options, stopSignals);
}
