#include "src/app/app_state.h"

#include <utility>

namespace sd {

std::string AppState::login_token() const {
  std::lock_guard<std::mutex> hold(shared_lock_);
  return login_token_;
}

void AppState::set_login_token(std::string token) {
  // The old text is released after the lock is let go, so the lock is held only for a move.
  std::string old;
  {
    std::lock_guard<std::mutex> hold(shared_lock_);
    old = std::exchange(login_token_, std::move(token));
  }
}

std::string AppState::error_code() const {
  std::lock_guard<std::mutex> hold(shared_lock_);
  return error_code_;
}

std::string AppState::error_message() const {
  std::lock_guard<std::mutex> hold(shared_lock_);
  return error_message_;
}

void AppState::set_error(std::string code, std::string message) {
  std::string old_code, old_message;
  {
    std::lock_guard<std::mutex> hold(shared_lock_);
    old_code = std::exchange(error_code_, std::move(code));
    old_message = std::exchange(error_message_, std::move(message));
  }
}

std::string AppState::error_text() const {
  std::string code, message;
  {
    std::lock_guard<std::mutex> hold(shared_lock_);
    code = error_code_;
    message = error_message_;
  }
  return "错误：" + code + "，" + message + "!";
}

void AppState::clear() {
  for (std::string* field :
       {&app_title, &login_subtitle, &client_version, &website_address, &app_id, &init_address,
        &product_code, &platform, &service_qq, &latest_version, &download_page_address,
        &upgrade_notes, &account_address, &tab_address_json, &advert1, &advert2, &advert3,
        &drawurl, &newphase, &user_name, &user_level, &user_id}) {
    std::string().swap(*field);
  }
  for (std::string& address : page_addresses) std::string().swap(address);
  set_login_token({});
  set_error({}, {});
}

}  // namespace sd
