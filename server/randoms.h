#pragma once
// Handshake randoms, each bound to a session cookie. A random serves one request: the reply to
// that request is kept, so that the client's re-post of the same sealed body (after a lost reply)
// gets the same answer again, while any other body under that random is refused.
#include <mutex>  // also gives the std::chrono durations (<chrono> itself does not build with GBK literals)
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

namespace sd {

struct HttpAnswer {
  int status = 200;
  std::string body;
};

class RandomStore {
 public:
  using Clock = std::chrono::steady_clock;

  RandomStore(std::chrono::milliseconds random_lifetime, std::chrono::milliseconds replay_lifetime,
              std::size_t max_open)
      : random_lifetime_(random_lifetime), replay_lifetime_(replay_lifetime), max_open_(max_open) {}

  // A new random and its session id; false when too many handshakes are outstanding.
  bool issue(std::string& session_id, std::string& random);

  struct Slot;
  // A random being worked on: the holder runs the request, then hands it to finish().
  struct Claim {
    std::shared_ptr<Slot> slot;
  };

  enum class Use { fresh, replay, unknown, used_by_other, busy };
  // Claims the random of session_id for body. fresh: run the request with `random`, then call
  // finish(); replay: `answer` holds the earlier answer; otherwise refuse.
  Use claim(const std::string& session_id, const std::string& body, std::string& random,
            HttpAnswer& answer, std::unique_ptr<Claim>& claim);
  void finish(std::unique_ptr<Claim> claim, const HttpAnswer& answer);

  std::size_t size();

 private:
  void sweep(Clock::time_point now, bool force);

  std::chrono::milliseconds random_lifetime_, replay_lifetime_;
  std::size_t max_open_;
  std::mutex mutex_;
  std::condition_variable answered_;  // a claimed random got its answer
  std::unordered_map<std::string, std::shared_ptr<Slot>> slots_;
  std::size_t issued_since_sweep_ = 0;
};

}  // namespace sd
