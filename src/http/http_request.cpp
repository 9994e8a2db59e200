#include "src/http/http_request.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>
#include <optional>

#include "src/http/cookies.h"
#include "src/http/http_errors.h"
#include "src/http/http_header_block.h"
#include "src/http/http_response.h"
#include "src/http/http_transfer.h"

namespace sd {

namespace {

using http::Failure;

constexpr const char* kVerbs[] = {"GET", "POST", "HEAD", "PUT", "OPTIONS", "DELETE", "TRACE", "CONNECT"};

// Redirects followed in one call at most (as many as the Windows stack follows).
constexpr long kMaxRedirects = 10;

// Names that libcurl would send on its own when our block does not name them.
constexpr const char* kSuppressed[] = {"Accept", "Expect", "Content-Type"};

bool global_init() {
  static std::once_flag once;
  static bool ok = false;
  std::call_once(once, [] { ok = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
  return ok;
}

using Easy = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;
using HeaderList = std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)>;
using Url = std::unique_ptr<CURLU, decltype(&curl_url_cleanup)>;

template <typename T>
bool set(CURL* easy, CURLoption option, T value) {
  return curl_easy_setopt(easy, option, value) == CURLE_OK;
}

// Local text may hold GBK bytes and spaces; they travel percent-encoded, byte for byte.
std::optional<std::string> escape_address(const std::string& url) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char ch : url) {
    const auto b = static_cast<unsigned char>(ch);
    if (b < 0x20 || b == 0x7F) return std::nullopt;
    if (b >= 0x80 || b == ' ') {
      out += '%';
      out += kHex[b >> 4];
      out += kHex[b & 0x0F];
    } else {
      out += ch;
    }
  }
  return out;
}

struct Address {
  std::string url;  // what libcurl gets: no user or password part, no fragment
  bool secure = false;
};

// Splits and checks an absolute http or https address. A path-less address asks for "/".
// User and password parts of the address are never used.
std::optional<Address> split_address(const std::string& text) {
  const std::optional<std::string> escaped = escape_address(text);
  if (!escaped || escaped->empty()) return std::nullopt;
  Url url(curl_url(), &curl_url_cleanup);
  if (!url || curl_url_set(url.get(), CURLUPART_URL, escaped->c_str(), 0) != CURLUE_OK) {
    return std::nullopt;
  }
  char* scheme = nullptr;
  if (curl_url_get(url.get(), CURLUPART_SCHEME, &scheme, 0) != CURLUE_OK) return std::nullopt;
  const std::string scheme_name = scheme;
  curl_free(scheme);
  if (scheme_name != "http" && scheme_name != "https") return std::nullopt;
  char* host = nullptr;
  if (curl_url_get(url.get(), CURLUPART_HOST, &host, 0) != CURLUE_OK) return std::nullopt;
  const bool has_host = host[0] != '\0';
  curl_free(host);
  if (!has_host) return std::nullopt;
  curl_url_set(url.get(), CURLUPART_USER, nullptr, 0);
  curl_url_set(url.get(), CURLUPART_PASSWORD, nullptr, 0);
  curl_url_set(url.get(), CURLUPART_FRAGMENT, nullptr, 0);
  char* full = nullptr;
  if (curl_url_get(url.get(), CURLUPART_URL, &full, 0) != CURLUE_OK) return std::nullopt;
  Address out{full, scheme_name == "https"};
  curl_free(full);
  return out;
}

// Verb and body. POST always carries its body (an empty one as Content-Length: 0); other verbs
// carry the body when there is one. libcurl turns a POST into a GET after a 301, 302 or 303,
// as browsers and the Windows stack do, and keeps it (with its body) after a 307 or 308.
// Other verbs are sent unchanged to the redirect target.
bool set_method(CURL* easy, const HttpParams& p, long long& upload_size) {
  const char* verb = p.method >= 0 && p.method <= 7 ? kVerbs[p.method] : "GET";
  const std::string_view v = verb;
  if (!set(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1))) return false;
  upload_size = 0;
  if (v == "HEAD") return set(easy, CURLOPT_NOBODY, 1L);
  if (v == "POST" || !p.body.empty()) {
    upload_size = static_cast<long long>(p.body.size());
    if (!set(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(p.body.size())) ||
        !set(easy, CURLOPT_POSTFIELDS, p.body.data())) {
      return false;
    }
  }
  if (v == "POST" || (v == "GET" && p.body.empty())) return true;
  return set(easy, CURLOPT_CUSTOMREQUEST, verb);
}

// The proxy serves plain and secure requests alike (for a plain request the Windows stack
// names it "http=" + proxy, which selects the same proxy). The environment's proxy settings
// are never read: an empty proxy and an empty no-proxy list switch them off.
bool set_proxy(CURL* easy, const HttpParams& p) {
  if (!set(easy, CURLOPT_NOPROXY, "")) return false;
  if (p.proxy.empty()) return set(easy, CURLOPT_PROXY, "");
  return set(easy, CURLOPT_PROXY, p.proxy.c_str()) &&
         set(easy, CURLOPT_PROXYTYPE, static_cast<long>(CURLPROXY_HTTP));
}

bool set_credentials(CURL* easy, const HttpParams& p) {
  if (!p.server_user_name.empty() && !p.server_password.empty()) {
    if (!set(easy, CURLOPT_HTTPAUTH, static_cast<unsigned long>(CURLAUTH_BASIC)) ||
        !set(easy, CURLOPT_USERNAME, p.server_user_name.c_str()) ||
        !set(easy, CURLOPT_PASSWORD, p.server_password.c_str())) {
      return false;
    }
  }
  if (!p.proxy_user_name.empty() && !p.proxy_password.empty()) {
    if (!set(easy, CURLOPT_PROXYAUTH, static_cast<unsigned long>(CURLAUTH_BASIC)) ||
        !set(easy, CURLOPT_PROXYUSERNAME, p.proxy_user_name.c_str()) ||
        !set(easy, CURLOPT_PROXYPASSWORD, p.proxy_password.c_str())) {
      return false;
    }
  }
  return true;
}

// The header block goes on the wire one line per name. With the cookie engine on, the Cookie
// line travels as libcurl's own cookie text, so that cookies the engine picks up on redirects
// join it in one Cookie line instead of a second one.
bool set_headers(CURL* easy, const HttpParams& p, HeaderList& list) {
  const std::string block =
      http::build_header_block(p.extra_headers, p.method, p.cookies ? *p.cookies : std::string());
  const http::WireHeaders wire = http::wire_headers(block);
  if (!wire.ok) return false;
  for (std::size_t i = 0; i < wire.lines.size(); ++i) {
    if (p.cookies != nullptr && wire.names[i] == "cookie") {
      const std::string& line = wire.lines[i];
      if (!set(easy, CURLOPT_COOKIE, line.c_str() + line.find(':') + 2)) return false;
      continue;
    }
    curl_slist* grown = curl_slist_append(list.get(), wire.lines[i].c_str());
    if (grown == nullptr) return false;
    list.release();
    list.reset(grown);
  }
  for (const char* name : kSuppressed) {
    std::string lower = name;
    for (char& ch : lower) ch = static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch);
    bool named = false;
    for (const std::string& n : wire.names) named = named || n == lower;
    if (named) continue;
    curl_slist* grown = curl_slist_append(list.get(), (std::string(name) + ":").c_str());
    if (grown == nullptr) return false;
    list.release();
    list.reset(grown);
  }
  return set(easy, CURLOPT_HTTPHEADER, list.get());
}

std::string run(const HttpParams& p) {
  auto fail = [&](Failure failure) {
    if (p.status != nullptr) *p.status = http::failure_text(failure);
    return std::string();
  };
  if (!global_init()) return fail(Failure::no_platform);
  const std::optional<Address> address = split_address(p.url);
  if (!address) return fail(Failure::bad_url);

  HeaderList headers(nullptr, &curl_slist_free_all);  // outlives the easy handle
  Easy easy(curl_easy_init(), &curl_easy_cleanup);
  if (!easy) return fail(Failure::session);
  CURL* e = easy.get();
  // Peer and host verification always on. The Windows stack also checks certificate
  // revocation when cookies are supplied; with OpenSSL libcurl has no revocation check of its
  // own (no CRL fetching, and demanding a stapled OCSP answer would refuse most hosts), so
  // nothing beyond peer and host verification is done.
  if (!set(e, CURLOPT_NOSIGNAL, 1L) || !set(e, CURLOPT_PROTOCOLS_STR, "http,https") ||
      !set(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") || !set(e, CURLOPT_SSL_VERIFYPEER, 1L) ||
      !set(e, CURLOPT_SSL_VERIFYHOST, 2L) || !set(e, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L)) {
    return fail(Failure::session);
  }
  if (!set(e, CURLOPT_URL, address->url.c_str()) || !set_proxy(e, p)) {
    return fail(Failure::connection);
  }
  http::TransferSettings settings;
  if (!set_method(e, p, settings.upload_size)) return fail(Failure::request);
  // One limit t for resolve, connect, send and receive. Resolve and connect are libcurl's
  // connect timeout; send and receive are the idle watchdog: no byte moved for t. A slow but
  // moving transfer is never cut.
  const long timeout_ms = p.timeout_seconds > 0 ? p.timeout_seconds * 1000L : 30000L;
  settings.idle_limit_ms = timeout_ms;
  if (!set(e, CURLOPT_CONNECTTIMEOUT_MS, timeout_ms)) return fail(Failure::timeouts);
  if (!set_credentials(e, p)) return fail(Failure::credentials);
  // Supplied cookies (even empty) switch on libcurl's in-memory cookie engine for this one
  // call, so cookies set on a redirect reach its target; the engine dies with the handle.
  if (p.cookies != nullptr && !set(e, CURLOPT_COOKIEFILE, "")) return fail(Failure::cookie_option);
  settings.follow_redirects = !p.no_redirect;
  if (!set(e, CURLOPT_FOLLOWLOCATION, p.no_redirect ? 0L : 1L) ||
      !set(e, CURLOPT_MAXREDIRS, kMaxRedirects)) {
    return fail(Failure::redirect_option);
  }
  if (!set_headers(e, p, headers)) return fail(Failure::headers);

  settings.cancel = p.cancel;
  http::TransferResult transfer = http::run_transfer(e, settings);
  easy.reset();
  // A read failure keeps the bytes read so far, unless the caller cancelled the call.
  if (transfer.failure != Failure::none &&
      (transfer.failure != Failure::read || transfer.cancelled)) {
    return fail(transfer.failure);
  }

  const http::ResponseHeaders response = http::read_response_headers(transfer.header_block);
  if (p.received_headers != nullptr) *p.received_headers = response.block;
  if (p.status != nullptr) *p.status = response.status;
  std::string received = response.received_cookies;
  if (response.location && p.redirect_location != nullptr) *p.redirect_location = *response.location;
  if (p.cookies != nullptr && p.auto_merge_cookies.value_or(true)) {
    received = merge_cookies(*p.cookies, received);
  }
  if (p.received_cookies != nullptr) *p.received_cookies = received;
  if (p.body_bytes != nullptr) *p.body_bytes = transfer.body;
  std::string text = http::page_text(transfer.body);
  process_pending_messages();
  return text;
}

}  // namespace

std::string http_request(const HttpParams& params) {
  try {
    return run(params);
  } catch (...) {
    // Only running out of memory gets here; the exchange counts as not received.
    if (params.status != nullptr) *params.status = http::failure_text(Failure::receive);
    return std::string();
  }
}

}  // namespace sd
