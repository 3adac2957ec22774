#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace tessara::server {

// A thin owner of one SQLite connection; failures throw tessara::Error with
// SQLite's own text.
class TSqliteDb {
public:
    explicit TSqliteDb(const std::string& path);
    ~TSqliteDb();
    TSqliteDb(const TSqliteDb&) = delete;
    TSqliteDb& operator=(const TSqliteDb&) = delete;

    void Exec(const char* sql);
    int64_t LastInsertId() const;
    int Changes() const;
    sqlite3* Handle() const { return db_; }

private:
    sqlite3* db_ = nullptr;
};

// A prepared statement. Values are only ever bound, never pasted into SQL.
class TStatement {
public:
    TStatement(TSqliteDb& db, const char* sql);
    ~TStatement();
    TStatement(const TStatement&) = delete;
    TStatement& operator=(const TStatement&) = delete;

    TStatement& Bind(int index, int64_t value);
    TStatement& Bind(int index, std::string_view value);
    TStatement& BindNull(int index);
    // True while a row is available.
    bool Step();
    // Runs a statement that returns no rows.
    void Run();
    void Reset();

    int64_t Int(int column) const;
    double Real(int column) const;
    bool IsNull(int column) const;
    std::string Text(int column) const;

private:
    TSqliteDb& db_;
    sqlite3_stmt* stmt_ = nullptr;
};

// BEGIN IMMEDIATE ... COMMIT, rolled back when left by an exception.
class TTransaction {
public:
    explicit TTransaction(TSqliteDb& db);
    ~TTransaction();
    void Commit();

private:
    TSqliteDb& db_;
    bool done_ = false;
};

}  // namespace tessara::server
