#include "server/refusals.h"

namespace sd::refusal {

Refusal internal_error() { return {"1000", utf8_text(u8"服务器内部错误，请稍后再试")}; }
Refusal malformed_request() { return {"1001", utf8_text(u8"请求格式错误")}; }
Refusal unknown_function() { return {"1002", utf8_text(u8"未知的功能名称")}; }
Refusal bad_random() { return {"1003", utf8_text(u8"随机码无效或已过期，请重试")}; }
Refusal used_random() { return {"1004", utf8_text(u8"随机码已被使用，请重试")}; }
Refusal stale_session() { return {"1006", utf8_text(u8"请求携带了失效的会话信息")}; }
Refusal busy() { return {"1007", utf8_text(u8"服务器繁忙，请稍后再试")}; }
Refusal empty_fields() { return {"2001", utf8_text(u8"账号、密码等内容不能为空")}; }
Refusal wrong_password() { return {"2002", utf8_text(u8"账号或密码错误")}; }
Refusal account_exists() { return {"2003", utf8_text(u8"该账号已被注册")}; }
Refusal token_expired() { return {"2004", utf8_text(u8"登录已失效，请重新登录")}; }
Refusal wrong_old_password() { return {"2005", utf8_text(u8"原密码错误")}; }
Refusal heartbeat_refused() { return {"2006", utf8_text(u8"服务器拒绝了本次心跳")}; }
Refusal field_too_long() { return {"2007", utf8_text(u8"账号、密码或QQ号码过长")}; }

}  // namespace sd::refusal
