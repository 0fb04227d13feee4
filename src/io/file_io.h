#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <streambuf>
#include <string>
#include <vector>

// Whole-file reading and safe writing for the program and the command-line
// tools. Paths are bytes handed to the system unchanged: a name that is not
// valid text in any encoding still names its file.

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

// Replaces a regular file through a temporary one in the same folder, so a
// failed write leaves any previous file as it was; a symbolic link keeps
// pointing at the file it named, and an existing file keeps its permissions.
// A device or pipe (such as /dev/stdout) is written directly. Returns the
// error text on failure.
std::optional<std::string> WriteWholeFile(const std::string& path,
                                          std::span<const std::uint8_t> bytes);

// ReadWholeFile and WriteWholeFile with only the reason in the error text
// ("no such file", "larger than 64 MiB"), for callers that name the file in
// their own words.
FileBytes ReadFileContents(const std::string& path, std::size_t maxSize = MaxInputFileSize);
std::optional<std::string> ReplaceFileContents(const std::string& path,
                                               std::span<const std::uint8_t> bytes);
// ReplaceFileContents for the program's own files (settings, bank files,
// schemas): a device or pipe, or a link to one, is refused ("not a regular
// file") and never opened, so writing cannot wait for a reader.
std::optional<std::string> ReplaceRegularFile(const std::string& path,
                                              std::span<const std::uint8_t> bytes);

// "64 MiB" for whole mebibytes, otherwise "300 bytes".
std::string SizeText(std::size_t bytes);

// Writes everything to a file descriptor; returns 0 or the errno of the failure.
int WriteToDescriptor(int descriptor, const char* data, std::size_t size);

// An output stream buffer on a file descriptor that remembers why a write
// failed (such as "No space left on device"), which std::cout cannot tell.
class DescriptorOutput : public std::streambuf {
public:
    explicit DescriptorOutput(int descriptor);
    ~DescriptorOutput() override;
    // Empty while every write succeeded.
    const std::string& Error() const { return error_; }

protected:
    int_type overflow(int_type ch) override;
    int sync() override;

private:
    bool Drain();

    int descriptor_;
    std::array<char, 8192> buffer_{};
    std::string error_;
};
