#include "program_file_io.h"

#include "file_io.h"

#include <QDir>
#include <QFile>

#include <cstdint>

namespace {

std::string SystemPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString Failure(const char* what, const QString& path, const std::string& reason) {
    return QStringLiteral("%1 %2: %3")
        .arg(QLatin1String(what), QDir::toNativeSeparators(path), QString::fromLocal8Bit(reason));
}

} // namespace

QString ReadWholeFile(const QString& path, QByteArray& bytes) {
    const FileBytes file = ReadFileContents(SystemPath(path));
    if (!file.Ok())
        return Failure("Cannot read", path, file.error);
    bytes = QByteArray(reinterpret_cast<const char*>(file.bytes.data()),
                       static_cast<qsizetype>(file.bytes.size()));
    return {};
}

QString WriteWholeFile(const QString& path, const QByteArray& bytes) {
    const std::span<const std::uint8_t> data{
        reinterpret_cast<const std::uint8_t*>(bytes.constData()),
        static_cast<std::size_t>(bytes.size())};
    if (const auto reason = ReplaceRegularFile(SystemPath(path), data))
        return Failure("Cannot write", path, *reason);
    return {};
}
