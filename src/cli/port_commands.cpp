#include "port_commands.h"

#include "bank_file.h"
#include "file_io.h"
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
#include <iostream>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

namespace {

constexpr std::size_t DumpBytes = ProgramDumpSize;

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

// The instrument's input, waiting for one program dump at a time. The
// service's thread only copies into the queued buffer and raises a flag.
class ReplyWaiter {
public:
    ReplyWaiter(MidiService& midi, int device) : midi_(midi) {
        const auto arrived = [this](MidiService::InputEvent event, std::uint32_t) {
            if (event != MidiService::InputEvent::LongData)
                return;
            std::lock_guard lock(mutex_);
            replied_ = true;
            changed_.notify_all();
        };
        if (midi_.OpenInput(device, arrived, handle_) != MidiError::None) {
            handle_ = MidiService::NoHandle;
            return;
        }
        if (midi_.StartInput(handle_) != MidiError::None) {
            midi_.CloseInput(handle_);
            handle_ = MidiService::NoHandle;
        }
    }
    ~ReplyWaiter() {
        if (handle_ == MidiService::NoHandle)
            return;
        midi_.StopInput(handle_);
        midi_.ReleaseReceiveBuffer(handle_);
        midi_.CloseInput(handle_);
    }
    ReplyWaiter(const ReplyWaiter&) = delete;
    ReplyWaiter& operator=(const ReplyWaiter&) = delete;

    bool Ok() const { return handle_ != MidiService::NoHandle; }

    void Arm() {
        {
            std::lock_guard lock(mutex_);
            replied_ = false;
        }
        midi_.ReleaseReceiveBuffer(handle_);
        midi_.QueueReceiveBuffer(handle_, buffer_.data(), buffer_.size());
    }

    // The next complete SysEx message, cut at 300 bytes, or nothing by the deadline.
    std::optional<std::vector<std::uint8_t>> Next(std::chrono::steady_clock::time_point deadline) {
        std::unique_lock lock(mutex_);
        if (!changed_.wait_until(lock, deadline, [this] { return replied_; }))
            return std::nullopt;
        lock.unlock();
        const std::size_t size = std::min(midi_.ReceivedBytes(handle_), buffer_.size());
        std::vector<std::uint8_t> message(buffer_.begin(),
                                          buffer_.begin() + static_cast<std::ptrdiff_t>(size));
        Arm();
        return message;
    }

private:
    MidiService& midi_;
    MidiService::Handle handle_ = MidiService::NoHandle;
    std::array<std::uint8_t, DumpBytes> buffer_{};
    std::mutex mutex_;
    std::condition_variable changed_;
    bool replied_ = false;
};

bool IsProgramDumpOf(const std::vector<std::uint8_t>& message, int slot) {
    return message.size() == DumpBytes && message.front() == 0xF0 && message.back() == 0xF7 &&
           message[1] == 0x01 && message[2] == 0x25 && message[3] == 0x02 &&
           message[4] == Slots::BankOf(slot) && message[5] == Slots::ProgramOf(slot);
}

// What a SysEx message is, for a sentence: "a 25-byte globals dump".
std::string Described(const std::vector<std::uint8_t>& message) {
    std::string kind = "SysEx message";
    if (message.size() >= 4 && message[1] == 0x01 && message[2] == 0x25) {
        switch (message[3]) {
        case 0x02:
            kind = "program dump";
            if (message.size() >= 6 && Slots::IsValid(Slots::Of(message[4], message[5])))
                kind += " of " + Slots::Caption(Slots::Of(message[4], message[5]));
            break;
        case 0x03:
            kind = "edit buffer dump";
            break;
        case 0x0F:
            kind = "globals dump";
            break;
        }
    } else if (message.size() >= 5 && message[1] == 0x7E && message[3] == 0x06 &&
               message[4] == 0x02) {
        kind = "device inquiry reply";
    }
    return "a " + std::to_string(message.size()) + "-byte " + kind;
}

struct Fetched {
    std::optional<std::vector<std::uint8_t>> reply;
    MidiError sendError = MidiError::None; // when the request could not be sent
    std::string instead;                   // what came instead of the reply, if anything
};

// Asks for one program, once more when no fitting reply comes in time.
Fetched FetchProgram(OpenedOutput& output, ReplyWaiter& input, int slot,
                     const PortCommandOptions& options) {
    const auto request = ProgramDumpRequestMessage(Slots::BankOf(slot), Slots::ProgramOf(slot));
    Fetched fetched;
    for (int attempt = 0; attempt < 2; ++attempt) {
        input.Arm();
        if (const MidiError error = output.Send(request); error != MidiError::None)
            return {std::nullopt, error, {}};
        const auto deadline = std::chrono::steady_clock::now() + options.replyTimeout;
        // Anything else that arrives meanwhile (a late reply to an earlier
        // request, another device's SysEx) is passed over.
        while (const auto message = input.Next(deadline)) {
            if (IsProgramDumpOf(*message, slot))
                return {message, MidiError::None, {}};
            fetched.instead = Described(*message);
        }
    }
    return fetched;
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
    std::optional<ReplyWaiter> input;
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
std::string Mismatch(const TSoundRecord& written, const Fetched& fetched) {
    if (!fetched.reply)
        return fetched.instead.empty() ? "no reply" : fetched.instead + " came instead";
    const TSoundRecord readBack = UnpackProgramData(*fetched.reply, ProgramDumpHeaderLength);
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
    ReplyWaiter input(midi, ports.in);
    if (!input.Ok()) {
        err << "tonewright-syx: cannot open the in port \"" << midi.InputDeviceName(ports.in)
            << "\"\n";
        return SyxExit::Failure;
    }

    // The replies are kept as the instrument sent them and written only when
    // every one of them is in: a failed backup leaves an older file untouched.
    std::vector<std::uint8_t> bank;
    bank.reserve(static_cast<std::size_t>(Slots::Count) * DumpBytes);
    const bool progress =
        options.progress.value_or(&err == &std::cerr && isatty(STDERR_FILENO) == 1);
    const auto endProgress = [&] {
        if (progress)
            err << '\r' << std::string(20, ' ') << '\r';
    };
    for (int slot = 0; slot < Slots::Count; ++slot) {
        if (progress)
            err << '\r' << Slots::Caption(slot) << " of " << Slots::Count << std::flush;
        const auto [reply, sendError, instead] = FetchProgram(output, input, slot, options);
        if (sendError != MidiError::None || !reply)
            endProgress();
        if (sendError != MidiError::None) {
            err << "tonewright-syx: " << Text(sendError) << " at program " << Slots::Caption(slot)
                << "; nothing was written\n";
            return SyxExit::Failure;
        }
        if (!reply && !instead.empty()) {
            err << "tonewright-syx: " << instead << " came instead of program "
                << Slots::Caption(slot) << " (bank " << Slots::BankOf(slot) << ", program "
                << Slots::ProgramOf(slot) << "); nothing was written\n";
            return SyxExit::Problems;
        }
        if (!reply) {
            err << "tonewright-syx: no reply for program " << Slots::Caption(slot) << " (bank "
                << Slots::BankOf(slot) << ", program " << Slots::ProgramOf(slot)
                << "); nothing was written\n";
            return SyxExit::Problems;
        }
        bank.insert(bank.end(), reply->begin(), reply->end());
    }
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
    ReplyWaiter& input = *opened.input;

    const bool progress =
        options.progress.value_or(&err == &std::cerr && isatty(STDERR_FILENO) == 1);
    const auto show = [&](std::string_view doing, int slot) {
        if (progress)
            err << '\r' << doing << ' ' << Slots::Caption(slot) << std::flush;
    };
    const auto endProgress = [&] {
        if (progress)
            err << '\r' << std::string(20, ' ') << '\r';
    };
    const auto write = [&](int slot) {
        show("writing", slot);
        const MidiError error = output.Send(
            ProgramDumpMessage(programs.at(slot), Slots::BankOf(slot), Slots::ProgramOf(slot)));
        if (error != MidiError::None) {
            endProgress();
            err << "tonewright-syx: " << Text(error) << " while writing program "
                << Slots::Caption(slot) << '\n';
            return false;
        }
        // The instrument is busy storing and would drop what comes meanwhile.
        std::this_thread::sleep_for(options.storePause);
        return true;
    };
    // Each slot with what differs; a send error ends everything.
    const auto verify = [&](const std::vector<int>& slots, std::map<int, std::string>& mismatches) {
        for (const int slot : slots) {
            show("reading", slot);
            const Fetched fetched = FetchProgram(output, input, slot, options);
            if (fetched.sendError != MidiError::None) {
                endProgress();
                err << "tonewright-syx: " << Text(fetched.sendError) << " while reading program "
                    << Slots::Caption(slot) << '\n';
                return false;
            }
            if (std::string mismatch = Mismatch(programs.at(slot), fetched); !mismatch.empty())
                mismatches[slot] = std::move(mismatch);
        }
        return true;
    };

    // Writes the slots, then reads them back: false when the MIDI link failed.
    const auto writeAndVerify = [&](const std::vector<int>& slots,
                                    std::map<int, std::string>& mismatches) {
        for (const int slot : slots) {
            if (!write(slot))
                return false;
        }
        return verify(slots, mismatches);
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
