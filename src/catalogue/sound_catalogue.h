#pragma once

#include "bank_file.h"
#include "sound_category.h"
#include "sound_record.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

class SqliteDatabase;

// The sound catalogue: every sound the user has imported, kept once by its
// content, with every place it came from, in one SQLite file.
//
// A sound's identity is its parameters 0..199 (the name included); the
// location bytes of the header and the parameters after the name do not
// count, so the same sound read from slot A001 of one file and C128 of
// another is one sound with two sources.

using SoundId = std::int64_t;

// Where a sound came from: a file (its absolute path) and the slot it held,
// or the library window ("Library") and its row; when it was imported, as
// "2026-12-08 13:46:35" UTC.
struct SoundSource {
    std::string file;
    int slot = 0;
    std::string imported;
    bool operator==(const SoundSource&) const = default;
};

// What a list shows of one sound.
struct SoundSummary {
    SoundId id = 0;
    std::string name; // Windows-1252 bytes, padding spaces removed
    SoundCategory category = SoundCategory::Other;
    bool favourite = false;
    std::vector<std::string> tags;    // UTF-8, in alphabetical order
    std::vector<SoundSource> sources; // oldest first
};

struct CatalogueSearch {
    std::string text; // Windows-1252 bytes; matches any part of a name, ignoring case
    std::optional<SoundCategory> category;
    bool favouritesOnly = false;
};

struct ImportReport {
    int filesRead = 0;
    int filesUnchanged = 0; // imported before and not changed since: skipped
    int soundsAdded = 0;    // sounds the catalogue did not hold
    int soundsKnown = 0;    // records of sounds it held already (a source may be new)
    // One sentence per record or file left out, as loading a bank reports it.
    std::vector<std::string> problems;
    // Set when the import was cancelled or failed: nothing of it was kept.
    std::optional<std::string> failure;
    bool Ok() const { return !failure.has_value(); }
};

// Called before each file of an import with the file's path; false cancels
// the import, which then keeps nothing.
using ImportProgress = std::function<bool(const std::string& path)>;

// Why a catalogue file could not be opened.
enum class CatalogueOpenProblem {
    Damaged, // not a catalogue file, or one SQLite cannot read
    Newer,   // written by a later version of the program
    Busy,    // another program holds it locked
    Unusable // the folder or file cannot be made or opened at all
};

struct CatalogueOpenFailure {
    CatalogueOpenProblem problem;
    std::string message; // one sentence naming the file and what the user can do
};

enum class CatalogueAccess { ReadWrite, ReadOnly };

class SoundCatalogue {
public:
    // The schema this program writes; older files are brought up to it when opened.
    static constexpr int SchemaVersion = 1;

    // Opens the file, creating it (and its folder) when missing. A file that
    // cannot be written, or one opened for reading only, can be searched, not
    // changed.
    static std::variant<std::unique_ptr<SoundCatalogue>, CatalogueOpenFailure>
    Open(const std::string& path, CatalogueAccess access = CatalogueAccess::ReadWrite);

    // Renames a catalogue that cannot be opened to "NAME.unreadable-DATE",
    // untouched, so a fresh one can be started in its place. Returns the new
    // path, or a sentence saying why it could not be moved.
    static std::variant<std::string, CatalogueOpenFailure> SetAside(const std::string& path);

    ~SoundCatalogue();
    SoundCatalogue(const SoundCatalogue&) = delete;
    SoundCatalogue& operator=(const SoundCatalogue&) = delete;

    const std::string& Path() const { return path_; }
    bool ReadOnly() const;

    // Imports bank files, and the .syx files of folders and their subfolders,
    // in one transaction: a failure, a cancel or a killed program keeps none
    // of it. A file imported before whose bytes have not changed is skipped.
    ImportReport ImportPaths(std::span<const std::string> paths,
                             const ImportProgress& progress = {});
    // Imports sounds not read from a file (the library window's rows, a bred
    // sound), each with `sourceName` and its slot as its source, in one transaction.
    ImportReport ImportSounds(std::span<const BankFileRecord> sounds, std::string_view sourceName);
    // One sound with its source; the sound's id (the existing one when the
    // catalogue held it already). Throws std::runtime_error on failure.
    SoundId AddSound(const TSoundRecord& sound, std::string_view sourceName, int slot = 0);

    // Matching sounds, ordered by name, then by when they were first seen.
    std::vector<SoundId> Search(const CatalogueSearch& search) const;
    // Up to `count` other sounds, nearest first (see SoundDistance); a sound
    // equal in every weighted parameter comes before all others.
    std::vector<SoundId> FindSimilar(SoundId id, std::size_t count) const;
    std::int64_t SoundCount() const;

    std::optional<SoundSummary> Summary(SoundId id) const;
    // The sound as first imported (its header as it came).
    std::optional<TSoundRecord> Sound(SoundId id) const;

    // Changes to one sound; each is its own transaction. Throw
    // std::runtime_error when the catalogue cannot be written.
    void SetCategory(SoundId id, SoundCategory category);
    void SetFavourite(SoundId id, bool favourite);
    // Tags are trimmed; an empty tag is ignored. Replaces the sound's tags.
    void SetTags(SoundId id, std::span<const std::string> tags);

private:
    SoundCatalogue(std::string path, std::unique_ptr<SqliteDatabase> db);
    struct Importer;

    std::string path_;
    std::unique_ptr<SqliteDatabase> db_;
};

// Tags as typed: separated by commas, each trimmed, empty ones dropped.
std::vector<std::string> SplitTags(std::string_view text);
