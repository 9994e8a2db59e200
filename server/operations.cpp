#include "server/operations.h"

#include <nlohmann/json.hpp>

namespace sd {
namespace {

using Json = nlohmann::ordered_json;

constexpr std::size_t max_field_bytes = 64;

OperationResult success(const Json& reply) {
  return {true, reply.dump(-1, ' ', false, Json::error_handler_t::replace), {}};
}

OperationResult refuse(Refusal refusal) { return {false, {}, std::move(refusal)}; }

OperationResult storage_refusal(AccountResult result) {
  switch (result) {
    case AccountResult::exists: return refuse(refusal::account_exists());
    case AccountResult::no_account:
    case AccountResult::wrong_password: return refuse(refusal::wrong_password());
    default: return refuse(refusal::internal_error());
  }
}

// Checks the param count and that the named fields are filled and not too long.
std::optional<Refusal> check_fields(const ParsedRequest& request, std::size_t count) {
  if (request.param.size() != count) return refusal::malformed_request();
  for (const auto& field : request.param) {
    if (field.empty()) return refusal::empty_fields();
    if (field.size() > max_field_bytes) return refusal::field_too_long();
  }
  return std::nullopt;
}

}  // namespace

OperationResult Operations::run(const ParsedRequest& request, const std::string& host) {
  if (request.funname == "init") return init(host);
  if (request.funname == "login") return login(request);
  if (request.funname == "reg") return reg(request);
  if (request.funname == "hearlog") return hearlog(request);
  if (request.funname == "change_pawd") return change_pawd(request);
  return refuse(refusal::unknown_function());
}

OperationResult Operations::init(const std::string& host) {
  const std::string base = "http://" + host;
  Json reply;
  reply["qq"] = "800012345";
  reply["version"] = options_.version;
  reply["proupurl"] = base + "/download.html";
  reply["upAppMsg"] = utf8_text(u8"发现新版本，请下载安装最新版本后再使用。");
  reply["userurl"] = base + "/api/user";
  reply["advert1"] = utf8_text(u8"示例公告：欢迎使用股票信息服务");
  reply["advert2"] = base + "/pages/1.html";
  reply["advert3"] = base + "/pages/2.html";
  reply["drawurl"] = base + "/pages/3.html";
  reply["newphase"] = utf8_text(u8"下期期号：示例第001期");
  reply["wzp_url"] = scramble_page_table(pages_ ? *pages_ : demo_page_addresses(host));
  return success(reply);
}

OperationResult Operations::login(const ParsedRequest& request) {
  if (auto refused = check_fields(request, 2)) return refuse(*refused);
  const std::string& account = request.param[0];
  AccountInfo info;
  const AccountResult result = accounts_.verify(account, request.param[1], info);
  if (result != AccountResult::ok) return storage_refusal(result);
  Json reply;
  reply["user"] = account;
  reply["id"] = std::to_string(info.id);
  reply["token"] = tokens_.issue({info.id, account});
  reply["level"] = std::to_string(info.level);
  return success(reply);
}

OperationResult Operations::reg(const ParsedRequest& request) {
  if (auto refused = check_fields(request, 3)) return refuse(*refused);
  const AccountResult result =
      accounts_.create(request.param[0], request.param[1], request.param[2]);
  if (result != AccountResult::ok) return storage_refusal(result);
  Json reply;
  reply["user"] = request.param[0];
  reply["password"] = request.param[1];  // the client checks the echo
  reply["msg"] = utf8_text(u8"注册成功！");
  return success(reply);
}

OperationResult Operations::hearlog(const ParsedRequest& request) {
  if (request.param.size() != 1) return refuse(refusal::malformed_request());
  const int refuse_after = options_.fault_refuse_heartbeats_after;
  if (refuse_after >= 0 && heartbeats_.load() >= refuse_after)
    return refuse(refusal::heartbeat_refused());
  const std::string fresh = tokens_.renew(request.param[0]);
  if (fresh.empty()) return refuse(refusal::token_expired());
  ++heartbeats_;
  Json reply;
  reply["token"] = fresh;
  return success(reply);
}

OperationResult Operations::change_pawd(const ParsedRequest& request) {
  if (request.param.size() != 3) return refuse(refusal::malformed_request());
  TokenStore::Holder holder;
  if (!tokens_.check(request.param[0], holder)) return refuse(refusal::token_expired());
  if (auto refused = check_fields(request, 3)) return refuse(*refused);
  const AccountResult result =
      accounts_.change_password(holder.account, request.param[1], request.param[2]);
  if (result == AccountResult::wrong_password) return refuse(refusal::wrong_old_password());
  if (result != AccountResult::ok) return storage_refusal(result);
  Json reply;
  reply["msg"] = utf8_text(u8"修改密码成功！");
  return success(reply);
}

}  // namespace sd
