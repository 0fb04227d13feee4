#pragma once

#include <QByteArray>
#include <QString>

// The program's whole-file reads and writes, on file_io.h's rules: regular
// files only (a pipe or device is refused, never waited on or written), at most
// MaxInputFileSize bytes read, writes that replace the file in one step.
// Each returns an empty string on success, else one line naming the file:
// "Cannot read C:\Sounds\a.syx: not a regular file".
QString ReadWholeFile(const QString& path, QByteArray& bytes);
QString WriteWholeFile(const QString& path, const QByteArray& bytes);
