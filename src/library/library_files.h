#pragma once

#include <QString>

#include <functional>
#include <vector>

class Prompter;
class TSoundLibrary;

// Loading and saving the library as bank files of 300-byte program dumps.
// Every problem becomes one line through the log; nothing here touches a
// widget, so the caller rebuilds the list.
class LibraryFiles {
public:
    using Log = std::function<void(const QString&)>;

    LibraryFiles(TSoundLibrary& library, Prompter& prompter, Log log);

    enum class Load { Clean, WithProblems, NotRead };
    // Places each program dump in the slot its location bytes name; records
    // that are no program dump of this maker, or broken, are left out with a
    // line each (WithProblems). NotRead when the file could not be read (no
    // slot changed then).
    // `placedSlots`, when given, receives the slots that took a record.
    Load LoadBankFile(const QString& path, std::vector<int>* placedSlots = nullptr);
    // Writes all 384 slots in slot order.
    bool SaveBankFile(const QString& path);
    // Writes the given slots, in the given order, into one file.
    bool SaveSlotsToFile(const QString& path, const std::vector<int>& slots);
    // One file per slot, named after the chosen file and the slot's row number;
    // asks before replacing a file (Cancel ends the whole run).
    void SaveSeparateFiles(const QString& chosen, const std::vector<int>& slots);

    static QString SeparateFileName(const QString& chosen, int row);

private:
    TSoundLibrary& library_;
    Prompter& prompter_;
    Log log_;
};
