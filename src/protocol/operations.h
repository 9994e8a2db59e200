#pragma once
// The five account-server operations. Outputs are the caller's variables; on a refusal only
// error_code and error_message are written, on an opened reply only the members read.
#include <string>

#include "src/protocol/exchange.h"

namespace sd {

// Per-call options of an operation: the exchange bounds and cancellation, and where to report
// whether a failure was a refusal by the server or giving up on the network.
struct CallOptions {
  ExchangeOptions exchange{};
  ExchangeOutcome* outcome = nullptr;
  std::string* opened_text = nullptr;  // on opened: the whole reply as JSON text (local text)
};

// A value as it goes into a request text, so that no value can change the request's structure.
// Working at GBK character boundaries (the second byte of a two-byte character is never
// touched): a backslash becomes \\, a double quote \%22, a percent sign %25 and a control
// character \u00XX; every other byte is kept as it is.
std::string escape_request_value(const std::string& value);

struct InitReply {
  std::string qq, advert3, advert2, advert1, drawurl, version, proupurl, newphase, upAppMsg,
      userurl, wzp_url;
};

int init(const std::string& url, const std::string& appid, const std::string& cpname,
         const std::string& platform, InitReply& out, std::string& error_code,
         std::string& error_message, const CallOptions& options = {});

int login(const std::string& url, const std::string& account, const std::string& password,
          const std::string& appid, std::string& user, std::string& token, std::string& level,
          std::string& id, std::string& error_code, std::string& error_message,
          const CallOptions& options = {});

int reg(const std::string& url, const std::string& account, const std::string& password,
        const std::string& qq, const std::string& appid, std::string& error_code,
        std::string& error_message, const CallOptions& options = {});

// The new token, or "error" when the exchange did not open.
std::string hearlog(const std::string& url, const std::string& token, const std::string& appid,
                    std::string& error_code, std::string& error_message,
                    const CallOptions& options = {});

int change_pawd(const std::string& url, const std::string& appid, const std::string& token,
                const std::string& old_password, const std::string& new_password,
                std::string& error_code, std::string& error_message,
                const CallOptions& options = {});

}  // namespace sd
