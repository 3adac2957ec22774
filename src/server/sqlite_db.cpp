#include "sqlite_db.h"

#include <sqlite3.h>

#include "model/error.h"

namespace tessara::server {

namespace {

[[noreturn]] void Fail(sqlite3* db, const std::string& what) {
    throw Error(what + ": " + (db ? sqlite3_errmsg(db) : "нет соединения"));
}

}  // namespace

TSqliteDb::TSqliteDb(const std::string& path) {
    const int rc = sqlite3_open_v2(path.c_str(), &db_,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE |
                                       SQLITE_OPEN_FULLMUTEX,
                                   nullptr);
    if (rc != SQLITE_OK) {
        const std::string text = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        sqlite3_close(db_);
        db_ = nullptr;
        throw Error("Не удалось открыть базу данных \"" + path + "\": " + text);
    }
    sqlite3_busy_timeout(db_, 5000);
}

TSqliteDb::~TSqliteDb() { sqlite3_close(db_); }

void TSqliteDb::Exec(const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string text = message ? message : "ошибка SQLite";
        sqlite3_free(message);
        throw Error("Ошибка базы данных: " + text);
    }
}

int64_t TSqliteDb::LastInsertId() const { return sqlite3_last_insert_rowid(db_); }
int TSqliteDb::Changes() const { return sqlite3_changes(db_); }

TStatement::TStatement(TSqliteDb& db, const char* sql) : db_(db) {
    if (sqlite3_prepare_v2(db.Handle(), sql, -1, &stmt_, nullptr) != SQLITE_OK)
        Fail(db.Handle(), "Ошибка подготовки запроса");
}

TStatement::~TStatement() { sqlite3_finalize(stmt_); }

TStatement& TStatement::Bind(int index, int64_t value) {
    if (sqlite3_bind_int64(stmt_, index, value) != SQLITE_OK) Fail(db_.Handle(), "Ошибка запроса");
    return *this;
}

TStatement& TStatement::Bind(int index, std::string_view value) {
    if (sqlite3_bind_text64(stmt_, index, value.data(), value.size(), SQLITE_TRANSIENT,
                            SQLITE_UTF8) != SQLITE_OK)
        Fail(db_.Handle(), "Ошибка запроса");
    return *this;
}

TStatement& TStatement::BindNull(int index) {
    if (sqlite3_bind_null(stmt_, index) != SQLITE_OK) Fail(db_.Handle(), "Ошибка запроса");
    return *this;
}

bool TStatement::Step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    Fail(db_.Handle(), "Ошибка базы данных");
}

void TStatement::Run() {
    while (Step()) {
    }
}

void TStatement::Reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

int64_t TStatement::Int(int column) const { return sqlite3_column_int64(stmt_, column); }
double TStatement::Real(int column) const { return sqlite3_column_double(stmt_, column); }
bool TStatement::IsNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

std::string TStatement::Text(int column) const {
    const auto* p = sqlite3_column_text(stmt_, column);
    if (!p) return {};
    return std::string(reinterpret_cast<const char*>(p),
                       static_cast<size_t>(sqlite3_column_bytes(stmt_, column)));
}

TTransaction::TTransaction(TSqliteDb& db) : db_(db) { db_.Exec("BEGIN IMMEDIATE"); }

TTransaction::~TTransaction() {
    if (!done_) {
        try {
            db_.Exec("ROLLBACK");
        } catch (...) {
        }
    }
}

void TTransaction::Commit() {
    db_.Exec("COMMIT");
    done_ = true;
}

}  // namespace tessara::server
