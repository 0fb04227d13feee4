#include "schema.h"

#include "file_io.h"
#include "sound_record.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

// File names hold at most 255 bytes; the file is written through a temporary
// one whose name is longer than the file's own.
constexpr std::size_t MaxSchemaNameSize = 200;

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    const auto folded = [](const std::string& text) {
        std::string lower(text);
        std::transform(lower.begin(), lower.end(), lower.begin(), LowerAscii);
        return lower;
    };
    const std::string foldedA = folded(a);
    const std::string foldedB = folded(b);
    return foldedA != foldedB ? foldedA < foldedB : a < b;
}

bool IsValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int follow = 0;
        unsigned int codePoint = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            follow = 1;
            codePoint = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            follow = 2;
            codePoint = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            follow = 3;
            codePoint = lead & 0x07;
        } else {
            return false;
        }
        if (i + static_cast<std::size_t>(follow) >= text.size())
            return false;
        for (int k = 1; k <= follow; ++k) {
            const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            if ((next & 0xC0) != 0x80)
                return false;
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        constexpr std::array<unsigned int, 4> smallest = {0, 0x80, 0x800, 0x10000};
        if (codePoint < smallest[static_cast<std::size_t>(follow)] || codePoint > 0x10FFFF ||
            (codePoint >= 0xD800 && codePoint <= 0xDFFF))
            return false;
        i += static_cast<std::size_t>(follow) + 1;
    }
    return true;
}

// Windows refuses these as a file's name before its first dot, in any case.
bool IsDeviceName(std::string_view name) {
    std::string stem(name.substr(0, name.find('.')));
    while (!stem.empty() && stem.back() == ' ')
        stem.pop_back();
    std::transform(stem.begin(), stem.end(), stem.begin(), LowerAscii);
    if (stem == "con" || stem == "prn" || stem == "aux" || stem == "nul")
        return true;
    return stem.size() == 4 && (stem.starts_with("com") || stem.starts_with("lpt")) &&
           stem[3] >= '1' && stem[3] <= '9';
}

bool HoldsSeparator(std::string_view name) {
    return name.find_first_of("/\\") != std::string_view::npos;
}

std::string SchemaPath(const std::string& folder, std::string_view name) {
    std::string path = folder;
    if (!path.empty() && path.back() != '/' && path.back() != '\\')
        path += '/';
    return path + std::string(name) + std::string(SchemaFileExtension);
}

std::string FileNameText(const std::filesystem::path& path) {
#if defined(_WIN32)
    const std::u8string name = path.filename().u8string();
    return {name.begin(), name.end()};
#else
    return path.filename().string();
#endif
}

std::filesystem::path NativePath(const std::string& path) {
#if defined(_WIN32)
    return std::filesystem::path(std::u8string(path.begin(), path.end()));
#else
    return std::filesystem::path(path.empty() ? "." : path);
#endif
}

} // namespace

std::string SchemaNameProblem(std::string_view name) {
    if (name.empty())
        return std::string(MissingSchemaNameMessage);
    const auto refuse = [&](std::string_view why) {
        return "The schema name \"" + SchemaDisplayName(name) +
               "\" cannot be used: " + std::string(why);
    };
    if (name == AnyValueSchemaName)
        return refuse("it is the built-in schema that allows every value; save under another "
                      "name.");
    if (HoldsSeparator(name) || name.find("..") != std::string_view::npos)
        return refuse("a schema is one file in the program's folder, so its name holds no \"/\", "
                      "\"\\\" or \"..\".");
    constexpr std::string_view refused = "<>:\"|?*";
    for (const char c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F ||
            refused.find(c) != std::string_view::npos)
            return refuse("file names hold none of the characters < > : \" | ? * and no control "
                          "characters.");
    if (!IsValidUtf8(name))
        return refuse("it is not valid text.");
    if (IsDeviceName(name))
        return refuse("it is the name of a device.");
    if (name.size() > MaxSchemaNameSize)
        return refuse("it is longer than " + std::to_string(MaxSchemaNameSize) + " bytes.");
    return {};
}

std::vector<std::string> ListSchemaFiles(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    std::filesystem::directory_iterator entries(NativePath(folder), error);
    // Stepping on with an error code: a folder that fails half-way lists what it gave.
    for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
        std::error_code typeError;
        if (!entries->is_regular_file(typeError))
            continue;
        const std::string file = FileNameText(entries->path());
        if (file.ends_with(SchemaFileExtension))
            names.push_back(file.substr(0, file.size() - SchemaFileExtension.size()));
    }
    std::sort(names.begin(), names.end(), LessIgnoringCase);
    return names;
}

std::string SchemaDisplayName(std::string_view name) {
    return IsValidUtf8(name) ? std::string(name) : NameToUtf8(name);
}

bool SchemaFileExists(const std::string& folder, std::string_view name) {
    if (HoldsSeparator(name) || name.find('\0') != std::string_view::npos)
        return false;
    std::error_code error;
    return std::filesystem::exists(NativePath(SchemaPath(folder, name)), error) || error;
}

LoadedSchema LoadSchema(const std::string& folder, std::string_view name) {
    LoadedSchema loaded{ReadSchemaText({}), {}};
    const auto fail = [&](const std::string& why) {
        loaded.error = "The schema \"" + SchemaDisplayName(name) + "\" cannot be loaded: " + why;
        return loaded;
    };
    if (HoldsSeparator(name) || name.find('\0') != std::string_view::npos)
        return fail("its name names no file in the folder.");
    const FileBytes file = ReadFileContents(SchemaPath(folder, name), MaxSchemaFileSize);
    if (!file.Ok())
        return fail(file.error + ".");
    const std::string_view text(reinterpret_cast<const char*>(file.bytes.data()),
                                file.bytes.size());
    if (SchemaKeyCount(text) == 0)
        return fail("the file holds no schema line.");
    loaded.list = ReadSchemaText(text);
    return loaded;
}

std::string SaveSchema(const std::string& folder, std::string_view name, const SchemaList& list) {
    const bool exists = SchemaFileExists(folder, name);
    // A listed file keeps its own name, whatever its encoding.
    if (name == AnyValueSchemaName || !exists)
        if (std::string problem = SchemaNameProblem(name); !problem.empty())
            return problem;
    const std::string path = SchemaPath(folder, name);
    std::string existing;
    if (exists) {
        // A file that cannot be read is not replaced: its other lines would be lost.
        const FileBytes file = ReadFileContents(path, MaxSchemaFileSize);
        if (!file.Ok())
            return "Cannot read the schema " + SchemaDisplayName(path) + ": " + file.error;
        existing.assign(reinterpret_cast<const char*>(file.bytes.data()), file.bytes.size());
    }
    const std::string text = SchemaFileText(existing, list);
    if (const auto failure = ReplaceRegularFile(
            path, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}))
        return "Cannot save the schema " + SchemaDisplayName(path) + ": " + *failure;
    return {};
}

std::optional<std::string> SaveChangesQuestion(const SchemaOrigin& origin) {
    if (origin.kind != SchemaOrigin::Kind::File || !origin.changedByHand)
        return std::nullopt;
    return "Save changes to the schema " + SchemaDisplayName(origin.file) + "?";
}

std::string ReplaceSchemaQuestion(std::string_view name) {
    return "Replace the schema " + SchemaDisplayName(name) + "?";
}
