#include "file_io.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

QString FromLocal(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

FileBytes Failure(const std::string& text) {
    return {{}, text};
}

} // namespace

FileBytes ReadWholeFile(const std::string& path, std::size_t maxSize) {
    const QString name = FromLocal(path);
    const QFileInfo info(name);
    if (!info.exists())
        return Failure("cannot read " + Quoted(path) + ": no such file");
    if (!info.isFile())
        return Failure("cannot read " + Quoted(path) + ": not a regular file");
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return Failure("cannot read " + Quoted(path) + ": " + file.errorString().toStdString());
    // One byte more than allowed tells a file that grew too large apart.
    const QByteArray data = file.read(static_cast<qint64>(maxSize) + 1);
    if (file.error() != QFileDevice::NoError)
        return Failure("cannot read " + Quoted(path) + ": " + file.errorString().toStdString());
    if (static_cast<std::size_t>(data.size()) > maxSize)
        return Failure("cannot read " + Quoted(path) + ": larger than " +
                       std::to_string(maxSize >> 20) + " MiB");
    return {{data.begin(), data.end()}, {}};
}

std::optional<std::string> WriteWholeFile(const std::string& path,
                                          std::span<const std::uint8_t> bytes) {
    QSaveFile file(FromLocal(path));
    const auto size = static_cast<qint64>(bytes.size());
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(reinterpret_cast<const char*>(bytes.data()), size) != size || !file.commit())
        return "cannot write " + Quoted(path) + ": " + file.errorString().toStdString();
    return std::nullopt;
}
