#include "sqlite_db.h"

#include <sqlite3.h>

namespace {
// How long a statement waits for another program's lock before it fails as busy.
constexpr int BusyTimeoutMs = 3000;

[[noreturn]] void Throw(sqlite3* db, int result) {
    const char* message = db ? sqlite3_errmsg(db) : sqlite3_errstr(result);
    throw SqliteError(result & 0xFF, message ? message : sqlite3_errstr(result));
}
} // namespace

SqliteStatement::SqliteStatement(sqlite3* db, std::string_view sql) : db_(db) {
    const int result =
        sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &statement_, nullptr);
    if (result != SQLITE_OK)
        Throw(db_, result);
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(statement_);
}

void SqliteStatement::Check(int result) const {
    if (result != SQLITE_OK)
        Throw(db_, result);
}

SqliteStatement& SqliteStatement::Bind(int index, std::int64_t value) {
    Check(sqlite3_bind_int64(statement_, index, value));
    return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, std::string_view text) {
    Check(sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()),
                            SQLITE_TRANSIENT));
    return *this;
}

SqliteStatement& SqliteStatement::BindBlob(int index, std::span<const std::uint8_t> bytes) {
    // A zero-length blob, not NULL, for an empty span.
    static const std::uint8_t none = 0;
    Check(sqlite3_bind_blob(statement_, index, bytes.empty() ? &none : bytes.data(),
                            static_cast<int>(bytes.size()), SQLITE_TRANSIENT));
    return *this;
}

bool SqliteStatement::Step() {
    const int result = sqlite3_step(statement_);
    if (result == SQLITE_ROW)
        return true;
    if (result == SQLITE_DONE)
        return false;
    sqlite3_reset(statement_);
    Throw(db_, result);
}

void SqliteStatement::Run() {
    while (Step()) {
    }
    Reset();
}

void SqliteStatement::Reset() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

std::int64_t SqliteStatement::Int(int column) const {
    return sqlite3_column_int64(statement_, column);
}

std::string SqliteStatement::Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
    return text ? std::string(text,
                              static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)))
                : std::string();
}

std::span<const std::uint8_t> SqliteStatement::Blob(int column) const {
    const auto* bytes = static_cast<const std::uint8_t*>(sqlite3_column_blob(statement_, column));
    return {bytes, bytes ? static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)) : 0};
}

SqliteDatabase::SqliteDatabase(const std::string& path, Mode mode) {
    const int flags =
        mode == Mode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    const int result = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
    if (result != SQLITE_OK) {
        const std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(result);
        sqlite3_close(db_);
        db_ = nullptr;
        throw SqliteError(result & 0xFF, message);
    }
    sqlite3_extended_result_codes(db_, 0);
    sqlite3_busy_timeout(db_, BusyTimeoutMs);
}

SqliteDatabase::~SqliteDatabase() {
    sqlite3_close_v2(db_);
}

void SqliteDatabase::Execute(std::string_view sql) {
    const std::string text(sql);
    char* error = nullptr;
    const int result = sqlite3_exec(db_, text.c_str(), nullptr, nullptr, &error);
    if (result != SQLITE_OK) {
        const std::string message = error ? error : sqlite3_errstr(result);
        sqlite3_free(error);
        throw SqliteError(result & 0xFF, message);
    }
}

std::int64_t SqliteDatabase::QueryInt(std::string_view sql) {
    SqliteStatement statement(db_, sql);
    return statement.Step() ? statement.Int(0) : 0;
}

std::int64_t SqliteDatabase::LastInsertId() const {
    return sqlite3_last_insert_rowid(db_);
}

bool SqliteDatabase::ReadOnly() const {
    return sqlite3_db_readonly(db_, "main") == 1;
}

SqliteTransaction::SqliteTransaction(SqliteDatabase& db) : db_(db) {
    db_.Execute("BEGIN IMMEDIATE");
}

SqliteTransaction::~SqliteTransaction() {
    if (open_) {
        try {
            db_.Execute("ROLLBACK");
        } catch (const SqliteError&) {
            // SQLite has rolled back already when a statement failed that way.
        }
    }
}

void SqliteTransaction::Commit() {
    db_.Execute("COMMIT");
    open_ = false;
}
