#include "src/app/start_up.h"

namespace sd {

void apply_fixed_configuration(AppState& state, const Deployment& deployment) {
  state.app_title = deployment.app_title;
  state.login_subtitle = deployment.login_subtitle;
  state.client_version = client_version_text;
  state.website_address = "http://" + deployment.website_host;
  state.app_id = "888";
  state.init_address = deployment.init_address;
  state.product_code = "wzpkyl";
  state.platform = "windows";
}

void store_init_reply(AppState& state, const InitReply& reply) {
  state.service_qq = reply.qq;
  state.advert3 = reply.advert3;
  state.advert2 = reply.advert2;
  state.advert1 = reply.advert1;
  state.drawurl = reply.drawurl;
  state.latest_version = reply.version;
  state.download_page_address = reply.proupurl;
  state.newphase = reply.newphase;
  state.upgrade_notes = reply.upAppMsg;
  state.account_address = reply.userurl;
  state.tab_address_json = reply.wzp_url;
}

bool version_differs(const AppState& state) {
  return state.latest_version != state.client_version;
}

std::string update_prompt_text(const AppState& state) {
  return "发现新版本" + state.latest_version + "，点击确定打开下载页面！\r\n\r\n升级内容：\r\n" +
         state.upgrade_notes;
}

}  // namespace sd
