#pragma once

#include <QByteArray>
#include <QString>

// Whole-file reads and writes. Writes go through QSaveFile: a failed or
// interrupted write leaves the previous file as it was. Each returns an
// empty string on success, else a one-line message naming the file.
QString ReadWholeFile(const QString& path, QByteArray& bytes);
QString WriteWholeFile(const QString& path, const QByteArray& bytes);
