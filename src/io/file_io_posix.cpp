#include "file_io.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// POSIX calls rather than QFile and QSaveFile: Qt turns a path into text and
// back, which replaces every byte that is not UTF-8 and so names another file.

namespace {

std::string SystemError(int error) {
    return std::strerror(error);
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }
    // Closes now, so that a failure to close can be reported.
    int Close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

private:
    int fd_;
};

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Devices and pipes cannot be replaced; they take the bytes as they come.
std::optional<std::string> WriteDirectly(const std::string& path,
                                         std::span<const std::uint8_t> bytes) {
    const auto fail = [](int error) { return SystemError(error); };
    Descriptor file(::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY));
    if (file.Get() < 0)
        return fail(errno);
    if (const int error = WriteToDescriptor(file.Get(), reinterpret_cast<const char*>(bytes.data()),
                                            bytes.size()))
        return fail(error);
    if (file.Close() != 0)
        return fail(errno);
    return std::nullopt;
}

} // namespace

FileBytes ReadFileContents(const std::string& path, std::size_t maxSize) {
    const auto fail = [](const std::string& reason) { return FileBytes{{}, reason}; };
    // Not blocking, so that opening a pipe with no writer returns at once.
    Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (file.Get() < 0)
        return fail(errno == ENOENT ? "no such file" : SystemError(errno));
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0)
        return fail(SystemError(errno));
    if (!S_ISREG(info.st_mode))
        return fail("not a regular file");
    const std::string tooLarge = "larger than " + SizeText(maxSize);
    if (static_cast<std::size_t>(info.st_size) > maxSize)
        return fail(tooLarge);

    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(info.st_size));
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (bytes.size() > maxSize) // it grew while being read
                return fail(tooLarge);
            bytes.resize(std::min(bytes.size() + 65536, maxSize + 1));
        }
        const ssize_t got = ::read(file.Get(), bytes.data() + filled, bytes.size() - filled);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return fail(SystemError(errno));
        }
        if (got == 0)
            break;
        filled += static_cast<std::size_t>(got);
    }
    if (filled > maxSize)
        return fail(tooLarge);
    bytes.resize(filled);
    return {std::move(bytes), {}};
}

namespace {

enum class OtherFiles { Write, Refuse };

std::optional<std::string> Replace(const std::string& path, std::span<const std::uint8_t> bytes,
                                   OtherFiles others) {
    const auto fail = [](const std::string& reason) { return std::optional<std::string>(reason); };
    std::string target = path;
    mode_t mode = NewFileMode();
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode))
            return fail("it is a folder");
        if (!S_ISREG(info.st_mode))
            return others == OtherFiles::Refuse ? fail("not a regular file")
                                                : WriteDirectly(path, bytes);
        if (::access(path.c_str(), W_OK) != 0)
            return fail("the existing file may not be changed: " + SystemError(errno));
        // Replace the file a symbolic link names, not the link.
        const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr),
                                                               &std::free);
        if (!real)
            return fail(SystemError(errno));
        target = real.get();
        mode = info.st_mode & 07777;
    } else if (errno != ENOENT) {
        return fail(SystemError(errno)); // a symbolic link loop, say
    }

    const std::string folder = FolderOf(target);
    std::string temporary = target + ".XXXXXX";
    Descriptor file(::mkostemp(temporary.data(), O_CLOEXEC));
    if (file.Get() < 0)
        return fail("cannot create a file in the folder \"" + folder + "\"" + ": " +
                    SystemError(errno));
    const auto failAndRemove = [&](int error) {
        ::unlink(temporary.c_str());
        return fail(SystemError(error));
    };
    if (::fchmod(file.Get(), mode) != 0)
        return failAndRemove(errno);
    if (const int error = WriteToDescriptor(file.Get(), reinterpret_cast<const char*>(bytes.data()),
                                            bytes.size()))
        return failAndRemove(error);
    if (::fsync(file.Get()) != 0)
        return failAndRemove(errno);
    if (file.Close() != 0)
        return failAndRemove(errno);
    if (::rename(temporary.c_str(), target.c_str()) != 0)
        return failAndRemove(errno);
    return std::nullopt;
}

} // namespace

std::optional<std::string> ReplaceFileContents(const std::string& path,
                                               std::span<const std::uint8_t> bytes) {
    return Replace(path, bytes, OtherFiles::Write);
}

std::optional<std::string> ReplaceRegularFile(const std::string& path,
                                              std::span<const std::uint8_t> bytes) {
    return Replace(path, bytes, OtherFiles::Refuse);
}
