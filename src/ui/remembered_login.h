#pragma once
// The remembered login in config.ini (current directory): one section named after the program,
// keys 记住密码 ("真" or "假"), 账号 and 密码. The password is stored scrambled with RC4 under the
// table key, as the raw bytes; bytes a profile line cannot carry (a zero byte, CR, LF, blanks or
// quotes at either end), and scrambled bytes that would themselves begin with "hex:", are
// stored as "hex:" + upper-case hexadecimal instead. Qt-free.
#include <string>
#include <string_view>

namespace sd {

// The current directory + "/config.ini", taken at the moment of the call; "" when unknown.
std::string config_ini_path();

std::string stored_password_form(std::string_view password);
std::string password_from_stored(std::string_view stored);

struct RememberedLogin {
  bool remember = false;  // 记住密码 is exactly "真"
  std::string account, password;
};

// account and password are read only when 记住密码 is exactly "真".
RememberedLogin read_remembered_login(const std::string& path, const std::string& section);

// remember: 记住密码 = "真", 账号, 密码, in that order; otherwise only 记住密码 = "假".
bool write_remembered_login(const std::string& path, const std::string& section, bool remember,
                            const std::string& account, const std::string& password);

}  // namespace sd
