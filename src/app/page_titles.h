#pragma once
// The 31 information pages, in page order (index 0 is shown first). Local text.
#include <array>
#include <string_view>

namespace sd {

inline constexpr std::array<std::string_view, 31> page_titles = {
    "微信精读", "投资组合", "短线股票池", "猎鹰股票池", "涨股专家", "金睛盘", "猎人直播",
    "策略选股", "宏观数据", "交易异动", "大宗交易", "限售解禁股", "高管持股", "期货排行榜",
    "AH股比价", "机构股票池", "基金重仓股", "个股诊断", "事件驱动", "资金流向", "融资融券",
    "投资机会", "债券套作", "行业评价", "基金大全", "债券大全", "信托产品", "集合理财",
    "阳光私募", "银行理财", "保险大全",
};

// Key and constant that scramble the page-address table (shared with the account server)
// and the remembered password.
inline constexpr std::string_view table_key = "5281946073";
inline constexpr int table_scramble_constant = 6947;

}  // namespace sd
