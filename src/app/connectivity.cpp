#include "src/app/connectivity.h"

#include <curl/curl.h>

#include <memory>

#include "src/platform/network_state.h"

namespace sd {

namespace {

std::string host_of(const std::string& address) {
  std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> url(curl_url(), &curl_url_cleanup);
  if (!url || curl_url_set(url.get(), CURLUPART_URL, address.c_str(), 0) != CURLUE_OK) return {};
  char* host = nullptr;
  if (curl_url_get(url.get(), CURLUPART_HOST, &host, 0) != CURLUE_OK || host == nullptr) return {};
  std::string result(host);
  curl_free(host);
  return result;
}

size_t discard_body(char*, size_t size, size_t count, void*) { return size * count; }

int abort_when_cancelled(void* flag, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  const auto* cancel = static_cast<const std::atomic<bool>*>(flag);
  return cancel != nullptr && cancel->load() ? 1 : 0;
}

}  // namespace

bool check_connectivity(const std::string& probe_address, const ConnectivityOptions& options) {
  const std::string host = host_of(probe_address);
  if (host.empty() || !platform::interface_up_for(host)) return false;
  if (options.cancel != nullptr && options.cancel->load()) return false;

  std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> handle(curl_easy_init(), &curl_easy_cleanup);
  if (!handle) return false;
  CURL* curl = handle.get();
  // A forced reload: no cache on the way may answer for the page.
  curl_slist* headers = curl_slist_append(nullptr, "Cache-Control: no-cache");
  headers = curl_slist_append(headers, "Pragma: no-cache");
  std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> header_list(headers, &curl_slist_free_all);
  curl_easy_setopt(curl, CURLOPT_URL, probe_address.c_str());
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(curl, CURLOPT_USERAGENT, "test");
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, static_cast<long>(options.timeout_seconds));
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, static_cast<long>(options.timeout_seconds));
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &discard_body);
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &abort_when_cancelled);
  curl_easy_setopt(curl, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(options.cancel));
  return curl_easy_perform(curl) == CURLE_OK;
}

}  // namespace sd
