#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Points the program's settings folder at a folder of the test's own while it
// lives, then puts back what was there, so later tests keep the folder the
// test main chose for the whole run.
class ScopedProgramFolder {
public:
    explicit ScopedProgramFolder(const QString& folder)
        : wasSet_(qEnvironmentVariableIsSet(Name)), previous_(qgetenv(Name)) {
        qputenv(Name, folder.toLocal8Bit());
    }
    ~ScopedProgramFolder() {
        if (wasSet_)
            qputenv(Name, previous_);
        else
            qunsetenv(Name);
    }
    ScopedProgramFolder(const ScopedProgramFolder&) = delete;
    ScopedProgramFolder& operator=(const ScopedProgramFolder&) = delete;

private:
    static constexpr const char* Name = "TONEWRIGHT_PROGRAM_FOLDER";
    bool wasSet_;
    QByteArray previous_;
};
