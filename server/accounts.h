#pragma once
// The accounts, kept in a SQLite file (WAL journal). Names, passwords and QQ numbers are UTF-8.
// Passwords are stored only as salted slow hashes. Safe to use from several threads.
#include <mutex>
#include <string>

struct sqlite3;

namespace sd {

enum class AccountResult { ok, exists, no_account, wrong_password, storage_error };

struct AccountInfo {
  long long id = 0;
  int level = 0;
};

class AccountStore {
 public:
  AccountStore() = default;
  ~AccountStore();
  AccountStore(const AccountStore&) = delete;
  AccountStore& operator=(const AccountStore&) = delete;

  // Opens or creates the file. False with a message when it cannot be used.
  bool open(const std::string& path, int hash_rounds, std::string& error);
  void close();

  AccountResult create(const std::string& name, const std::string& password,
                       const std::string& qq);
  // Creates the account, or gives an existing one this password.
  AccountResult create_or_reset(const std::string& name, const std::string& password);
  AccountResult verify(const std::string& name, const std::string& password, AccountInfo& info);
  AccountResult change_password(const std::string& name, const std::string& old_password,
                                const std::string& new_password);

 private:
  bool load_hash(const std::string& name, std::string& hash, AccountInfo& info,
                 AccountResult& result);

  std::mutex mutex_;
  sqlite3* db_ = nullptr;
  int hash_rounds_ = 1;
  std::string dummy_hash_;  // verified against when the account is unknown, to even the timing
};

}  // namespace sd
