#include "library_files.h"

#include "bank_file.h"
#include "program_file_io.h"
#include "prompter.h"
#include "sound_library.h"
#include "sysex_codec.h"
#include "sysex_messages.h"

#include <QDir>
#include <QFileInfo>

LibraryFiles::LibraryFiles(TSoundLibrary& library, Prompter& prompter, Log log)
    : library_(library), prompter_(prompter), log_(std::move(log)) {}

LibraryFiles::Load LibraryFiles::LoadBankFile(const QString& path, std::vector<int>* placedSlots) {
    QByteArray bytes;
    if (const QString error = ReadWholeFile(path, bytes); !error.isEmpty()) {
        log_(error);
        return Load::NotRead;
    }
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    const BankFileContents contents = ParseBankFile({data, static_cast<std::size_t>(bytes.size())},
                                                    QDir::toNativeSeparators(path).toStdString());
    for (const BankFileRecord& placed : contents.records) {
        library_.StoreSound(placed.slot, placed.record);
        if (placedSlots)
            placedSlots->push_back(placed.slot);
    }
    if (contents.records.empty() && contents.problems.empty())
        log_(QStringLiteral("%1 holds no sound: nothing was loaded.")
                 .arg(QDir::toNativeSeparators(path)));
    for (const std::string& problem : contents.problems)
        log_(QString::fromStdString(problem));
    for (const std::string& note : contents.notes)
        log_(QString::fromStdString(note));
    return contents.problems.empty() ? Load::Clean : Load::WithProblems;
}

bool LibraryFiles::SaveBankFile(const QString& path) {
    std::vector<int> all(Slots::Count);
    for (int slot = 0; slot < Slots::Count; ++slot)
        all[static_cast<std::size_t>(slot)] = slot;
    return SaveSlotsToFile(path, all);
}

bool LibraryFiles::SaveSlotsToFile(const QString& path, const std::vector<int>& slots) {
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(slots.size() * ProgramDumpSize));
    for (int slot : slots) {
        // The header is written afresh for the slot, whatever the record holds.
        const auto message =
            ProgramDumpMessage(library_.Sound(slot), Slots::BankOf(slot), Slots::ProgramOf(slot));
        bytes.append(reinterpret_cast<const char*>(message.data()),
                     static_cast<qsizetype>(message.size()));
    }
    if (const QString error = WriteWholeFile(path, bytes); !error.isEmpty()) {
        log_(error);
        return false;
    }
    return true;
}

void LibraryFiles::SaveSeparateFiles(const QString& chosen, const std::vector<int>& slots) {
    for (int slot : slots) {
        const QString path = SeparateFileName(chosen, slot);
        if (QFileInfo::exists(path)) {
            const auto answer = prompter_.Confirm(QStringLiteral("Do you want to replace it?"),
                                                  Prompter::Buttons::YesNoCancel);
            if (answer == Prompter::Answer::Cancel)
                return;
            if (answer == Prompter::Answer::No)
                continue;
        }
        if (!SaveSlotsToFile(path, {slot}))
            return; // a file error ends the run
    }
}

QString LibraryFiles::SeparateFileName(const QString& chosen, int row) {
    return chosen + QString::number(row + 1) + QStringLiteral(".syx");
}
