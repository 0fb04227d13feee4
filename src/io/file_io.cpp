#include "file_io.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {
std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}
} // namespace

FileBytes ReadWholeFile(const std::string& path, std::size_t maxSize) {
    FileBytes file = ReadFileContents(path, maxSize);
    if (!file.Ok())
        file.error = "cannot read " + Quoted(path) + ": " + file.error;
    return file;
}

std::optional<std::string> WriteWholeFile(const std::string& path,
                                          std::span<const std::uint8_t> bytes) {
    if (auto reason = ReplaceFileContents(path, bytes))
        return "cannot write " + Quoted(path) + ": " + *reason;
    return std::nullopt;
}

std::string SizeText(std::size_t bytes) {
    constexpr std::size_t MiB = 1u << 20;
    if (bytes >= MiB && bytes % MiB == 0)
        return std::to_string(bytes / MiB) + " MiB";
    return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

int WriteToDescriptor(int fd, const char* data, std::size_t size) {
    while (size > 0) {
#if defined(_WIN32)
        const int written =
            ::_write(fd, data, static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30)));
#else
        const auto written = ::write(fd, data, size);
#endif
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return 0;
}

DescriptorOutput::DescriptorOutput(int descriptor) : descriptor_(descriptor) {
    setp(buffer_.data(), buffer_.data() + buffer_.size());
}

DescriptorOutput::~DescriptorOutput() {
    Drain();
}

bool DescriptorOutput::Drain() {
    const auto size = static_cast<std::size_t>(pptr() - pbase());
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    if (!error_.empty())
        return false;
    if (const int error = WriteToDescriptor(descriptor_, buffer_.data(), size)) {
        error_ = std::strerror(error);
        return false;
    }
    return true;
}

DescriptorOutput::int_type DescriptorOutput::overflow(int_type ch) {
    if (!Drain())
        return traits_type::eof();
    if (!traits_type::eq_int_type(ch, traits_type::eof()))
        sputc(traits_type::to_char_type(ch));
    return traits_type::not_eof(ch);
}

int DescriptorOutput::sync() {
    return Drain() ? 0 : -1;
}
