#include "syx_tool.h"

#include "bank_file.h"
#include "catalogue_commands.h"
#include "file_io.h"
#include "midi_service.h"
#include "port_commands.h"
#include "sound_compare.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <map>
#include <optional>
#include <set>

namespace {

constexpr std::string_view ProgramName = "tonewright-syx";

using Args = std::span<const std::string>;

struct Streams {
    std::ostream& out;
    std::ostream& err;
    const MidiServiceFactory& midi;
};

struct Command {
    std::string_view name;
    std::string_view arguments;
    std::string_view summary;
    std::size_t minArgs;
    std::optional<std::size_t> maxArgs; // none: any number
    int (*run)(Args args, Streams& io);
};

void Complain(Streams& io, const std::string& text) {
    io.err << ProgramName << ": " << text << '\n';
}

// Reads and parses a bank file; on failure says why and gives nothing.
std::optional<BankFileContents> LoadFile(const std::string& path, Streams& io) {
    const FileBytes file = ReadWholeFile(path);
    if (!file.Ok()) {
        Complain(io, file.error);
        return std::nullopt;
    }
    return ParseBankFile(file.bytes, path);
}

void ReportProblems(const BankFileContents& contents, std::ostream& stream) {
    for (const std::string& problem : contents.problems)
        stream << problem << '\n';
    for (const std::string& note : contents.notes)
        stream << note << '\n';
}

int ExitFor(bool problems) {
    return problems ? SyxExit::Problems : SyxExit::Success;
}

std::string DisplayName(const TSoundRecord& record) {
    std::string name = GetSoundName(record);
    name.erase(name.find_last_not_of(' ') + 1);
    return NameToUtf8(name);
}

int ListCommand(Args args, Streams& io) {
    const auto contents = LoadFile(args[0], io);
    if (!contents)
        return SyxExit::Failure;
    for (const auto& [slot, record] : contents->records)
        io.out << Slots::Caption(slot) << '\t' << DisplayName(record) << '\n';
    ReportProblems(*contents, io.err);
    return ExitFor(!contents->problems.empty());
}

int CheckCommand(Args args, Streams& io) {
    const auto contents = LoadFile(args[0], io);
    if (!contents)
        return SyxExit::Failure;
    std::set<int> slots;
    for (const auto& placed : contents->records)
        slots.insert(placed.slot);
    const bool noRecord = contents->records.empty();
    io.out << "complete records: " << contents->completeRecords << '\n'
           << "loadable records: " << contents->records.size() << '\n'
           << "distinct slots: " << slots.size() << '\n'
           << "problems: " << contents->problems.size() + (noRecord ? 1 : 0) << '\n';
    ReportProblems(*contents, io.out);
    if (noRecord)
        io.out << '"' << args[0] << "\" holds no record.\n";
    return ExitFor(!contents->problems.empty() || noRecord);
}

// Accepts "b010" as well as "B010".
int SlotFromArgument(std::string caption) {
    if (!caption.empty())
        caption[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(caption[0])));
    return Slots::FromCaption(caption);
}

int Write(const std::string& path, std::span<const std::uint8_t> bytes, Streams& io) {
    if (const auto error = WriteWholeFile(path, bytes)) {
        Complain(io, *error);
        return SyxExit::Failure;
    }
    return SyxExit::Success;
}

int ExtractCommand(Args args, Streams& io) {
    const int slot = SlotFromArgument(args[1]);
    if (slot < 0) {
        Complain(io, "\"" + args[1] + "\" is no slot; slots run from A001 to C128");
        return SyxExit::Failure;
    }
    const auto contents = LoadFile(args[0], io);
    if (!contents)
        return SyxExit::Failure;
    ReportProblems(*contents, io.err);
    // The last record for the slot, as loading the file would leave it.
    const auto& records = contents->records;
    const auto found = std::find_if(records.rbegin(), records.rend(),
                                    [slot](const BankFileRecord& r) { return r.slot == slot; });
    if (found == records.rend()) {
        Complain(io, "\"" + args[0] + "\" holds no record for " + Slots::Caption(slot));
        return SyxExit::Problems;
    }
    if (const int status = Write(args[2], BankFileRecordBytes(slot, found->record), io))
        return status;
    return ExitFor(!contents->problems.empty());
}

int MergeCommand(Args args, Streams& io) {
    std::map<int, TSoundRecord> merged; // slot order; later files win
    bool problems = false;
    for (const std::string& path : args.subspan(1)) {
        const auto contents = LoadFile(path, io);
        if (!contents)
            return SyxExit::Failure; // nothing is written from a partial set of files
        ReportProblems(*contents, io.err);
        problems = problems || !contents->problems.empty();
        for (const auto& [slot, record] : contents->records)
            merged[slot] = record;
    }
    if (merged.empty()) {
        Complain(io, "no record to merge; nothing was written to \"" + args[0] + "\"");
        return SyxExit::Problems;
    }
    std::vector<BankFileRecord> records;
    for (const auto& [slot, record] : merged)
        records.push_back({slot, record});
    if (const int status = Write(args[0], BankFileBytes(records), io))
        return status;
    return ExitFor(problems);
}

// The sounds of a file by slot, as loading it would leave them.
std::map<int, TSoundRecord> SoundsBySlot(const BankFileContents& contents) {
    std::map<int, TSoundRecord> sounds;
    for (const auto& [slot, record] : contents.records)
        sounds[slot] = record;
    return sounds;
}

std::string ParameterCount(int count) {
    return std::to_string(count) + (count == 1 ? " parameter differs" : " parameters differ");
}

int DiffCommand(Args args, Streams& io) {
    const auto first = LoadFile(args[0], io);
    if (!first)
        return SyxExit::Failure;
    const auto second = LoadFile(args[1], io);
    if (!second)
        return SyxExit::Failure;
    ReportProblems(*first, io.err);
    ReportProblems(*second, io.err);
    const auto firstSounds = SoundsBySlot(*first);
    const auto secondSounds = SoundsBySlot(*second);
    int differing = 0;
    for (int slot = 0; slot < Slots::Count; ++slot) {
        const auto a = firstSounds.find(slot);
        const auto b = secondSounds.find(slot);
        const bool inFirst = a != firstSounds.end();
        const bool inSecond = b != secondSounds.end();
        if (!inFirst && !inSecond)
            continue;
        std::string what;
        if (inFirst && inSecond) {
            const int count = DifferenceCount(a->second, b->second);
            if (count == 0)
                continue;
            what = ParameterCount(count);
        } else {
            what = "only in " + (inFirst ? args[0] : args[1]);
        }
        ++differing;
        io.out << Slots::Caption(slot) << '\t' << (inFirst ? DisplayName(a->second) : "-") << '\t'
               << (inSecond ? DisplayName(b->second) : "-") << '\t' << what << '\n';
    }
    if (differing == 0)
        io.out << "no sound differs\n";
    else
        io.out << differing << (differing == 1 ? " slot differs" : " slots differ") << '\n';
    return differing == 0 ? SyxExit::Success : SyxExit::Problems;
}

std::unique_ptr<MidiService> OpenMidi(Streams& io) {
    std::unique_ptr<MidiService> midi = io.midi ? io.midi() : nullptr;
    if (!midi)
        Complain(io, "no MIDI system is available");
    return midi;
}

// The words of a port command: options with a value, then plain words.
struct PortArguments {
    std::string in;
    std::string out;
    std::vector<std::string> words;
    bool din = false; // send: spaced as a DIN cable carries them
};

std::optional<PortArguments> ParsePortArguments(Args args, bool wantsIn, Streams& io,
                                                std::string_view command = "backup") {
    PortArguments parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool isIn = arg == "--in" && wantsIn;
        if (isIn || arg == "--out") {
            if (i + 1 == args.size()) {
                Complain(io, arg + " needs a port name");
                return std::nullopt;
            }
            (isIn ? parsed.in : parsed.out) = args[++i];
        } else if (arg == "--din" && !wantsIn) {
            parsed.din = true;
        } else if (arg.starts_with("--")) {
            Complain(io, "unknown option \"" + arg + "\"");
            return std::nullopt;
        } else {
            parsed.words.push_back(arg);
        }
    }
    if ((wantsIn && parsed.in.empty()) || parsed.out.empty() || parsed.words.size() != 1) {
        Complain(io, wantsIn ? "usage: tonewright-syx " + std::string(command) +
                                   " --in PORT --out PORT FILE"
                             : "usage: tonewright-syx send [--din] --out PORT FILE");
        return std::nullopt;
    }
    return parsed;
}

int PortsCommand(Args, Streams& io) {
    const auto midi = OpenMidi(io);
    return midi ? ListPorts(*midi, io.out) : SyxExit::Failure;
}

int BackupCommand(Args args, Streams& io) {
    const auto parsed = ParsePortArguments(args, true, io);
    if (!parsed)
        return SyxExit::Failure;
    const auto midi = OpenMidi(io);
    if (!midi)
        return SyxExit::Failure;
    return BackupPrograms(*midi, parsed->in, parsed->out, parsed->words[0], io.out, io.err);
}

int RestoreCommand(Args args, Streams& io) {
    const auto parsed = ParsePortArguments(args, true, io, "restore");
    if (!parsed)
        return SyxExit::Failure;
    const auto midi = OpenMidi(io);
    if (!midi)
        return SyxExit::Failure;
    return RestorePrograms(*midi, parsed->in, parsed->out, parsed->words[0], io.out, io.err);
}

int SendCommand(Args args, Streams& io) {
    const auto parsed = ParsePortArguments(args, false, io);
    if (!parsed)
        return SyxExit::Failure;
    const auto midi = OpenMidi(io);
    if (!midi)
        return SyxExit::Failure;
    return SendSysExFile(*midi, parsed->out, parsed->words[0], io.out, io.err,
                         {.din = parsed->din, .wait = {}});
}

int HelpCommand(Args, Streams& io);

int CatalogueCommand(Args args, Streams& io) {
    return RunCatalogueCommand(args, io.out, io.err);
}

int VersionCommand(Args, Streams& io) {
    io.out << ProgramName << ' ' << TONEWRIGHT_VERSION << '\n';
    return SyxExit::Success;
}

// New commands are added here; dispatch and help follow from the table.
constexpr std::array Commands{
    Command{"list", "FILE", "one line per record: slot, TAB, name; problems go to standard error",
            1, 1, ListCommand},
    Command{"check", "FILE", "counts records and distinct slots and prints every problem", 1, 1,
            CheckCommand},
    Command{"extract", "FILE SLOT OUT", "writes the record of SLOT (such as B010) to OUT", 3, 3,
            ExtractCommand},
    Command{"merge", "OUT FILE...",
            "writes the records of all FILEs to OUT in slot order; later files win", 2,
            std::nullopt, MergeCommand},
    Command{"diff", "A B",
            "one line per slot whose sounds differ: slot, TAB, name in A, TAB, name in B,\n"
            "      TAB, how many parameters differ (or the file that alone holds the slot);\n"
            "      the exit status is 0 when the sounds are equal, 1 when they differ",
            2, 2, DiffCommand},
    Command{"ports", "", "one line per MIDI port: \"in\" or \"out\", TAB, the port's name", 0, 0,
            PortsCommand},
    Command{"backup", "--in PORT --out PORT FILE",
            "asks the instrument for all 384 programs and writes them to FILE; a program\n"
            "      that is not answered within 2 s (asked twice) ends the backup, nothing written",
            5, 5, BackupCommand},
    Command{"restore", "--in PORT --out PORT FILE",
            "writes every program of FILE to its location (300 ms apart, so the instrument\n"
            "      can store each), reads them all back and writes a program that differs once\n"
            "      more; what still differs is listed on standard error",
            5, 5, RestoreCommand},
    Command{"send", "[--din] --out PORT FILE",
            "sends the SysEx messages of FILE to the instrument, unchanged and in order;\n"
            "      --din spaces them as a DIN MIDI cable would (320 us a byte)",
            3, 4, SendCommand},
    Command{"catalogue", CatalogueImportArguments, CatalogueSummary, 1, std::nullopt,
            CatalogueCommand},
    Command{"--help", "", "shows this text", 0, 0, HelpCommand},
    Command{"--version", "", "shows the program's version", 0, 0, VersionCommand},
};

void PrintUsage(std::ostream& stream) {
    stream << "Usage: " << ProgramName << " COMMAND ARGUMENTS\n"
           << "Reads and writes .syx bank files of DSI Mopho program dumps.\n\nCommands:\n";
    for (const Command& command : Commands) {
        stream << "  " << command.name;
        if (!command.arguments.empty())
            stream << ' ' << command.arguments;
        stream << "\n      " << command.summary << '\n';
    }
    stream << "\nPORT is a port's name as \"ports\" prints it, or a part of it that names\n"
           << "exactly one port of that direction.\n"
           << "--catalogue FILE names another sound catalogue than the one in the user's\n"
           << "data folder.\n"
           << "\nExit status:\n"
           << "  0  success\n"
           << "  1  the files hold records that could not be used, \"check\" found no record,\n"
           << "     \"merge\" found no record to write or \"extract\" none for the slot\n"
           << "     (nothing is written then), \"send\" found a file whose last message has\n"
           << "     no final F7 (nothing is sent then), the instrument did not answer,\n"
           << "     \"diff\" found sounds that differ, or \"restore\" found a file with\n"
           << "     unusable records (nothing is sent then) or programs that did not read\n"
           << "     back equal, \"catalogue import\" found records or files it could not\n"
           << "     use, \"catalogue find\" or \"export\" found no sound (nothing is written\n"
           << "     then) or more than 384 to export (the first 384 are written)\n"
           << "  2  wrong arguments, an unknown or ambiguous port, a file that cannot be read\n"
           << "     or written, standard output that cannot be written, a port that went\n"
           << "     away, a MIDI server that stopped, or a sound catalogue that cannot be\n"
           << "     opened or written (damaged, of a newer version, in use)\n";
}

int HelpCommand(Args, Streams& io) {
    PrintUsage(io.out);
    return SyxExit::Success;
}

const Command* FindCommand(std::string_view name) {
    if (name == "-h" || name == "help")
        name = "--help";
    const auto found = std::find_if(Commands.begin(), Commands.end(),
                                    [name](const Command& c) { return c.name == name; });
    return found == Commands.end() ? nullptr : &*found;
}

bool ArgumentCountFits(const Command& command, std::size_t count) {
    return count >= command.minArgs && (!command.maxArgs || count <= *command.maxArgs);
}

} // namespace

int RunSyxTool(std::span<const std::string> args, std::ostream& out, std::ostream& err,
               const MidiServiceFactory& midi) {
    Streams io{out, err, midi};
    if (args.empty()) {
        PrintUsage(err);
        return SyxExit::Failure;
    }
    const Command* command = FindCommand(args[0]);
    if (!command) {
        Complain(io, "unknown command \"" + args[0] + "\"; see " + std::string(ProgramName) +
                         " --help");
        return SyxExit::Failure;
    }
    const Args rest = args.subspan(1);
    if (!ArgumentCountFits(*command, rest.size())) {
        Complain(io, "usage: " + std::string(ProgramName) + " " + std::string(command->name) + " " +
                         std::string(command->arguments));
        return SyxExit::Failure;
    }
    const int status = command->run(rest, io);
    // A report that did not reach its reader is a failure, not a success.
    if (!out.flush()) {
        const auto* descriptor = dynamic_cast<const DescriptorOutput*>(out.rdbuf());
        const std::string reason =
            descriptor && !descriptor->Error().empty() ? ": " + descriptor->Error() : std::string();
        Complain(io, "cannot write to standard output" + reason);
        return SyxExit::Failure;
    }
    return status;
}
