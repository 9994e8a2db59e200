#include "src/http/http_errors.h"

namespace sd::http {

const char* failure_text(Failure failure) {
  switch (failure) {
    case Failure::none: return "";
    case Failure::no_platform: return "700 当前系统不支持WinHttp服务!";
    case Failure::bad_url: return "701 解析URL地址失败!";
    case Failure::session: return "702 创建WinHttp会话失败!";
    case Failure::connection: return "703 创建WinHttp连接失败!";
    case Failure::request: return "704 创建WinHttp请求失败!";
    case Failure::timeouts: return "705 设置超时时间失败!";
    case Failure::credentials: return "707 设置代理凭证失败!";
    case Failure::cookie_option: return "708 禁止自动设置Cookies失败!";
    case Failure::redirect_option: return "709 重定向设置失败!";
    case Failure::headers: return "710 设置协议头失败!";
    case Failure::send: return "711 发送请求失败!";
    case Failure::receive: return "712 服务器未响应!";
    case Failure::read: return "713 读取数据失败!";
  }
  return "";
}

namespace {

// Where a libcurl result happened.
enum class Phase {
  connect,      // resolve, connect, proxy, TLS handshake: 711 (712 on the way to a redirect target)
  send,         // writing the request: 711 (712 on the way to a redirect target)
  receive,      // the response: 713 once the final header block is in, else 712
  by_progress,  // anything else: judged by how far the transfer got
};

struct PhaseRow {
  CURLcode code;
  Phase phase;
};

// The one place that says which phase each libcurl result belongs to.
constexpr PhaseRow kPhases[] = {
    {CURLE_UNSUPPORTED_PROTOCOL, Phase::connect},
    {CURLE_URL_MALFORMAT, Phase::connect},
    {CURLE_COULDNT_RESOLVE_PROXY, Phase::connect},
    {CURLE_COULDNT_RESOLVE_HOST, Phase::connect},
    {CURLE_COULDNT_CONNECT, Phase::connect},
    {CURLE_OPERATION_TIMEDOUT, Phase::connect},  // only the connect timeout is set
    {CURLE_INTERFACE_FAILED, Phase::connect},
    {CURLE_SSL_CONNECT_ERROR, Phase::connect},
    {CURLE_SSL_ENGINE_NOTFOUND, Phase::connect},
    {CURLE_SSL_ENGINE_SETFAILED, Phase::connect},
    {CURLE_SSL_ENGINE_INITFAILED, Phase::connect},
    {CURLE_SSL_CERTPROBLEM, Phase::connect},
    {CURLE_SSL_CIPHER, Phase::connect},
    {CURLE_PEER_FAILED_VERIFICATION, Phase::connect},
    {CURLE_SSL_CACERT_BADFILE, Phase::connect},
    {CURLE_SSL_CRL_BADFILE, Phase::connect},
    {CURLE_SSL_ISSUER_ERROR, Phase::connect},
    {CURLE_SSL_PINNEDPUBKEYNOTMATCH, Phase::connect},
    {CURLE_SSL_INVALIDCERTSTATUS, Phase::connect},
    {CURLE_SSL_SHUTDOWN_FAILED, Phase::connect},
    {CURLE_USE_SSL_FAILED, Phase::connect},
    {CURLE_LOGIN_DENIED, Phase::connect},
    {CURLE_PROXY, Phase::connect},
    {CURLE_SEND_ERROR, Phase::send},
    {CURLE_READ_ERROR, Phase::send},
    {CURLE_SEND_FAIL_REWIND, Phase::send},
    {CURLE_RECV_ERROR, Phase::receive},
    {CURLE_GOT_NOTHING, Phase::receive},
    {CURLE_WEIRD_SERVER_REPLY, Phase::receive},
    {CURLE_PARTIAL_FILE, Phase::receive},
    {CURLE_WRITE_ERROR, Phase::receive},
    {CURLE_TOO_MANY_REDIRECTS, Phase::receive},
    {CURLE_BAD_CONTENT_ENCODING, Phase::receive},
    {CURLE_FILESIZE_EXCEEDED, Phase::receive},
    {CURLE_RANGE_ERROR, Phase::receive},
    {CURLE_HTTP2, Phase::receive},
    {CURLE_HTTP2_STREAM, Phase::receive},
    {CURLE_HTTP3, Phase::receive},
    {CURLE_UNRECOVERABLE_POLL, Phase::receive},
};

Phase phase_of(CURLcode code) {
  for (const PhaseRow& row : kPhases) {
    if (row.code == code) return row.phase;
  }
  return Phase::by_progress;
}

}  // namespace

Failure failure_for_abort(const TransferProgress& progress) {
  if (progress.in_body) return Failure::read;
  if (progress.response_seen || progress.request_sent) return Failure::receive;
  return Failure::send;
}

Failure failure_for(CURLcode code, const TransferProgress& progress) {
  if (code == CURLE_OK) return Failure::none;
  switch (phase_of(code)) {
    case Phase::connect:
    case Phase::send:
      return progress.response_seen ? Failure::receive : Failure::send;
    case Phase::receive:
      return progress.in_body ? Failure::read : Failure::receive;
    case Phase::by_progress:
      break;
  }
  return failure_for_abort(progress);
}

}  // namespace sd::http
