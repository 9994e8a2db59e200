#pragma once
// Login tokens: 128 random bits in hexadecimal. A heartbeat renews a token; the token it replaces
// stays valid for a grace period, so that an action that read it just before still succeeds.
// A token whose login has had no heartbeat for token_lifetime expires. Kept in memory.
#include <mutex>  // also gives the std::chrono durations (<chrono> itself does not build with GBK literals)
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

namespace sd {

class TokenStore {
 public:
  using Clock = std::chrono::steady_clock;

  TokenStore(std::chrono::milliseconds lifetime, std::chrono::milliseconds grace)
      : lifetime_(lifetime), grace_(grace) {}

  struct Holder {
    long long account_id = 0;
    std::string account;  // UTF-8
  };

  std::string issue(const Holder& holder);
  // The holder of a valid token (current, or replaced within its grace period).
  bool check(const std::string& token, Holder& holder);
  // Renews the login of a valid token: a new token, or "" when the token is not valid.
  std::string renew(const std::string& token);
  std::size_t size();

 private:
  struct Login {
    Holder holder;
    std::string current, previous;
    Clock::time_point last_beat, previous_until;
  };
  std::shared_ptr<Login> find_valid(const std::string& token, Clock::time_point now);
  void sweep(Clock::time_point now);

  std::chrono::milliseconds lifetime_, grace_;
  std::mutex mutex_;
  std::unordered_map<std::string, std::shared_ptr<Login>> by_token_;
  std::size_t changes_since_sweep_ = 0;
};

}  // namespace sd
