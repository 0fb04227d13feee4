#include "port_commands.h"

#include "bank_file.h"
#include "file_io.h"
#include "instrument_exchange.h"
#include "midi_input_port.h"
#include "midi_service.h"
#include "sound_compare.h"
#include "sound_record.h"
#include "sysex_codec.h"
#include "sysex_messages.h"
#include "syx_tool.h"
#include "virtual_mopho.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <condition_variable>
#include <deque>
#include <iostream>
#include <map>
#include <mutex>
#include <numeric>
#include <optional>
#include <thread>

namespace {

constexpr std::size_t DumpBytes = ProgramDumpSize;
using Bytes = std::vector<std::uint8_t>;

std::string_view DirectionWord(PortDirection direction) {
    return direction == PortDirection::In ? "in" : "out";
}

std::string JoinQuoted(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "\"" : ", \"") + name + "\"";
    return text.empty() ? "none" : text;
}

std::vector<std::string> InputNames(MidiService& midi) {
    std::vector<std::string> names;
    for (int device = 0; device < midi.InputDeviceCount(); ++device)
        names.push_back(midi.InputDeviceName(device));
    return names;
}

std::vector<std::string> OutputNames(MidiService& midi) {
    std::vector<std::string> names;
    for (int device = 0; device < midi.OutputDeviceCount(); ++device)
        names.push_back(midi.OutputDeviceName(device));
    return names;
}

// An output opened for the length of one command.
class OpenedOutput {
public:
    OpenedOutput(MidiService& midi, int device) : midi_(midi) {
        if (midi_.OpenOutput(device, handle_) != MidiError::None)
            handle_ = MidiService::NoHandle;
    }
    ~OpenedOutput() {
        if (handle_ != MidiService::NoHandle)
            midi_.CloseOutput(handle_);
    }
    OpenedOutput(const OpenedOutput&) = delete;
    OpenedOutput& operator=(const OpenedOutput&) = delete;

    bool Ok() const { return handle_ != MidiService::NoHandle; }
    MidiError Send(std::span<const std::uint8_t> bytes) { return midi_.SendLong(handle_, bytes); }

private:
    MidiService& midi_;
    MidiService::Handle handle_ = MidiService::NoHandle;
};

// The instrument's input: each complete SysEx message, cut at 300 bytes,
// waits until it is taken. The service's thread only copies it out.
class ReplyInput {
public:
    ReplyInput(MidiService& midi, int device) : midi_(midi) {
        const auto arrived = [this](MidiService::InputEvent event, std::uint32_t length) {
            if (event != MidiService::InputEvent::LongData)
                return;
            const std::size_t size = std::min<std::size_t>(length, buffer_.size());
            std::lock_guard lock(mutex_);
            messages_.emplace_back(buffer_.begin(),
                                   buffer_.begin() + static_cast<std::ptrdiff_t>(size));
            changed_.notify_all();
        };
        if (midi_.OpenInput(device, arrived, handle_) != MidiError::None) {
            handle_ = MidiService::NoHandle;
            return;
        }
        if (midi_.StartInput(handle_) != MidiError::None) {
            midi_.CloseInput(handle_);
            handle_ = MidiService::NoHandle;
            return;
        }
        Listen();
    }
    ~ReplyInput() {
        if (handle_ == MidiService::NoHandle)
            return;
        midi_.StopInput(handle_);
        midi_.ReleaseReceiveBuffer(handle_);
        midi_.CloseInput(handle_);
    }
    ReplyInput(const ReplyInput&) = delete;
    ReplyInput& operator=(const ReplyInput&) = delete;

    bool Ok() const { return handle_ != MidiService::NoHandle; }

    // The next message, or nothing by the deadline.
    std::optional<Bytes> Next(InstrumentExchange::Clock::time_point deadline) {
        std::unique_lock lock(mutex_);
        if (!changed_.wait_until(lock, deadline, [this] { return !messages_.empty(); }))
            return std::nullopt;
        Bytes message = std::move(messages_.front());
        messages_.pop_front();
        lock.unlock();
        Listen(); // the buffer was handed back with it
        return message;
    }

private:
    void Listen() {
        midi_.ReleaseReceiveBuffer(handle_);
        midi_.QueueReceiveBuffer(handle_, buffer_.data(), buffer_.size());
    }

    MidiService& midi_;
    MidiService::Handle handle_ = MidiService::NoHandle;
    std::array<std::uint8_t, DumpBytes> buffer_{};
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Bytes> messages_;
};

// What a SysEx message is, for a sentence: "a 25-byte globals dump".
std::string Described(const Bytes& message) {
    std::string kind = "SysEx message";
    if (const auto slot = ProgramDumpSlot(message))
        kind = "program dump of " + Slots::Caption(*slot);
    else if (BeginsAs(ReplyLayout::ProgramDump, message))
        kind = "program dump";
    else if (BeginsAs(ReplyLayout::EditBufferDump, message))
        kind = "edit buffer dump";
    else if (BeginsAs(ReplyLayout::GlobalsDump, message))
        kind = "globals dump";
    else if (BeginsAs(ReplyLayout::DeviceInquiryReply, message))
        kind = "device inquiry reply";
    return "a " + std::to_string(message.size()) + "-byte " + kind;
}

// What a read of programs brought.
struct ProgramsRead {
    ExchangeEnd end = ExchangeEnd::Completed;
    MidiError sendError = MidiError::None;
    std::map<int, Bytes> replies;       // by slot, as the instrument sent them
    std::vector<int> missing;           // asked for twice, never came
    std::map<int, std::string> instead; // what came instead, by the slot awaited then
};

// Asks for the programs of `slots` over the exchange, one at a time; a
// program that does not come is asked for once more, three silent programs
// in a row end the read. `asking` hears of each request.
ProgramsRead ReadPrograms(OpenedOutput& output, ReplyInput& input, const std::vector<int>& slots,
                          const PortCommandOptions& options,
                          const std::function<void(int slot)>& asking) {
    InstrumentExchange exchange(
        [&](std::span<const std::uint8_t> request) {
            if (const auto slot = exchange.OutstandingSlot(); slot && asking)
                asking(*slot);
            return output.Send(request);
        },
        options.replyTimeout);
    ProgramsRead read;
    exchange.AskForPrograms(ReplyKind::ProgramDump, slots);
    while (exchange.Waiting()) {
        const auto message = input.Next(exchange.Deadline());
        if (!message) {
            exchange.Tick();
            continue;
        }
        // Anything else (a late reply to an earlier request, another
        // device's SysEx) is passed over.
        const auto slot = ProgramDumpSlot(*message);
        if (slot && exchange.AwaitsProgram(*slot) && message->size() == DumpBytes) {
            read.replies[*slot] = *message;
            exchange.Answered(*slot);
        } else if (const auto awaited = exchange.OutstandingSlot()) {
            read.instead[*awaited] = Described(*message);
        }
    }
    read.end = exchange.LastEnd();
    read.sendError = exchange.SendError();
    read.missing = exchange.MissingSlots();
    return read;
}

struct ChosenPorts {
    int in = -1;
    int out = -1;
};

bool Choose(PortDirection direction, const std::vector<std::string>& names,
            const std::string& wanted, int& device, std::ostream& err) {
    const PortChoice choice = ChoosePort(direction, names, wanted);
    if (choice.device < 0) {
        err << "tonewright-syx: " << choice.error << '\n';
        return false;
    }
    device = choice.device;
    return true;
}

// Both ports of a command that writes and reads, opened; says why not.
struct OpenedPorts {
    std::optional<OpenedOutput> output;
    std::optional<ReplyInput> input;
};

bool OpenBoth(MidiService& midi, const ChosenPorts& ports, OpenedPorts& opened, std::ostream& err) {
    opened.output.emplace(midi, ports.out);
    if (!opened.output->Ok()) {
        err << "tonewright-syx: cannot open the out port \"" << midi.OutputDeviceName(ports.out)
            << "\"\n";
        return false;
    }
    opened.input.emplace(midi, ports.in);
    if (!opened.input->Ok()) {
        err << "tonewright-syx: cannot open the in port \"" << midi.InputDeviceName(ports.in)
            << "\"\n";
        return false;
    }
    return true;
}

// What a program read back says about the one written: empty when equal.
std::string Mismatch(const TSoundRecord& written, const ProgramsRead& read, int slot) {
    const auto reply = read.replies.find(slot);
    if (reply == read.replies.end()) {
        const auto instead = read.instead.find(slot);
        return instead == read.instead.end() ? "no reply" : instead->second + " came instead";
    }
    const TSoundRecord readBack = UnpackProgramData(reply->second, ProgramDumpHeaderLength);
    if (SameSentParameters(written, readBack))
        return {};
    const auto rows = CompareSounds(written, readBack);
    if (rows.empty())
        return "parameters beyond the editor's differ";
    std::string text;
    for (const ParameterComparison& row : rows)
        text +=
            (text.empty() ? "" : "; ") + row.name + " " + row.first + ", read back " + row.second;
    return text;
}

// A read or restore that stopped because the instrument stays silent.
std::string SilenceText(const std::string& inPort) {
    return "no reply from the instrument on the in port \"" + inPort + "\" to " +
           std::to_string(InstrumentExchange::SilentRequestsInARow) + " programs in a row";
}

} // namespace

PortChoice ChoosePort(PortDirection direction, const std::vector<std::string>& names,
                      const std::string& wanted) {
    const std::string word(DirectionWord(direction));
    if (wanted.empty())
        return {-1, "an empty name names no " + word + " port; " + word +
                        " ports: " + JoinQuoted(names)};
    // An exact name wins over names that merely contain it.
    std::vector<int> exact;
    std::vector<int> partial;
    for (int device = 0; device < static_cast<int>(names.size()); ++device) {
        const std::string& name = names[static_cast<std::size_t>(device)];
        if (name == wanted)
            exact.push_back(device);
        else if (name.find(wanted) != std::string::npos)
            partial.push_back(device);
    }
    const std::vector<int>& found = exact.empty() ? partial : exact;
    if (found.size() == 1)
        return {found.front(), {}};
    if (found.empty())
        return {-1, "no " + word + " port is named \"" + wanted + "\"; " + word +
                        " ports: " + JoinQuoted(names)};
    std::vector<std::string> candidates;
    for (int device : found)
        candidates.push_back(names[static_cast<std::size_t>(device)]);
    return {-1,
            "\"" + wanted + "\" names more than one " + word + " port: " + JoinQuoted(candidates)};
}

int ListPorts(MidiService& midi, std::ostream& out) {
    for (const std::string& name : InputNames(midi))
        out << "in\t" << name << '\n';
    for (const std::string& name : OutputNames(midi))
        out << "out\t" << name << '\n';
    return SyxExit::Success;
}

int BackupPrograms(MidiService& midi, const std::string& inPort, const std::string& outPort,
                   const std::string& file, std::ostream& out, std::ostream& err,
                   const PortCommandOptions& options) {
    ChosenPorts ports;
    if (!Choose(PortDirection::In, InputNames(midi), inPort, ports.in, err) ||
        !Choose(PortDirection::Out, OutputNames(midi), outPort, ports.out, err))
        return SyxExit::Failure;
    OpenedOutput output(midi, ports.out);
    if (!output.Ok()) {
        err << "tonewright-syx: cannot open the out port \"" << midi.OutputDeviceName(ports.out)
            << "\"\n";
        return SyxExit::Failure;
    }
    ReplyInput input(midi, ports.in);
    if (!input.Ok()) {
        err << "tonewright-syx: cannot open the in port \"" << midi.InputDeviceName(ports.in)
            << "\"\n";
        return SyxExit::Failure;
    }

    // The replies are kept as the instrument sent them and written only when
    // every one of them is in: a failed backup leaves an older file untouched.
    const bool progress =
        options.progress.value_or(&err == &std::cerr && isatty(STDERR_FILENO) == 1);
    const auto endProgress = [&] {
        if (progress)
            err << '\r' << std::string(20, ' ') << '\r';
    };
    std::vector<int> slots(Slots::Count);
    std::iota(slots.begin(), slots.end(), 0);
    const ProgramsRead read = ReadPrograms(output, input, slots, options, [&](int slot) {
        if (progress)
            err << '\r' << Slots::Caption(slot) << " of " << Slots::Count << std::flush;
    });
    endProgress();
    if (read.end == ExchangeEnd::SendFailed) {
        err << "tonewright-syx: " << Text(read.sendError) << " while asking for program "
            << Slots::Caption(read.missing.empty() ? 0 : read.missing.back())
            << "; nothing was written\n";
        return SyxExit::Failure;
    }
    if (read.end == ExchangeEnd::Silent) {
        err << "tonewright-syx: " << SilenceText(midi.InputDeviceName(ports.in))
            << "; nothing was written\n";
        return SyxExit::Failure;
    }
    if (!read.missing.empty()) {
        const int slot = read.missing.front();
        const auto instead = read.instead.find(slot);
        err << "tonewright-syx: "
            << (instead == read.instead.end() ? "no reply for program "
                                              : instead->second + " came instead of program ")
            << Slots::Caption(slot) << " (bank " << Slots::BankOf(slot) << ", program "
            << Slots::ProgramOf(slot) << ")";
        if (read.missing.size() > 1)
            err << " and " << read.missing.size() - 1 << " more ("
                << Slots::Ranges({read.missing.begin() + 1, read.missing.end()}) << ")";
        err << "; nothing was written\n";
        return SyxExit::Problems;
    }
    std::vector<std::uint8_t> bank;
    bank.reserve(static_cast<std::size_t>(Slots::Count) * DumpBytes);
    for (const auto& [slot, reply] : read.replies)
        bank.insert(bank.end(), reply.begin(), reply.end());
    endProgress();
    if (const auto error = WriteWholeFile(file, bank)) {
        err << "tonewright-syx: " << *error << '\n';
        return SyxExit::Failure;
    }
    out << "wrote " << Slots::Count << " programs to " << file << '\n';
    return SyxExit::Success;
}

int SendSysExFile(MidiService& midi, const std::string& outPort, const std::string& file,
                  std::ostream& out, std::ostream& err, const SendOptions& options) {
    int device = -1;
    if (!Choose(PortDirection::Out, OutputNames(midi), outPort, device, err))
        return SyxExit::Failure;
    const FileBytes contents = ReadWholeFile(file);
    if (!contents.Ok()) {
        err << "tonewright-syx: " << contents.error << '\n';
        return SyxExit::Failure;
    }
    // An unfinished last message would swallow whatever the instrument
    // receives next: such a file is not sent.
    if (const auto problem = UnfinishedLastMessageProblem(contents.bytes, file)) {
        err << "tonewright-syx: " << *problem << " Nothing was sent.\n";
        return SyxExit::Problems;
    }
    OpenedOutput output(midi, device);
    if (!output.Ok()) {
        err << "tonewright-syx: cannot open the out port \"" << midi.OutputDeviceName(device)
            << "\"\n";
        return SyxExit::Failure;
    }
    // The bytes go out unchanged and in order, without being looked into.
    // Refused when the MIDI server stops or the port at the other end goes
    // away: bytes handed to nobody are no success.
    std::vector<std::span<const std::uint8_t>> pieces{contents.bytes};
    if (options.din)
        pieces = SplitAfterEndOfExclusive(contents.bytes);
    MidiError error = MidiError::None;
    for (const auto piece : pieces) {
        if (piece.empty() || (error = output.Send(piece)) != MidiError::None)
            break;
        if (options.din) {
            const auto wireTime = VirtualMopho::WireTime(piece.size());
            if (options.wait)
                options.wait(wireTime);
            else
                std::this_thread::sleep_for(wireTime);
        }
    }
    if (error != MidiError::None) {
        err << "tonewright-syx: sending to \"" << midi.OutputDeviceName(device)
            << "\" failed: " << Text(error) << '\n';
        return SyxExit::Failure;
    }
    out << "sent " << contents.bytes.size() << " bytes to " << midi.OutputDeviceName(device)
        << '\n';
    return SyxExit::Success;
}

int RestorePrograms(MidiService& midi, const std::string& inPort, const std::string& outPort,
                    const std::string& file, std::ostream& out, std::ostream& err,
                    const PortCommandOptions& options) {
    ChosenPorts ports;
    if (!Choose(PortDirection::In, InputNames(midi), inPort, ports.in, err) ||
        !Choose(PortDirection::Out, OutputNames(midi), outPort, ports.out, err))
        return SyxExit::Failure;
    const FileBytes contents = ReadWholeFile(file);
    if (!contents.Ok()) {
        err << "tonewright-syx: " << contents.error << '\n';
        return SyxExit::Failure;
    }
    // A backup with damaged records is not half restored: nothing is sent.
    const BankFileContents bank = ParseBankFile(contents.bytes, file);
    for (const std::string& problem : bank.problems)
        err << problem << '\n';
    if (!bank.problems.empty() || bank.records.empty()) {
        err << "tonewright-syx: "
            << (bank.records.empty() ? "\"" + file + "\" holds no record; " : "")
            << "nothing was sent\n";
        return SyxExit::Problems;
    }
    std::map<int, TSoundRecord> programs; // slot order; a later record wins
    for (const auto& [slot, record] : bank.records)
        programs[slot] = record;

    OpenedPorts opened;
    if (!OpenBoth(midi, ports, opened, err))
        return SyxExit::Failure;
    OpenedOutput& output = *opened.output;
    ReplyInput& input = *opened.input;
    const std::string inName = midi.InputDeviceName(ports.in);

    const bool progress =
        options.progress.value_or(&err == &std::cerr && isatty(STDERR_FILENO) == 1);
    const std::size_t total = programs.size();
    const auto show = [&](std::string_view doing, int slot, std::size_t done) {
        if (progress)
            err << '\r' << doing << ' ' << Slots::Caption(slot) << " (" << done + 1 << " of "
                << total << ")" << std::flush;
    };
    const auto endProgress = [&] {
        if (progress)
            err << '\r' << std::string(40, ' ') << '\r';
    };
    // Writes each program and reads it back at once, so an instrument that
    // does not answer stops the restore after a few programs, not after
    // the whole bank. False when the MIDI link failed or stays silent.
    int silentInARow = 0;
    const auto writeAndVerify = [&](const std::vector<int>& slots,
                                    std::map<int, std::string>& mismatches) {
        for (std::size_t i = 0; i < slots.size(); ++i) {
            const int slot = slots[i];
            show("writing", slot, i);
            if (const MidiError error = output.Send(ProgramDumpMessage(
                    programs.at(slot), Slots::BankOf(slot), Slots::ProgramOf(slot)));
                error != MidiError::None) {
                endProgress();
                err << "tonewright-syx: " << Text(error) << " while writing program "
                    << Slots::Caption(slot) << '\n';
                return false;
            }
            // The instrument is busy storing and would drop what comes meanwhile.
            std::this_thread::sleep_for(options.storePause);
            const ProgramsRead read = ReadPrograms(output, input, {slot}, options,
                                                   [&](int) { show("reading", slot, i); });
            if (read.end == ExchangeEnd::SendFailed) {
                endProgress();
                err << "tonewright-syx: " << Text(read.sendError) << " while reading program "
                    << Slots::Caption(slot) << '\n';
                return false;
            }
            silentInARow = read.replies.empty() && read.instead.empty() ? silentInARow + 1 : 0;
            if (silentInARow >= InstrumentExchange::SilentRequestsInARow) {
                endProgress();
                err << "tonewright-syx: " << SilenceText(inName) << "; stopped after writing "
                    << Slots::Caption(slot) << '\n';
                return false;
            }
            if (std::string mismatch = Mismatch(programs.at(slot), read, slot); !mismatch.empty())
                mismatches[slot] = std::move(mismatch);
        }
        return true;
    };
    std::vector<int> slots;
    for (const auto& entry : programs)
        slots.push_back(entry.first);
    std::map<int, std::string> firstCheck;
    if (!writeAndVerify(slots, firstCheck))
        return SyxExit::Failure;
    // A program that came back different is written once more.
    std::vector<int> again;
    for (const auto& entry : firstCheck)
        again.push_back(entry.first);
    std::map<int, std::string> stillDiffering;
    if (!writeAndVerify(again, stillDiffering))
        return SyxExit::Failure;
    endProgress();

    const std::size_t count = slots.size();
    if (!again.empty())
        out << "wrote " << again.size() << (again.size() == 1 ? " program" : " programs")
            << " again after a read-back differed\n";
    if (stillDiffering.empty()) {
        out << "restored " << count << (count == 1 ? " program" : " programs") << " from " << file
            << "; every one read back equal\n";
        return SyxExit::Success;
    }
    for (const auto& [slot, mismatch] : stillDiffering) {
        std::string name = GetSoundName(programs.at(slot));
        name.erase(name.find_last_not_of(' ') + 1);
        err << Slots::Caption(slot) << '\t' << NameToUtf8(name) << '\t' << mismatch << '\n';
    }
    err << "tonewright-syx: " << stillDiffering.size() << " of " << count
        << " programs did not read back equal, even when written twice\n";
    return SyxExit::Problems;
}
