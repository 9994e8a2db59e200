// The five account-server operations: each builds its request tail, runs the exchange and reads
// its members from the opened reply into the caller's outputs.
#include "src/protocol/operations.h"

#include <initializer_list>

namespace sd {
namespace {

// Runs the exchange and reports its outcome through the options. True when the reply opened;
// the caller then reads its members and clears the object.
bool exchange(const std::string& url, const std::string& tail, bool decode_handshake,
              JsonObject& reply, std::string& error_code, std::string& error_message,
              const CallOptions& options) {
  const ExchangeOutcome outcome = server_exchange(url, tail, decode_handshake, reply, error_code,
                                                  error_message, options.exchange);
  if (options.outcome != nullptr) *options.outcome = outcome;
  if (outcome != ExchangeOutcome::opened) return false;
  if (options.opened_text != nullptr) *options.opened_text = reply.to_text();
  return true;
}

std::string v(const std::string& value) { return escape_request_value(value); }

std::string list_tail(const std::string& funname, const std::string& appid,
                      std::initializer_list<const std::string*> params) {
  std::string tail = "%22,%22funname%22:%22" + funname + "%22,%22appid%22:%22" + v(appid) +
                     "%22,%22param%22:%5B%22";
  bool first = true;
  for (const std::string* param : params) {
    if (!first) tail += "%22,%22";
    tail += v(*param);
    first = false;
  }
  return tail + "%22%5D%7D";
}

}  // namespace

int init(const std::string& url, const std::string& appid, const std::string& cpname,
         const std::string& platform, InitReply& out, std::string& error_code,
         std::string& error_message, const CallOptions& options) {
  const std::string tail = "%22,%22funname%22:%22init%22,%22cpname%22:%22" + v(cpname) +
                           "%22,%22platform%22:%22" + v(platform) + "%22,%22appid%22:%22" +
                           v(appid) + "%22,%22param%22:null%7D";
  JsonObject reply;
  if (!exchange(url, tail, true, reply, error_code, error_message, options)) return 0;
  out.qq = reply.get_text("qq");
  out.advert3 = reply.get_text("advert3");
  out.advert2 = reply.get_text("advert2");
  out.advert1 = reply.get_text("advert1");
  out.drawurl = reply.get_text("drawurl");
  out.version = reply.get_text("version");
  out.proupurl = reply.get_text("proupurl");
  out.newphase = reply.get_text("newphase");
  out.upAppMsg = reply.get_text("upAppMsg");
  out.userurl = reply.get_text("userurl");
  out.wzp_url = reply.get_text("wzp_url", true);
  reply.clear();
  return out.userurl.empty() ? 0 : 1;
}

int login(const std::string& url, const std::string& account, const std::string& password,
          const std::string& appid, std::string& user, std::string& token, std::string& level,
          std::string& id, std::string& error_code, std::string& error_message,
          const CallOptions& options) {
  JsonObject reply;
  if (!exchange(url, list_tail("login", appid, {&account, &password}), false, reply, error_code,
                error_message, options)) {
    return 0;
  }
  user = reply.get_text("user");
  id = reply.get_text("id");
  token = reply.get_text("token");
  level = reply.get_text("level");
  reply.clear();
  return user.empty() && id.empty() && token.empty() && level.empty() ? 0 : 1;
}

int reg(const std::string& url, const std::string& account, const std::string& password,
        const std::string& qq, const std::string& appid, std::string& error_code,
        std::string& error_message, const CallOptions& options) {
  JsonObject reply;
  if (!exchange(url, list_tail("reg", appid, {&account, &password, &qq}), false, reply,
                error_code, error_message, options)) {
    return 0;
  }
  bool ok = reply.get_text("user") == account;
  if (ok) ok = reply.get_text("password") == password;
  reply.clear();
  return ok ? 1 : 0;
}

std::string hearlog(const std::string& url, const std::string& token, const std::string& appid,
                    std::string& error_code, std::string& error_message,
                    const CallOptions& options) {
  JsonObject reply;
  if (!exchange(url, list_tail("hearlog", appid, {&token}), false, reply, error_code,
                error_message, options)) {
    return "error";
  }
  std::string new_token = reply.get_text("token");
  reply.clear();
  return new_token;
}

int change_pawd(const std::string& url, const std::string& appid, const std::string& token,
                const std::string& old_password, const std::string& new_password,
                std::string& error_code, std::string& error_message,
                const CallOptions& options) {
  JsonObject reply;
  if (!exchange(url, list_tail("change_pawd", appid, {&token, &old_password, &new_password}),
                false, reply, error_code, error_message, options)) {
    return 0;
  }
  const bool ok = reply.get_text("msg") == "修改密码成功！";
  reply.clear();
  return ok ? 1 : 0;
}

}  // namespace sd
