#include "server/randoms.h"

#include "server/envelope.h"

namespace sd {

struct RandomStore::Slot {
  std::string random;
  Clock::time_point issued, used_at;
  // Held while the request is worked on; a replay waits for it.
  std::timed_mutex work;
  bool used = false;  // guarded by work
  std::string body;   // guarded by work
  HttpAnswer answer;  // guarded by work
  bool answered = false;
};

namespace {
constexpr auto replay_wait = std::chrono::seconds(30);
}

void RandomStore::sweep(Clock::time_point now, bool force) {
  if (!force && ++issued_since_sweep_ < 4096) return;
  issued_since_sweep_ = 0;
  for (auto it = slots_.begin(); it != slots_.end();) {
    const auto& slot = *it->second;
    // used_at is written under mutex_ (in finish) so reading it here is safe.
    const auto end = slot.used_at != Clock::time_point{} ? slot.used_at + replay_lifetime_
                                                         : slot.issued + random_lifetime_;
    if (now > end) it = slots_.erase(it);
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
  std::shared_ptr<Slot> slot;
  {
    std::lock_guard lock(mutex_);
    const auto it = slots_.find(session_id);
    if (it == slots_.end()) return Use::unknown;
    const auto now = Clock::now();
    const auto& s = *it->second;
    const bool expired = s.used_at != Clock::time_point{} ? now > s.used_at + replay_lifetime_
                                                          : now > s.issued + random_lifetime_;
    if (expired) {
      slots_.erase(it);
      return Use::unknown;
    }
    slot = it->second;
  }
  std::unique_lock work(slot->work, std::defer_lock);
  if (!work.try_lock_for(replay_wait)) return Use::busy;
  if (slot->used) {
    if (slot->body != body || !slot->answered) return Use::used_by_other;
    answer = slot->answer;
    return Use::replay;
  }
  slot->used = true;
  slot->body = body;
  random = slot->random;
  claim = std::make_unique<Claim>();
  claim->slot = std::move(slot);
  claim->lock = std::move(work);
  return Use::fresh;
}

void RandomStore::finish(std::unique_ptr<Claim> claim, const HttpAnswer& answer) {
  if (!claim) return;
  claim->slot->answer = answer;
  claim->slot->answered = true;
  {
    std::lock_guard lock(mutex_);
    claim->slot->used_at = Clock::now();
  }
  claim->lock.unlock();
}

std::size_t RandomStore::size() {
  std::lock_guard lock(mutex_);
  return slots_.size();
}

}  // namespace sd
