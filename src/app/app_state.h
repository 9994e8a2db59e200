#pragma once
// The one program-wide record. Qt-free. login_token, error_code and error_message are shared
// with the heartbeat thread: they are read and replaced only through the accessors below,
// under one lock held just while a text is copied.
#include <array>
#include <mutex>
#include <string>

namespace sd {

inline constexpr int page_count = 31;

class AppState {
 public:
  // Fixed configuration (start-up).
  std::string app_title, login_subtitle, client_version, website_address, app_id, init_address,
      product_code, platform;
  // Server configuration (init).
  std::string service_qq, latest_version, download_page_address, upgrade_notes, account_address,
      tab_address_json, advert1, advert2, advert3, drawurl, newphase;
  // Account state (login); login_token is below.
  std::string user_name, user_level, user_id;
  // Page addresses, in page order.
  std::array<std::string, page_count> page_addresses;

  std::string login_token() const;
  void set_login_token(std::string token);
  std::string error_code() const;
  std::string error_message() const;
  void set_error(std::string code, std::string message);
  // "错误：" + code + "，" + message + "!"
  std::string error_text() const;

  // The end-of-process clean-up: every text released.
  void clear();

 private:
  mutable std::mutex shared_lock_;
  std::string login_token_, error_code_, error_message_;
};

}  // namespace sd
