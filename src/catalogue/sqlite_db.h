#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// A thin layer over the SQLite library: a connection, prepared statements,
// and failures as exceptions that carry SQLite's own words. Only what the
// catalogue needs.

class SqliteError : public std::runtime_error {
public:
    SqliteError(int code, const std::string& what) : std::runtime_error(what), code_(code) {}
    // The primary result code (SQLITE_BUSY, SQLITE_CORRUPT, ...).
    int Code() const { return code_; }

private:
    int code_;
};

class SqliteStatement {
public:
    SqliteStatement(sqlite3* db, std::string_view sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // Parameters count from 1, as in SQL.
    SqliteStatement& Bind(int index, std::int64_t value);
    SqliteStatement& Bind(int index, std::string_view text);
    SqliteStatement& BindBlob(int index, std::span<const std::uint8_t> bytes);
    // True while a row is there to read; false when the statement is done.
    bool Step();
    // Runs a statement that returns no row.
    void Run();
    // Ready to run again, with its bindings cleared.
    void Reset();

    std::int64_t Int(int column) const;
    std::string Text(int column) const;
    std::span<const std::uint8_t> Blob(int column) const;

private:
    void Check(int result) const;

    sqlite3* db_;
    sqlite3_stmt* statement_ = nullptr;
};

class SqliteDatabase {
public:
    enum class Mode { ReadWrite, ReadOnly };

    // Opens (read-write mode: creates) the file. Throws SqliteError.
    SqliteDatabase(const std::string& path, Mode mode);
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    sqlite3* Handle() const { return db_; }
    // Runs one or more statements that return no rows.
    void Execute(std::string_view sql);
    std::int64_t QueryInt(std::string_view sql);
    std::int64_t LastInsertId() const;
    bool ReadOnly() const;

private:
    sqlite3* db_ = nullptr;
};

// Commits at Commit(); rolls back when left without it (an exception, an
// early return).
class SqliteTransaction {
public:
    // BEGIN IMMEDIATE: takes the write lock now, so a second writer waits
    // (or is told the catalogue is busy) before any work is done.
    explicit SqliteTransaction(SqliteDatabase& db);
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;
    void Commit();

private:
    SqliteDatabase& db_;
    bool open_ = true;
};
