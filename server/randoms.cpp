#include "server/randoms.h"

#include "server/envelope.h"

namespace sd {

// Every member is guarded by the store's mutex.
struct RandomStore::Slot {
  std::string random;
  Clock::time_point issued, used_at;
  bool used = false;     // claimed by a request
  bool working = false;  // that request is still being worked on
  std::string body;
  HttpAnswer answer;
};

namespace {
constexpr auto replay_wait = std::chrono::seconds(30);
}

void RandomStore::sweep(Clock::time_point now, bool force) {
  if (!force && ++issued_since_sweep_ < 4096) return;
  issued_since_sweep_ = 0;
  for (auto it = slots_.begin(); it != slots_.end();) {
    const auto& slot = *it->second;
    const auto end = slot.used_at != Clock::time_point{} ? slot.used_at + replay_lifetime_
                                                         : slot.issued + random_lifetime_;
    if (now > end && !slot.working) it = slots_.erase(it);
    else ++it;
  }
}

bool RandomStore::issue(std::string& session_id, std::string& random) {
  auto slot = std::make_shared<Slot>();
  slot->random = draw_server_random();
  slot->issued = Clock::now();
  std::string id = draw_random_hex128();
  std::lock_guard lock(mutex_);
  sweep(slot->issued, false);
  if (slots_.size() >= max_open_) {
    sweep(slot->issued, true);
    if (slots_.size() >= max_open_) return false;
  }
  random = slot->random;
  slots_.emplace(id, std::move(slot));
  session_id = std::move(id);
  return true;
}

RandomStore::Use RandomStore::claim(const std::string& session_id, const std::string& body,
                                    std::string& random, HttpAnswer& answer,
                                    std::unique_ptr<Claim>& claim) {
  std::unique_lock lock(mutex_);
  const auto it = slots_.find(session_id);
  if (it == slots_.end()) return Use::unknown;
  const auto now = Clock::now();
  const std::shared_ptr<Slot> slot = it->second;
  const bool expired = slot->used_at != Clock::time_point{} ? now > slot->used_at + replay_lifetime_
                                                            : now > slot->issued + random_lifetime_;
  if (expired && !slot->working) {
    slots_.erase(it);
    return Use::unknown;
  }
  if (slot->used) {
    if (slot->body != body) return Use::used_by_other;
    // The same body again while the first is still being worked on: wait for its answer.
    // (system_clock: its timed wait is the one every thread checker understands.)
    const auto deadline = std::chrono::system_clock::now() + replay_wait;
    if (!answered_.wait_until(lock, deadline, [&] { return !slot->working; })) return Use::busy;
    answer = slot->answer;
    return Use::replay;
  }
  slot->used = true;
  slot->working = true;
  slot->body = body;
  random = slot->random;
  claim = std::make_unique<Claim>();
  claim->slot = slot;
  return Use::fresh;
}

void RandomStore::finish(std::unique_ptr<Claim> claim, const HttpAnswer& answer) {
  if (!claim) return;
  {
    std::lock_guard lock(mutex_);
    claim->slot->answer = answer;
    claim->slot->working = false;
    claim->slot->used_at = Clock::now();
  }
  answered_.notify_all();
}

std::size_t RandomStore::size() {
  std::lock_guard lock(mutex_);
  return slots_.size();
}

}  // namespace sd
