#include "syx_tool.h"

#include "bank_file.h"
#include "file_io.h"

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
    io.out << "complete records: " << contents->completeBlocks << '\n'
           << "loadable records: " << contents->records.size() << '\n'
           << "distinct slots: " << slots.size() << '\n'
           << "problems: " << contents->problems.size() << '\n';
    ReportProblems(*contents, io.out);
    return ExitFor(!contents->problems.empty());
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
    std::vector<BankFileRecord> records;
    for (const auto& [slot, record] : merged)
        records.push_back({slot, record});
    if (const int status = Write(args[0], BankFileBytes(records), io))
        return status;
    return ExitFor(problems);
}

int HelpCommand(Args, Streams& io);

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
    Command{"--help", "", "shows this text", 0, 0, HelpCommand},
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
    stream << "\nExit status: 0 success, 1 the files hold records that could not be used,\n"
           << "2 wrong arguments or a file that cannot be read or written.\n";
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

int RunSyxTool(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    Streams io{out, err};
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
    return command->run(rest, io);
}
