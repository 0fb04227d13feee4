#include "file_io.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

// Windows hands the command line over in the ANSI code page, which
// QFile::decodeName turns into the file's name; elsewhere file_io_posix.cpp
// passes the bytes on unchanged.

namespace {

QString FromLocal(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

FileBytes Failure(const std::string& reason) {
    return {{}, reason};
}

} // namespace

FileBytes ReadFileContents(const std::string& path, std::size_t maxSize) {
    const QString name = FromLocal(path);
    const QFileInfo info(name);
    if (!info.exists())
        return Failure("no such file");
    if (!info.isFile())
        return Failure("not a regular file");
    const std::string tooLarge = "larger than " + SizeText(maxSize);
    if (static_cast<std::size_t>(info.size()) > maxSize)
        return Failure(tooLarge);
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return Failure(file.errorString().toStdString());
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Failure(file.errorString().toStdString());
    if (static_cast<std::size_t>(data.size()) > maxSize) // it grew while being read
        return Failure(tooLarge);
    return {{data.begin(), data.end()}, {}};
}

std::optional<std::string> ReplaceFileContents(const std::string& path,
                                               std::span<const std::uint8_t> bytes) {
    QSaveFile file(FromLocal(path));
    const auto size = static_cast<qint64>(bytes.size());
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(reinterpret_cast<const char*>(bytes.data()), size) != size || !file.commit())
        return file.errorString().toStdString();
    return std::nullopt;
}

std::optional<std::string> ReplaceRegularFile(const std::string& path,
                                              std::span<const std::uint8_t> bytes) {
    const QFileInfo info(FromLocal(path));
    if (info.exists() && info.isDir())
        return std::string("it is a folder");
    if (info.exists() && !info.isFile())
        return std::string("not a regular file");
    return ReplaceFileContents(path, bytes);
}
