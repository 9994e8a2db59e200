#pragma once
// The Qt-free steps of the start-up sequence: the fixed configuration, storing the init reply,
// the version check and its prompt.
#include <string>

#include "src/app/app_state.h"
#include "src/app/deployment.h"
#include "src/protocol/operations.h"

namespace sd {

inline constexpr const char* client_version_text = "1.00";

// Sets app_title, login_subtitle, client_version, website_address, app_id, init_address,
// product_code and platform, in that order.
void apply_fixed_configuration(AppState& state, const Deployment& deployment);

// Copies an opened init reply into the server fields.
void store_init_reply(AppState& state, const InitReply& reply);

// Byte-for-byte comparison of latest_version with client_version: no trimming, no numbers.
bool version_differs(const AppState& state);

// "发现新版本" + latest_version + "，点击确定打开下载页面！\r\n\r\n升级内容：\r\n" + upgrade_notes
std::string update_prompt_text(const AppState& state);

}  // namespace sd
