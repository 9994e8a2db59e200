#include "server/demo_pages.h"

#include <cstdint>
#include <cstdio>

#include "server/refusals.h"
#include "src/app/page_titles.h"
#include "src/http/code_page.h"

namespace sd {
namespace {

std::string head(const std::string& title) {
  return utf8_text(u8"<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\">"
                   u8"<title>") +
         title +
         utf8_text(u8"</title><style>"
                   u8"body{font-family:sans-serif;margin:16px;color:#222}"
                   u8".sample{background:#fff3cd;border:1px solid #e0c36a;padding:6px 10px;"
                   u8"margin-bottom:12px}"
                   u8"table{border-collapse:collapse;margin-top:10px}"
                   u8"td,th{border:1px solid #bbb;padding:3px 10px;text-align:right}"
                   u8"th{background:#eef}.up{color:#c00}.down{color:#080}"
                   u8"</style></head><body>\n");
}

const char8_t* const sample_names[] = {
    u8"样本科技", u8"示例银行", u8"演示能源", u8"模拟医药", u8"样例地产",
    u8"测试电子", u8"虚拟汽车", u8"假想食品", u8"范例通信", u8"示范材料",
};

// A small deterministic generator: the same page always shows the same numbers.
struct Numbers {
  std::uint32_t state;
  std::uint32_t next() {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
  }
};

std::string fixed2(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.2f", value);
  return buffer;
}

}  // namespace

std::string demo_page_html(int n) {
  if (n < 1 || n > static_cast<int>(page_titles.size())) return {};
  const std::string title = local_to_utf8(page_titles[static_cast<std::size_t>(n - 1)]);
  Numbers numbers{static_cast<std::uint32_t>(n) * 2654435761u};
  std::string html = head(title);
  html += "<h1>" + title + "</h1>\n";
  html += utf8_text(u8"<div class=\"sample\">示例数据：本页内容由参考服务器生成，仅用于演示，"
                    u8"不构成任何投资建议。</div>\n");

  // A line chart of 30 sample closing values.
  double value = 10.0 + numbers.next() % 2000 / 100.0;
  std::string points;
  double low = value, high = value;
  double series[30];
  for (double& v : series) {
    value *= 1.0 + (static_cast<int>(numbers.next() % 801) - 400) / 10000.0;
    v = value;
    if (v < low) low = v;
    if (v > high) high = v;
  }
  const double span = high - low > 0.01 ? high - low : 0.01;
  for (int i = 0; i < 30; ++i) {
    points += std::to_string(10 + i * 20) + "," + fixed2(150 - (series[i] - low) / span * 130) + " ";
  }
  html += utf8_text(u8"<h2>近30日走势（示例）</h2>\n");
  html += "<svg width=\"610\" height=\"160\" viewBox=\"0 0 610 160\" role=\"img\">"
          "<rect x=\"0\" y=\"0\" width=\"610\" height=\"160\" fill=\"#fafafa\" stroke=\"#ccc\"/>"
          "<polyline fill=\"none\" stroke=\"#c33\" stroke-width=\"2\" points=\"" +
          points + "\"/></svg>\n";

  // A table of sample quotes.
  html += utf8_text(u8"<table><tr><th>代码</th><th>名称</th><th>最新价</th><th>涨跌幅</th>"
                    u8"<th>成交额（万元）</th></tr>\n");
  for (int row = 0; row < 8; ++row) {
    char code[8];
    std::snprintf(code, sizeof code, "%06u", static_cast<unsigned>(numbers.next() % 1000000));
    const double price = 2.0 + numbers.next() % 9000 / 100.0;
    const double change = (static_cast<int>(numbers.next() % 2001) - 1000) / 100.0;
    const double turnover = 100.0 + numbers.next() % 500000 / 10.0;
    const char* direction = change >= 0 ? "up" : "down";
    html += std::string("<tr><td>") + code + "</td><td>" +
            utf8_text(sample_names[(static_cast<std::size_t>(n) + row) % 10]) + "</td><td>" +
            fixed2(price) + "</td><td class=\"" + direction + "\">" +
            (change >= 0 ? "+" : "") + fixed2(change) + "%</td><td>" + fixed2(turnover) +
            "</td></tr>\n";
  }
  html += utf8_text(u8"</table>\n<p><a href=\"/\">全部示例页面</a></p>\n</body></html>\n");
  return html;
}

std::string demo_index_html() {
  std::string html = head(utf8_text(u8"示例信息页面"));
  html += utf8_text(u8"<h1>示例信息页面</h1>\n<div class=\"sample\">示例数据：以下页面仅用于演示。"
                    u8"</div>\n<ol>\n");
  for (std::size_t i = 0; i < page_titles.size(); ++i)
    html += "<li><a href=\"/pages/" + std::to_string(i + 1) + ".html\">" +
            local_to_utf8(page_titles[i]) + "</a></li>\n";
  html += "</ol>\n</body></html>\n";
  return html;
}

std::string download_page_html(const std::string& version) {
  std::string safe;
  for (char c : version) {
    if (c == '<') safe += "&lt;";
    else if (c == '>') safe += "&gt;";
    else if (c == '&') safe += "&amp;";
    else safe += c;
  }
  return head(utf8_text(u8"下载最新版本")) +
         utf8_text(u8"<h1>下载最新版本</h1>\n<p>最新版本：") + safe +
         utf8_text(u8"</p>\n<div class=\"sample\">示例页面：参考服务器不提供安装包。</div>\n"
                   u8"</body></html>\n");
}

}  // namespace sd
