#include "server/accounts.h"

#include <sqlite3.h>

#include <ctime>

#include "server/password_hash.h"

namespace sd {
namespace {

// A prepared statement finalized on every path.
class Statement {
 public:
  Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr); }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  bool ok() const { return stmt_ != nullptr; }
  void bind(int index, const std::string& text) {
    sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  }
  void bind(int index, long long value) { sqlite3_bind_int64(stmt_, index, value); }
  int step() { return sqlite3_step(stmt_); }
  std::string text(int column) {
    const auto* p = sqlite3_column_text(stmt_, column);
    return p ? std::string(reinterpret_cast<const char*>(p),
                           static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)))
             : std::string();
  }
  long long integer(int column) { return sqlite3_column_int64(stmt_, column); }

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

}  // namespace

AccountStore::~AccountStore() { close(); }

void AccountStore::close() {
  std::lock_guard lock(mutex_);
  if (db_) sqlite3_close_v2(db_);
  db_ = nullptr;
}

bool AccountStore::open(const std::string& path, int hash_rounds, std::string& error) {
  std::lock_guard lock(mutex_);
  hash_rounds_ = hash_rounds;
  if (path.empty()) {
    error = "no database file given";
    return false;
  }
  sqlite3* db = nullptr;
  const int rc = sqlite3_open_v2(path.c_str(), &db,
                                 SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                                 nullptr);
  if (rc != SQLITE_OK) {
    error = "cannot open database " + path + ": " + (db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
    sqlite3_close_v2(db);
    return false;
  }
  sqlite3_busy_timeout(db, 5000);
  const char* schema =
      "PRAGMA journal_mode=WAL;"
      "PRAGMA synchronous=NORMAL;"
      "CREATE TABLE IF NOT EXISTS accounts ("
      "  id INTEGER PRIMARY KEY AUTOINCREMENT,"
      "  name TEXT NOT NULL UNIQUE,"
      "  password_hash TEXT NOT NULL,"
      "  qq TEXT NOT NULL DEFAULT '',"
      "  level INTEGER NOT NULL DEFAULT 1,"
      "  created INTEGER NOT NULL);";
  char* message = nullptr;
  if (sqlite3_exec(db, schema, nullptr, nullptr, &message) != SQLITE_OK) {
    error = "cannot use database " + path + ": " + (message ? message : "unknown error");
    sqlite3_free(message);
    sqlite3_close_v2(db);
    return false;
  }
  db_ = db;
  dummy_hash_ = hash_password("not a password", hash_rounds_);
  return true;
}

AccountResult AccountStore::create(const std::string& name, const std::string& password,
                                   const std::string& qq) {
  const std::string hash = hash_password(password, hash_rounds_);  // slow: outside the lock
  if (hash.empty()) return AccountResult::storage_error;
  std::lock_guard lock(mutex_);
  if (!db_) return AccountResult::storage_error;
  Statement insert(db_,
                   "INSERT INTO accounts (name, password_hash, qq, created) VALUES (?, ?, ?, ?) "
                   "ON CONFLICT(name) DO NOTHING");
  if (!insert.ok()) return AccountResult::storage_error;
  insert.bind(1, name);
  insert.bind(2, hash);
  insert.bind(3, qq);
  insert.bind(4, static_cast<long long>(std::time(nullptr)));
  if (insert.step() != SQLITE_DONE) return AccountResult::storage_error;
  return sqlite3_changes(db_) == 1 ? AccountResult::ok : AccountResult::exists;
}

AccountResult AccountStore::create_or_reset(const std::string& name, const std::string& password) {
  const std::string hash = hash_password(password, hash_rounds_);
  if (hash.empty()) return AccountResult::storage_error;
  std::lock_guard lock(mutex_);
  if (!db_) return AccountResult::storage_error;
  Statement upsert(db_,
                   "INSERT INTO accounts (name, password_hash, created) VALUES (?, ?, ?) "
                   "ON CONFLICT(name) DO UPDATE SET password_hash = excluded.password_hash");
  if (!upsert.ok()) return AccountResult::storage_error;
  upsert.bind(1, name);
  upsert.bind(2, hash);
  upsert.bind(3, static_cast<long long>(std::time(nullptr)));
  return upsert.step() == SQLITE_DONE ? AccountResult::ok : AccountResult::storage_error;
}

bool AccountStore::load_hash(const std::string& name, std::string& hash, AccountInfo& info,
                             AccountResult& result) {
  std::lock_guard lock(mutex_);
  if (!db_) {
    result = AccountResult::storage_error;
    return false;
  }
  Statement select(db_, "SELECT id, password_hash, level FROM accounts WHERE name = ?");
  if (!select.ok()) {
    result = AccountResult::storage_error;
    return false;
  }
  select.bind(1, name);
  const int rc = select.step();
  if (rc == SQLITE_DONE) {
    result = AccountResult::no_account;
    return false;
  }
  if (rc != SQLITE_ROW) {
    result = AccountResult::storage_error;
    return false;
  }
  info.id = select.integer(0);
  hash = select.text(1);
  info.level = static_cast<int>(select.integer(2));
  return true;
}

AccountResult AccountStore::verify(const std::string& name, const std::string& password,
                                   AccountInfo& info) {
  std::string hash;
  AccountResult result = AccountResult::ok;
  if (!load_hash(name, hash, info, result)) {
    if (result == AccountResult::no_account) verify_password(password, dummy_hash_);
    return result;
  }
  return verify_password(password, hash) ? AccountResult::ok : AccountResult::wrong_password;
}

AccountResult AccountStore::change_password(const std::string& name,
                                            const std::string& old_password,
                                            const std::string& new_password) {
  std::string old_hash;
  AccountInfo info;
  AccountResult result = AccountResult::ok;
  if (!load_hash(name, old_hash, info, result)) return result;
  if (!verify_password(old_password, old_hash)) return AccountResult::wrong_password;
  const std::string new_hash = hash_password(new_password, hash_rounds_);
  if (new_hash.empty()) return AccountResult::storage_error;
  std::lock_guard lock(mutex_);
  if (!db_) return AccountResult::storage_error;
  // Only if nobody changed it meanwhile: the old password was checked against old_hash.
  Statement update(db_, "UPDATE accounts SET password_hash = ? WHERE id = ? AND password_hash = ?");
  if (!update.ok()) return AccountResult::storage_error;
  update.bind(1, new_hash);
  update.bind(2, info.id);
  update.bind(3, old_hash);
  if (update.step() != SQLITE_DONE) return AccountResult::storage_error;
  return sqlite3_changes(db_) == 1 ? AccountResult::ok : AccountResult::wrong_password;
}

}  // namespace sd
