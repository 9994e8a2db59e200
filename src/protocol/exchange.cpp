// The request exchange: handshake for a one-time server random, one sealed request, the opened
// reply. Everything lives in the call, so two threads may run exchanges at once.
//
// Choices of ours where the protocol itself would retry for ever:
// - Handshake and data attempts are each bounded by ExchangeOptions; between attempts the call
//   pauses first_pause_ms, doubling each time (capped), and a set `cancel` flag ends any wait.
// - A handshake reply of 44 bytes whose server random opens to nothing counts as a failed
//   handshake attempt (sealing under an empty key would send a request no server can open).
// - When the bound is reached, or the call is cancelled, the outcome is `unreachable` and the
//   error outputs hold one of our codes with a message that reads well in the common error box.
#include "src/protocol/exchange.h"

#include <algorithm>
#include <ctime>
#include <thread>

#include "src/http/code_page.h"
#include "src/http/cookies.h"
#include "src/http/http_request.h"
#include "src/http/text.h"
#include "src/protocol/codec.h"

namespace sd {
namespace {

// Shown as "错误：" + code + "，" + message + "!".
constexpr char kNoHandshakeCode[] = "9001";
constexpr char kNoHandshakeMessage[] = "无法连接服务器，请检查网络后再试";
constexpr char kNoReplyCode[] = "9002";
constexpr char kNoReplyMessage[] = "服务器没有正常回应，请稍后再试";
constexpr char kCancelledCode[] = "9003";
constexpr char kCancelledMessage[] = "操作已取消";

constexpr int kMaxPauseMs = 5000;
constexpr int kPauseSliceMs = 20;
constexpr std::size_t kHandshakeReplyLength = 44;

bool cancelled(const ExchangeOptions& options) {
  return options.cancel != nullptr && options.cancel->load(std::memory_order_relaxed);
}

// Waits before attempt number `attempt` (0-based; the first attempt has no pause).
// False when the call was cancelled meanwhile.
bool pause_before(int attempt, const ExchangeOptions& options) {
  if (attempt > 0 && options.first_pause_ms > 0) {
    long long ms = options.first_pause_ms;
    for (int i = 1; i < attempt && ms < kMaxPauseMs; ++i) ms *= 2;
    ms = std::min<long long>(ms, kMaxPauseMs);
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!cancelled(options)) {
      const auto now = std::chrono::steady_clock::now();
      if (now >= until) break;
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - now);
      std::this_thread::sleep_for(std::min(left, std::chrono::milliseconds(kPauseSliceMs)));
    }
  }
  return !cancelled(options);
}

ExchangeOutcome give_up(const ExchangeOptions& options, const char* code, const char* message,
                        std::string& error_code, std::string& error_message) {
  if (cancelled(options)) {
    error_code = kCancelledCode;
    error_message = kCancelledMessage;
  } else {
    error_code = code;
    error_message = message;
  }
  return ExchangeOutcome::unreachable;
}

// One handshake attempt: the opened server random, or "" when this attempt failed.
// `cookie_text` receives the cookies of this handshake's response.
std::string handshake(const std::string& url, bool decode_handshake,
                      const ExchangeOptions& options, std::string& cookie_text) {
  std::string sent_cookies;  // supplied, empty: the handshake never carries cookies
  std::string headers;
  HttpParams params;
  params.url = url;
  params.method = 1;
  params.body = "DATA=GETRAND?" + handshake_timestamp();
  params.cookies = &sent_cookies;
  params.received_cookies = &cookie_text;
  params.received_headers = &headers;
  params.timeout_seconds = options.timeout_seconds;
  params.cancel = options.cancel;
  std::string reply = http_request(params);
  if (decode_handshake) reply = utf8_to_local(reply);
  if (reply.size() != kHandshakeReplyLength) return {};
  return open_server_random(text_between(reply, "data\":\"", "\""));
}

// One data request attempt: the reply as local text, or "" when this attempt failed.
std::string data_request(const std::string& url, const std::string& body,
                         const ExchangeOptions& options, std::string& cookie_text) {
  std::string status;
  HttpParams params;
  params.url = url;
  params.method = 1;
  params.body = body;
  params.cookies = &cookie_text;  // in/out: a failed response's cookies merge in
  params.status = &status;
  params.timeout_seconds = options.timeout_seconds;
  params.cancel = options.cancel;
  std::string reply = utf8_to_local(http_request(params));
  if (reply.empty() || find(status, "200") < 1) return {};
  return reply;
}

}  // namespace

ExchangeOutcome server_exchange(const std::string& url, const std::string& request_tail,
                                bool decode_handshake, JsonObject& reply,
                                std::string& error_code, std::string& error_message,
                                const ExchangeOptions& options) {
  std::string cookie_text;

  std::string server_random;
  for (int attempt = 0; attempt < options.handshake_attempts && server_random.empty(); ++attempt) {
    if (!pause_before(attempt, options)) break;
    server_random = handshake(url, decode_handshake, options, cookie_text);
  }
  if (server_random.empty()) {
    return give_up(options, kNoHandshakeCode, kNoHandshakeMessage, error_code, error_message);
  }

  const std::string client_random = std::to_string(random_in_range(1000, 9999));
  const std::string plain = "%7B%22rand%22:%22" + client_random + request_tail;
  const std::string body = "DATA=" + seal_request(plain, request_key(), server_random);

  std::string text;
  for (int attempt = 0; attempt < options.data_attempts && text.empty(); ++attempt) {
    if (!pause_before(attempt, options)) break;
    text = data_request(url, body, options, cookie_text);
  }
  if (text.empty()) {
    return give_up(options, kNoReplyCode, kNoReplyMessage, error_code, error_message);
  }

  reply.parse(text);
  const std::string data = reply.get_text("data");
  if (!data.empty()) {
    reply.clear();
    const std::string opened =
        utf8_to_local(open_reply(data, request_key(), reply_key(client_random)));
    reply.parse(opened);
    return ExchangeOutcome::opened;
  }
  error_code = reply.get_text("errcode");
  error_message = reply.get_text("msg");
  reply.clear();
  return ExchangeOutcome::refused;
}

std::string handshake_timestamp() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  // The local wall-clock reading counted from 1970-01-01 08:00:00.
  const long long seconds = static_cast<long long>(timegm(&local)) - 8LL * 3600;
  return std::to_string(seconds) + "000";
}

}  // namespace sd
