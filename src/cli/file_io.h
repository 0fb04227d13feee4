#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// Whole-file reading and safe writing for the command-line tools.

struct FileBytes {
    std::vector<std::uint8_t> bytes;
    // Empty when the file was read; otherwise one line saying why not.
    std::string error;
    bool Ok() const { return error.empty(); }
};

// Larger files are refused: 64 MiB holds over 200000 records.
inline constexpr std::size_t MaxInputFileSize = 64u << 20;

// Reads a regular file. Devices, pipes and folders are refused, so reading
// never blocks or runs without end.
FileBytes ReadWholeFile(const std::string& path, std::size_t maxSize = MaxInputFileSize);

// Replaces the file through a temporary one (QSaveFile), so a failed write
// leaves any previous file as it was. Returns the error text on failure.
std::optional<std::string> WriteWholeFile(const std::string& path,
                                          std::span<const std::uint8_t> bytes);
