#include "sound_catalogue.h"

#include "catalogue_text.h"
#include "file_io.h"
#include "sound_similarity.h"
#include "sqlite_db.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
// "TwSc" in the file header: a catalogue, not some other SQLite file.
constexpr std::int64_t ApplicationId = 0x54775363;

constexpr std::string_view SchemaV1 = R"(
CREATE TABLE sounds (
    id INTEGER PRIMARY KEY,
    identity INTEGER NOT NULL,   -- hash of parameters 0..199
    record BLOB NOT NULL,        -- the 256-byte sound as first imported
    name BLOB NOT NULL,          -- Windows-1252, padding removed
    folded_name BLOB NOT NULL,   -- the name case folded, for searching and order
    category TEXT NOT NULL,
    favourite INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX sounds_identity ON sounds(identity);
CREATE INDEX sounds_by_name ON sounds(folded_name, id);
-- Bank files imported (size and digest tell an unchanged one), and the
-- names of sources that are not files ("Library").
CREATE TABLE files (
    id INTEGER PRIMARY KEY,
    path TEXT NOT NULL UNIQUE,
    size INTEGER,
    digest INTEGER
);
CREATE TABLE sources (
    sound INTEGER NOT NULL REFERENCES sounds(id) ON DELETE CASCADE,
    file INTEGER NOT NULL REFERENCES files(id),
    slot INTEGER NOT NULL,
    imported TEXT NOT NULL,
    PRIMARY KEY (sound, file, slot)
) WITHOUT ROWID;
CREATE TABLE tags (
    sound INTEGER NOT NULL REFERENCES sounds(id) ON DELETE CASCADE,
    tag TEXT NOT NULL,
    PRIMARY KEY (sound, tag)
) WITHOUT ROWID;
)";

// Step n brings a file of version n to version n + 1. A later schema adds a
// step here; files are never rewritten any other way.
constexpr std::string_view Migrations[] = {SchemaV1};
static_assert(std::size(Migrations) == SoundCatalogue::SchemaVersion);

constexpr int IdentityFirstByte = SoundLayout::ParameterByte(0);
constexpr int IdentityLength = 200; // parameters 0..199, the name included

std::uint64_t Fnv1a(std::span<const std::uint8_t> bytes) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (const std::uint8_t byte : bytes) {
        hash ^= byte;
        hash *= 0x100000001b3ull;
    }
    return hash;
}

std::span<const std::uint8_t> IdentityBytes(const TSoundRecord& sound) {
    return std::span(sound.Bytes).subspan(IdentityFirstByte, IdentityLength);
}

std::int64_t IdentityOf(const TSoundRecord& sound) {
    return static_cast<std::int64_t>(Fnv1a(IdentityBytes(sound)));
}

std::span<const std::uint8_t> AsBytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::string NowUtc() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &utc);
    return text;
}

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

CatalogueOpenFailure FailureFor(const std::string& path, const SqliteError& error) {
    const std::string file = "The sound catalogue " + Quoted(path);
    switch (error.Code()) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return {CatalogueOpenProblem::Busy, file + " is in use by another program (" +
                                                error.what() +
                                                "); try again when it has finished."};
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_READONLY:
    case SQLITE_IOERR:
    case SQLITE_FULL:
        return {CatalogueOpenProblem::Unusable, file + " cannot be opened: " + error.what() + "."};
    default:
        return {CatalogueOpenProblem::Damaged, file + " cannot be read: " + error.what() +
                                                   ". It is damaged or no sound catalogue."};
    }
}

bool CanWrite(const std::string& path) {
    return ::access(path.c_str(), W_OK) == 0;
}

// Sets up a new file, or brings an older one up to this version.
std::optional<CatalogueOpenFailure> PrepareSchema(SqliteDatabase& db, const std::string& path) {
    const std::int64_t version = db.QueryInt("PRAGMA user_version");
    const std::int64_t application = db.QueryInt("PRAGMA application_id");
    const std::int64_t tables = db.QueryInt("SELECT count(*) FROM sqlite_master");
    const std::string file = "The sound catalogue " + Quoted(path);
    if (version > SoundCatalogue::SchemaVersion)
        return CatalogueOpenFailure{
            CatalogueOpenProblem::Newer,
            file + " was written by a newer version of Tonewright (catalogue version " +
                std::to_string(version) + "; this version reads up to " +
                std::to_string(SoundCatalogue::SchemaVersion) + ")."};
    const bool fresh = version == 0 && application == 0 && tables == 0;
    if (!fresh && application != ApplicationId)
        return CatalogueOpenFailure{CatalogueOpenProblem::Damaged,
                                    file +
                                        " is a database of another program, no sound catalogue."};
    if (version == SoundCatalogue::SchemaVersion)
        return std::nullopt;
    if (db.ReadOnly())
        return CatalogueOpenFailure{CatalogueOpenProblem::Unusable,
                                    file + " cannot be written, and it needs to be updated first."};
    SqliteTransaction transaction(db);
    for (std::int64_t step = version; step < SoundCatalogue::SchemaVersion; ++step)
        db.Execute(Migrations[step]);
    db.Execute("PRAGMA application_id = " + std::to_string(ApplicationId));
    db.Execute("PRAGMA user_version = " + std::to_string(SoundCatalogue::SchemaVersion));
    transaction.Commit();
    return std::nullopt;
}

// The bank files named: files as they are, folders searched through for
// .syx files (any case), in a stable order. Unreadable folders are problems.
std::vector<std::string> ExpandPaths(std::span<const std::string> paths,
                                     std::vector<std::string>& problems) {
    std::vector<std::string> files;
    for (const std::string& given : paths) {
        std::error_code error;
        const fs::path path = fs::absolute(given, error).lexically_normal();
        const fs::file_status status = fs::status(path, error);
        if (!fs::is_directory(status)) {
            files.push_back(path.string());
            continue;
        }
        std::vector<std::string> found;
        fs::recursive_directory_iterator walk(path, fs::directory_options::skip_permission_denied,
                                              error);
        for (; !error && walk != fs::recursive_directory_iterator(); walk.increment(error)) {
            std::string extension = walk->path().extension().string();
            std::transform(extension.begin(), extension.end(), extension.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            if (extension == ".syx" && walk->is_regular_file(error))
                found.push_back(walk->path().string());
        }
        if (error)
            problems.push_back("The folder " + Quoted(path.string()) +
                               " could not be searched completely: " + error.message() + ".");
        std::sort(found.begin(), found.end());
        files.insert(files.end(), found.begin(), found.end());
    }
    return files;
}
} // namespace

// The statements of one import, prepared once, inside its transaction.
struct SoundCatalogue::Importer {
    explicit Importer(SqliteDatabase& db)
        : db_(db), findFile(db.Handle(), "SELECT id, size, digest FROM files WHERE path = ?"),
          insertFile(db.Handle(), "INSERT INTO files (path, size, digest) VALUES (?, ?, ?)"),
          updateFile(db.Handle(), "UPDATE files SET size = ?, digest = ? WHERE id = ?"),
          findSound(db.Handle(), "SELECT id, record FROM sounds WHERE identity = ?"),
          insertSound(db.Handle(), "INSERT INTO sounds (identity, record, name, folded_name, "
                                   "category) VALUES (?, ?, ?, ?, ?)"),
          insertSource(db.Handle(), "INSERT OR IGNORE INTO sources (sound, file, slot, imported) "
                                    "VALUES (?, ?, ?, ?)"),
          imported_(NowUtc()) {}

    // The id of the named source, made when new; `unchanged` tells whether a
    // file of that size and digest was imported before.
    std::int64_t SourceFile(const std::string& path, std::optional<std::int64_t> size,
                            std::optional<std::int64_t> digest, bool& unchanged) {
        unchanged = false;
        findFile.Bind(1, path);
        if (findFile.Step()) {
            const std::int64_t id = findFile.Int(0);
            unchanged = size && findFile.Int(1) == *size && findFile.Int(2) == *digest;
            findFile.Reset();
            if (size && !unchanged)
                updateFile.Bind(1, *size).Bind(2, *digest).Bind(3, id).Run();
            return id;
        }
        findFile.Reset();
        insertFile.Bind(1, path);
        if (size)
            insertFile.Bind(2, *size).Bind(3, *digest);
        insertFile.Run();
        return db_.LastInsertId();
    }

    SoundId Add(const TSoundRecord& sound, std::int64_t file, int slot, ImportReport& report) {
        const std::int64_t identity = IdentityOf(sound);
        std::optional<SoundId> id;
        findSound.Bind(1, identity);
        while (!id && findSound.Step()) {
            const auto stored = findSound.Blob(1);
            if (stored.size() == TSoundRecord::Size &&
                std::ranges::equal(stored.subspan(IdentityFirstByte, IdentityLength),
                                   IdentityBytes(sound)))
                id = findSound.Int(0);
        }
        findSound.Reset();
        if (id) {
            ++report.soundsKnown;
        } else {
            const std::string name = TrimmedName(GetSoundName(sound));
            insertSound.Bind(1, identity)
                .BindBlob(2, sound.Bytes)
                .BindBlob(3, AsBytes(name))
                .BindBlob(4, AsBytes(FoldCase(name)))
                .Bind(5, CategoryKey(GuessCategory(name)))
                .Run();
            id = db_.LastInsertId();
            ++report.soundsAdded;
        }
        insertSource.Bind(1, *id).Bind(2, file).Bind(3, slot).Bind(4, imported_).Run();
        return *id;
    }

    SqliteDatabase& db_;
    SqliteStatement findFile, insertFile, updateFile, findSound, insertSound, insertSource;
    std::string imported_;
};

SoundCatalogue::SoundCatalogue(std::string path, std::unique_ptr<SqliteDatabase> db)
    : path_(std::move(path)), db_(std::move(db)) {}

SoundCatalogue::~SoundCatalogue() = default;

std::variant<std::unique_ptr<SoundCatalogue>, CatalogueOpenFailure>
SoundCatalogue::Open(const std::string& path, CatalogueAccess access) {
    std::error_code error;
    const fs::path parent = fs::path(path).parent_path();
    if (!parent.empty())
        fs::create_directories(parent, error);
    if (error)
        return CatalogueOpenFailure{
            CatalogueOpenProblem::Unusable,
            "The folder " + Quoted(parent.string()) +
                " for the sound catalogue cannot be made: " + error.message() + "."};
    const bool exists = fs::exists(path, error);
    if (exists && !fs::is_regular_file(path, error))
        return CatalogueOpenFailure{CatalogueOpenProblem::Unusable,
                                    "The sound catalogue " + Quoted(path) + " is no regular file."};
    const bool readOnly = access == CatalogueAccess::ReadOnly || (exists && !CanWrite(path));
    const auto mode = readOnly ? SqliteDatabase::Mode::ReadOnly : SqliteDatabase::Mode::ReadWrite;
    try {
        auto db = std::make_unique<SqliteDatabase>(path, mode);
        db->Execute("PRAGMA foreign_keys = ON");
        if (auto failure = PrepareSchema(*db, path))
            return *failure;
        // Reads through the sounds table, so a cut-off file is found now, not halfway through a
        // search.
        db->QueryInt("SELECT count(*) FROM sounds");
        return std::unique_ptr<SoundCatalogue>(new SoundCatalogue(path, std::move(db)));
    } catch (const SqliteError& failure) {
        return FailureFor(path, failure);
    }
}

std::variant<std::string, CatalogueOpenFailure> SoundCatalogue::SetAside(const std::string& path) {
    std::string stamp = NowUtc();
    std::replace(stamp.begin(), stamp.end(), ' ', '-');
    std::erase(stamp, ':');
    const std::string aside = path + ".unreadable-" + stamp;
    std::error_code error;
    if (fs::exists(aside, error))
        return CatalogueOpenFailure{CatalogueOpenProblem::Unusable,
                                    Quoted(aside) + " exists already; try again in a second."};
    fs::rename(path, aside, error);
    if (error)
        return CatalogueOpenFailure{CatalogueOpenProblem::Unusable,
                                    "The sound catalogue " + Quoted(path) +
                                        " cannot be set aside: " + error.message() + "."};
    // A journal left by an interrupted write belongs to its file: it moves along.
    for (const char* suffix : {"-journal", "-wal", "-shm"}) {
        if (fs::exists(path + suffix, error))
            fs::rename(path + suffix, aside + suffix, error);
    }
    return aside;
}

bool SoundCatalogue::ReadOnly() const {
    return db_->ReadOnly();
}

namespace {
std::string ReadOnlyMessage(const std::string& path) {
    return "The sound catalogue " + Quoted(path) + " can only be read; nothing was imported.";
}

std::string FailedImportMessage(const std::string& reason) {
    return "The import was not kept: " + reason + ". The catalogue is as it was before.";
}
} // namespace

ImportReport SoundCatalogue::ImportPaths(std::span<const std::string> paths,
                                         const ImportProgress& progress) {
    ImportReport report;
    if (ReadOnly()) {
        report.failure = ReadOnlyMessage(path_);
        return report;
    }
    const std::vector<std::string> files = ExpandPaths(paths, report.problems);
    try {
        SqliteTransaction transaction(*db_);
        Importer importer(*db_);
        for (const std::string& file : files) {
            if (progress && !progress(file)) {
                report.failure = "The import was cancelled. The catalogue is as it was before.";
                return report;
            }
            const FileBytes bytes = ReadWholeFile(file);
            if (!bytes.Ok()) {
                report.problems.push_back(bytes.error);
                continue;
            }
            bool unchanged = false;
            const std::int64_t fileId =
                importer.SourceFile(file, static_cast<std::int64_t>(bytes.bytes.size()),
                                    static_cast<std::int64_t>(Fnv1a(bytes.bytes)), unchanged);
            if (unchanged) {
                ++report.filesUnchanged;
                continue;
            }
            ++report.filesRead;
            BankFileContents contents = ParseBankFile(bytes.bytes, file);
            for (const BankFileRecord& record : contents.records)
                importer.Add(record.record, fileId, record.slot, report);
            for (std::string& problem : contents.problems)
                report.problems.push_back(std::move(problem));
        }
        transaction.Commit();
    } catch (const SqliteError& failure) {
        report.failure = FailedImportMessage(failure.what());
    }
    return report;
}

ImportReport SoundCatalogue::ImportSounds(std::span<const BankFileRecord> sounds,
                                          std::string_view sourceName) {
    ImportReport report;
    if (ReadOnly()) {
        report.failure = ReadOnlyMessage(path_);
        return report;
    }
    try {
        SqliteTransaction transaction(*db_);
        Importer importer(*db_);
        bool unchanged = false;
        const std::int64_t source =
            importer.SourceFile(std::string(sourceName), std::nullopt, std::nullopt, unchanged);
        for (const BankFileRecord& sound : sounds)
            importer.Add(sound.record, source, sound.slot, report);
        transaction.Commit();
    } catch (const SqliteError& failure) {
        report.failure = FailedImportMessage(failure.what());
    }
    return report;
}

SoundId SoundCatalogue::AddSound(const TSoundRecord& sound, std::string_view sourceName, int slot) {
    const BankFileRecord one{slot, sound};
    const ImportReport report = ImportSounds(std::span(&one, 1), sourceName);
    if (!report.Ok())
        throw std::runtime_error(*report.failure);
    SqliteStatement find(db_->Handle(), "SELECT id, record FROM sounds WHERE identity = ?");
    find.Bind(1, IdentityOf(sound));
    while (find.Step()) {
        if (std::ranges::equal(find.Blob(1).subspan(IdentityFirstByte, IdentityLength),
                               IdentityBytes(sound)))
            return find.Int(0);
    }
    throw std::runtime_error("The sound was added but cannot be found again.");
}

std::vector<SoundId> SoundCatalogue::Search(const CatalogueSearch& search) const {
    std::string sql = "SELECT id FROM sounds WHERE instr(folded_name, ?1) > 0";
    if (search.category)
        sql += " AND category = ?2";
    if (search.favouritesOnly)
        sql += " AND favourite = 1";
    sql += " ORDER BY folded_name, id";
    SqliteStatement query(db_->Handle(), sql);
    query.BindBlob(1, AsBytes(FoldCase(search.text)));
    if (search.category)
        query.Bind(2, CategoryKey(*search.category));
    std::vector<SoundId> ids;
    while (query.Step())
        ids.push_back(query.Int(0));
    return ids;
}

std::vector<SoundId> SoundCatalogue::FindSimilar(SoundId id, std::size_t count) const {
    const std::optional<TSoundRecord> reference = Sound(id);
    if (!reference)
        return {};
    std::vector<std::pair<double, SoundId>> distances;
    SqliteStatement all(db_->Handle(), "SELECT id, record FROM sounds WHERE id <> ?");
    all.Bind(1, id);
    TSoundRecord other;
    while (all.Step()) {
        const auto bytes = all.Blob(1);
        if (bytes.size() != TSoundRecord::Size)
            continue;
        std::copy(bytes.begin(), bytes.end(), other.Bytes.begin());
        distances.emplace_back(SoundDistance(*reference, other), all.Int(0));
    }
    count = std::min(count, distances.size());
    std::partial_sort(distances.begin(), distances.begin() + static_cast<std::ptrdiff_t>(count),
                      distances.end());
    std::vector<SoundId> nearest;
    for (std::size_t i = 0; i < count; ++i)
        nearest.push_back(distances[i].second);
    return nearest;
}

std::int64_t SoundCatalogue::SoundCount() const {
    return db_->QueryInt("SELECT count(*) FROM sounds");
}

std::optional<SoundSummary> SoundCatalogue::Summary(SoundId id) const {
    SqliteStatement sound(db_->Handle(),
                          "SELECT name, category, favourite FROM sounds WHERE id = ?");
    sound.Bind(1, id);
    if (!sound.Step())
        return std::nullopt;
    SoundSummary summary;
    summary.id = id;
    const auto name = sound.Blob(0);
    summary.name.assign(name.begin(), name.end());
    summary.category = CategoryFromKey(sound.Text(1)).value_or(SoundCategory::Other);
    summary.favourite = sound.Int(2) != 0;
    SqliteStatement tags(db_->Handle(), "SELECT tag FROM tags WHERE sound = ? ORDER BY tag");
    tags.Bind(1, id);
    while (tags.Step())
        summary.tags.push_back(tags.Text(0));
    SqliteStatement sources(db_->Handle(),
                            "SELECT files.path, sources.slot, sources.imported FROM sources "
                            "JOIN files ON files.id = sources.file WHERE sources.sound = ? "
                            "ORDER BY sources.imported, files.path, sources.slot");
    sources.Bind(1, id);
    while (sources.Step())
        summary.sources.push_back(
            {sources.Text(0), static_cast<int>(sources.Int(1)), sources.Text(2)});
    return summary;
}

std::optional<TSoundRecord> SoundCatalogue::Sound(SoundId id) const {
    SqliteStatement query(db_->Handle(), "SELECT record FROM sounds WHERE id = ?");
    query.Bind(1, id);
    if (!query.Step())
        return std::nullopt;
    const auto bytes = query.Blob(0);
    if (bytes.size() != TSoundRecord::Size)
        return std::nullopt;
    TSoundRecord sound;
    std::copy(bytes.begin(), bytes.end(), sound.Bytes.begin());
    return sound;
}

namespace {
std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

template <typename Change> void Write(SqliteDatabase& db, Change change) {
    try {
        SqliteTransaction transaction(db);
        change();
        transaction.Commit();
    } catch (const SqliteError& failure) {
        throw std::runtime_error(std::string("The catalogue could not be changed: ") +
                                 failure.what() + ".");
    }
}
} // namespace

void SoundCatalogue::SetCategory(SoundId id, SoundCategory category) {
    Write(*db_, [&] {
        SqliteStatement(db_->Handle(), "UPDATE sounds SET category = ? WHERE id = ?")
            .Bind(1, CategoryKey(category))
            .Bind(2, id)
            .Run();
    });
}

void SoundCatalogue::SetFavourite(SoundId id, bool favourite) {
    Write(*db_, [&] {
        SqliteStatement(db_->Handle(), "UPDATE sounds SET favourite = ? WHERE id = ?")
            .Bind(1, favourite ? 1 : 0)
            .Bind(2, id)
            .Run();
    });
}

void SoundCatalogue::SetTags(SoundId id, std::span<const std::string> tags) {
    Write(*db_, [&] {
        SqliteStatement(db_->Handle(), "DELETE FROM tags WHERE sound = ?").Bind(1, id).Run();
        SqliteStatement insert(db_->Handle(),
                               "INSERT OR IGNORE INTO tags (sound, tag) VALUES (?, ?)");
        for (const std::string& tag : tags) {
            const std::string_view trimmed = Trimmed(tag);
            if (!trimmed.empty())
                insert.Bind(1, id).Bind(2, trimmed).Run();
        }
    });
}

std::vector<std::string> SplitTags(std::string_view text) {
    std::vector<std::string> tags;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view tag = Trimmed(text.substr(0, comma));
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        if (!tag.empty())
            tags.emplace_back(tag);
    }
    return tags;
}
