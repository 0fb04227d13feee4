#include "catalogue_commands.h"

#include "bank_file.h"
#include "catalogue_location.h"
#include "file_io.h"
#include "sound_catalogue.h"
#include "syx_tool.h"

#include <QString>

#include <optional>
#include <vector>

namespace {

constexpr std::string_view UsageHint =
    "catalogue import|find|export [--catalogue FILE] ...; see tonewright-syx --help";

struct Options {
    std::string catalogue;
    std::optional<SoundCategory> category;
    bool favourites = false;
    std::string out;
    std::vector<std::string> words; // what is left: paths, or the text to find
};

void Complain(std::ostream& err, const std::string& text) {
    err << "tonewright-syx catalogue: " << text << '\n';
}

// Reads the options each subcommand may take; nothing, with the reason
// said, when one is wrong or lacks its value.
std::optional<Options> ReadOptions(std::span<const std::string> args, bool takesFilters,
                                   bool takesOut, std::ostream& err) {
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        const bool hasValue = i + 1 < args.size();
        if (word == "--catalogue" && hasValue) {
            options.catalogue = args[++i];
        } else if (word == "--category" && takesFilters && hasValue) {
            options.category = CategoryFromKey(args[++i]);
            if (!options.category) {
                Complain(err, "\"" + args[i] + "\" is no category; see tonewright-syx --help");
                return std::nullopt;
            }
        } else if (word == "--favourite" && takesFilters) {
            options.favourites = true;
        } else if (word == "--out" && takesOut && hasValue) {
            options.out = args[++i];
        } else if (word.starts_with("--")) {
            Complain(err, "\"" + word + "\" is no option here, or lacks its value; " +
                              std::string(UsageHint));
            return std::nullopt;
        } else {
            options.words.push_back(word);
        }
    }
    if (options.catalogue.empty())
        options.catalogue = DefaultCataloguePath();
    return options;
}

std::unique_ptr<SoundCatalogue> OpenOrSay(const std::string& path, CatalogueAccess access,
                                          std::ostream& err) {
    auto opened = SoundCatalogue::Open(path, access);
    if (auto* failure = std::get_if<CatalogueOpenFailure>(&opened)) {
        Complain(err, failure->message);
        return nullptr;
    }
    return std::move(std::get<std::unique_ptr<SoundCatalogue>>(opened));
}

std::string Plural(int count, std::string_view one, std::string_view many) {
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

int ImportCommand(const Options& options, std::ostream& out, std::ostream& err) {
    if (options.words.empty()) {
        Complain(err, "usage: tonewright-syx catalogue import [--catalogue FILE] PATH...");
        return SyxExit::Failure;
    }
    const auto catalogue = OpenOrSay(options.catalogue, CatalogueAccess::ReadWrite, err);
    if (!catalogue)
        return SyxExit::Failure;
    const ImportReport report = catalogue->ImportPaths(options.words);
    for (const std::string& problem : report.problems)
        err << problem << '\n';
    if (!report.Ok()) {
        Complain(err, *report.failure);
        return SyxExit::Failure;
    }
    out << "Read " << Plural(report.filesRead, "file", "files") << ": "
        << Plural(report.soundsAdded, "new sound", "new sounds") << ", " << report.soundsKnown
        << " already in the catalogue; " << Plural(report.filesUnchanged, "file", "files")
        << " unchanged since imported.\n";
    return report.problems.empty() ? SyxExit::Success : SyxExit::Problems;
}

// The words as one text to find ("fat bass" typed without quotes too), as
// Windows-1252 name bytes.
std::string SearchText(const Options& options) {
    std::string text;
    for (const std::string& word : options.words)
        text += (text.empty() ? "" : " ") + word;
    const QString typed = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    return Utf16ToName(typed.toStdU16String());
}

std::string SourceText(const SoundSource& source) {
    return source.file + " " + (Slots::IsValid(source.slot) ? Slots::Caption(source.slot) : "");
}

int FindCommand(const Options& options, std::ostream& out, std::ostream& err) {
    const auto catalogue = OpenOrSay(options.catalogue, CatalogueAccess::ReadOnly, err);
    if (!catalogue)
        return SyxExit::Failure;
    const auto ids = catalogue->Search({SearchText(options), options.category, options.favourites});
    for (const SoundId id : ids) {
        const auto summary = catalogue->Summary(id);
        if (!summary)
            continue;
        out << NameToUtf8(summary->name) << '\t' << CategoryKey(summary->category) << '\t';
        for (std::size_t i = 0; i < summary->sources.size(); ++i)
            out << (i ? "; " : "") << SourceText(summary->sources[i]);
        out << '\n';
    }
    return ids.empty() ? SyxExit::Problems : SyxExit::Success;
}

int ExportCommand(const Options& options, std::ostream& out, std::ostream& err) {
    if (options.out.empty()) {
        Complain(err, "usage: tonewright-syx catalogue export [--catalogue FILE] --out FILE TEXT");
        return SyxExit::Failure;
    }
    const auto catalogue = OpenOrSay(options.catalogue, CatalogueAccess::ReadOnly, err);
    if (!catalogue)
        return SyxExit::Failure;
    const auto ids = catalogue->Search({SearchText(options), options.category, options.favourites});
    if (ids.empty()) {
        Complain(err, "no sound matches; nothing was written to \"" + options.out + "\"");
        return SyxExit::Problems;
    }
    std::vector<BankFileRecord> records;
    for (const SoundId id : ids) {
        if (records.size() == Slots::Count)
            break;
        if (const auto sound = catalogue->Sound(id))
            records.push_back({static_cast<int>(records.size()), *sound});
    }
    if (const auto error = WriteWholeFile(options.out, BankFileBytes(records))) {
        Complain(err, *error);
        return SyxExit::Failure;
    }
    out << "Wrote " << Plural(static_cast<int>(records.size()), "sound", "sounds") << " to \""
        << options.out << "\", A001 on.\n";
    if (ids.size() > records.size()) {
        Complain(err, std::to_string(ids.size()) + " sounds match; a bank holds " +
                          std::to_string(Slots::Count) + ", the others were left out");
        return SyxExit::Problems;
    }
    return SyxExit::Success;
}

} // namespace

int RunCatalogueCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        Complain(err, "usage: " + std::string(UsageHint));
        return SyxExit::Failure;
    }
    const std::string& command = args[0];
    const bool isFind = command == "find";
    const bool isExport = command == "export";
    if (command != "import" && !isFind && !isExport) {
        Complain(err, "unknown catalogue command \"" + command + "\"; " + std::string(UsageHint));
        return SyxExit::Failure;
    }
    const auto options = ReadOptions(args.subspan(1), isFind || isExport, isExport, err);
    if (!options)
        return SyxExit::Failure;
    try {
        if (isFind)
            return FindCommand(*options, out, err);
        if (isExport)
            return ExportCommand(*options, out, err);
        return ImportCommand(*options, out, err);
    } catch (const std::exception& failure) {
        // A catalogue damaged past its first pages shows it only when read there.
        Complain(err, failure.what());
        return SyxExit::Failure;
    }
}
