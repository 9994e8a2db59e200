#include "src/http/http_transfer.h"

#include <string_view>
#include <thread>  // std::chrono clocks; <chrono> itself does not build with a GBK execution charset

namespace sd::http {

namespace {

using Clock = std::chrono::steady_clock;

// How often the run looks at the cancellation flag and the idle watchdog while it waits.
constexpr int kTickMs = 50;

struct Collector {
  std::string block;
  std::string body;
  bool block_complete = false;
  bool response_seen = false;
  bool has_location = false;
  int status_code = 0;
  bool connected = false;
  curl_off_t uploaded = 0;
  curl_off_t downloaded = 0;
  Clock::time_point last_activity = Clock::now();
};

bool starts_with_ignoring_case(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char a = text[i];
    char b = prefix[i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
    if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
    if (a != b) return false;
  }
  return true;
}

int status_code_of(std::string_view status_line) {
  // "HTTP/1.1 200 OK": the three digits after the version and one space.
  const std::size_t space = status_line.find(' ');
  if (space == std::string_view::npos || status_line.size() < space + 4) return 0;
  int code = 0;
  for (std::size_t i = space + 1; i < space + 4; ++i) {
    const char c = status_line[i];
    if (c < '0' || c > '9') return 0;
    code = code * 10 + (c - '0');
  }
  return code;
}

// One call per header line, status lines included. A new status line starts a new block, so
// after redirects and interim responses only the final response's block and body remain.
size_t on_header(char* data, size_t size, size_t count, void* user) {
  auto* c = static_cast<Collector*>(user);
  const size_t n = size * count;
  try {
    std::string_view line(data, n);
    c->last_activity = Clock::now();
    if (line.starts_with("HTTP/")) {
      c->block.clear();
      c->body.clear();
      c->block_complete = false;
      c->has_location = false;
      c->response_seen = true;
      c->status_code = status_code_of(line);
    } else if (c->block_complete) {
      return n;  // trailer lines after a chunked body are not part of the block
    }
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    if (line.empty()) c->block_complete = true;
    if (starts_with_ignoring_case(line, "location:")) c->has_location = true;
    c->block.append(line).append("\r\n");
  } catch (...) {
    return 0;
  }
  return n;
}

size_t on_body(char* data, size_t size, size_t count, void* user) {
  auto* c = static_cast<Collector*>(user);
  const size_t n = size * count;
  try {
    c->body.append(data, n);
  } catch (...) {
    return 0;  // out of memory: ends as a read failure with the bytes so far
  }
  c->last_activity = Clock::now();
  return n;
}

int on_progress(void* user, curl_off_t, curl_off_t downloaded, curl_off_t, curl_off_t uploaded) {
  auto* c = static_cast<Collector*>(user);
  if (downloaded != c->downloaded || uploaded != c->uploaded) {
    c->downloaded = downloaded;
    c->uploaded = uploaded;
    c->last_activity = Clock::now();
  }
  return 0;
}

// Runs once a connection is ready and a request is about to go out (also after each redirect).
int on_connected(void* user, char*, char*, int, int) {
  auto* c = static_cast<Collector*>(user);
  c->connected = true;
  c->uploaded = 0;
  c->last_activity = Clock::now();
  return CURL_PREREQFUNC_OK;
}

bool is_followed_redirect(const Collector& c, bool follow) {
  if (!follow || !c.has_location) return false;
  const int s = c.status_code;
  return s == 300 || s == 301 || s == 302 || s == 303 || s == 307 || s == 308;
}

template <typename T>
bool set(CURL* easy, CURLoption option, T value) {
  return curl_easy_setopt(easy, option, value) == CURLE_OK;
}

}  // namespace

TransferResult run_transfer(CURL* easy, const TransferSettings& settings) {
  TransferResult result;
  Collector c;
  if (!set(easy, CURLOPT_HEADERFUNCTION, &on_header) || !set(easy, CURLOPT_HEADERDATA, &c) ||
      !set(easy, CURLOPT_WRITEFUNCTION, &on_body) || !set(easy, CURLOPT_WRITEDATA, &c) ||
      !set(easy, CURLOPT_XFERINFOFUNCTION, &on_progress) || !set(easy, CURLOPT_XFERINFODATA, &c) ||
      !set(easy, CURLOPT_NOPROGRESS, 0L) || !set(easy, CURLOPT_PREREQFUNCTION, &on_connected) ||
      !set(easy, CURLOPT_PREREQDATA, &c)) {
    result.failure = Failure::session;
    return result;
  }
  CURLM* multi = curl_multi_init();
  if (multi == nullptr) {
    result.failure = Failure::session;
    return result;
  }
  if (curl_multi_add_handle(multi, easy) != CURLM_OK) {
    curl_multi_cleanup(multi);
    result.failure = Failure::session;
    return result;
  }

  bool stopped = false;  // ended by us: cancelled, idle, or the multi interface failed
  int running = 1;
  for (;;) {
    if (curl_multi_perform(multi, &running) != CURLM_OK) {
      stopped = true;
      break;
    }
    if (running == 0) break;
    if (settings.cancel != nullptr && settings.cancel->load()) {
      result.cancelled = true;
      stopped = true;
      break;
    }
    if (c.connected && Clock::now() - c.last_activity >= std::chrono::milliseconds(settings.idle_limit_ms)) {
      stopped = true;
      break;
    }
    if (curl_multi_poll(multi, nullptr, 0, kTickMs, nullptr) != CURLM_OK) {
      stopped = true;
      break;
    }
  }

  CURLcode code = CURLE_RECV_ERROR;
  if (!stopped) {
    int left = 0;
    while (CURLMsg* msg = curl_multi_info_read(multi, &left)) {
      if (msg->msg == CURLMSG_DONE && msg->easy_handle == easy) code = msg->data.result;
    }
  }
  curl_multi_remove_handle(multi, easy);
  curl_multi_cleanup(multi);

  TransferProgress progress;
  progress.request_sent = c.connected && c.uploaded >= settings.upload_size;
  progress.response_seen = c.response_seen;
  progress.in_body = c.block_complete && c.status_code >= 200 &&
                     !is_followed_redirect(c, settings.follow_redirects);
  result.failure = stopped ? failure_for_abort(progress) : failure_for(code, progress);
  if ((result.failure == Failure::none || result.failure == Failure::read) && !progress.in_body) {
    result.failure = Failure::receive;  // no complete final header block to work with
  }
  result.header_block = std::move(c.block);
  result.body = std::move(c.body);
  return result;
}

}  // namespace sd::http
