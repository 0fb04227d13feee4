#include "file_access.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace {
QString Failure(const QString& what, const QString& path, const QString& reason) {
    return QStringLiteral("%1 %2: %3").arg(what, QDir::toNativeSeparators(path), reason);
}
} // namespace

QString ReadWholeFile(const QString& path, QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Failure(QStringLiteral("Cannot open"), path, file.errorString());
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Failure(QStringLiteral("Cannot read"), path, file.errorString());
    return {};
}

QString WriteWholeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Failure(QStringLiteral("Cannot write"), path, file.errorString());
    if (file.write(bytes) != bytes.size() || !file.commit())
        return Failure(QStringLiteral("Cannot write"), path, file.errorString());
    return {};
}
