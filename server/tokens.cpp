#include "server/tokens.h"

#include "server/envelope.h"

namespace sd {

std::shared_ptr<TokenStore::Login> TokenStore::find_valid(const std::string& token,
                                                         Clock::time_point now) {
  if (token.empty()) return nullptr;
  const auto it = by_token_.find(token);
  if (it == by_token_.end()) return nullptr;
  const auto& login = it->second;
  if (now - login->last_beat > lifetime_) return nullptr;
  if (token == login->current) return login;
  if (token == login->previous && now <= login->previous_until) return login;
  return nullptr;
}

void TokenStore::sweep(Clock::time_point now) {
  if (++changes_since_sweep_ < 1024 && by_token_.size() < 4096) return;
  changes_since_sweep_ = 0;
  for (auto it = by_token_.begin(); it != by_token_.end();) {
    const auto& login = *it->second;
    const bool login_gone = now - login.last_beat > lifetime_;
    const bool replaced_gone = it->first != login.current && now > login.previous_until;
    if (login_gone || replaced_gone) it = by_token_.erase(it);
    else ++it;
  }
}

std::string TokenStore::issue(const Holder& holder) {
  const auto now = Clock::now();
  auto login = std::make_shared<Login>();
  login->holder = holder;
  login->current = draw_random_hex128();
  login->last_beat = now;
  std::lock_guard lock(mutex_);
  sweep(now);
  by_token_[login->current] = login;
  return login->current;
}

bool TokenStore::check(const std::string& token, Holder& holder) {
  std::lock_guard lock(mutex_);
  const auto login = find_valid(token, Clock::now());
  if (!login) return false;
  holder = login->holder;
  return true;
}

std::string TokenStore::renew(const std::string& token) {
  const auto now = Clock::now();
  const std::string fresh = draw_random_hex128();
  std::lock_guard lock(mutex_);
  const auto login = find_valid(token, now);
  if (!login) return {};
  if (!login->previous.empty()) by_token_.erase(login->previous);
  login->previous = login->current;
  login->previous_until = now + grace_;
  login->current = fresh;
  login->last_beat = now;
  by_token_[fresh] = login;
  sweep(now);
  return fresh;
}

std::size_t TokenStore::size() {
  std::lock_guard lock(mutex_);
  return by_token_.size();
}

}  // namespace sd
