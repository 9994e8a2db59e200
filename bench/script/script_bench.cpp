// The main window's read of the page-address table: parse, then one read per page title.
// And the HTTP routine's character-set search over the first 1024 bytes of a page.
#include <benchmark/benchmark.h>

#include <string>

#include "src/app/page_titles.h"
#include "src/script/json_object.h"
#include "src/script/regex_object.h"

namespace {

std::string page_table() {
  std::string text = "[{";
  for (size_t i = 0; i < sd::page_titles.size(); ++i) {
    if (i > 0) text += ",";
    text += "\"" + std::string(sd::page_titles[i]) + "\":\"http://pages.stockdesk.test/info/" + std::to_string(i) +
            "/index.html?from=desk&channel=" + std::to_string(1000 + i * 37) + "&v=3.2.1\"";
  }
  return text + "}]";
}

std::vector<std::string> title_paths() {
  std::vector<std::string> paths;
  for (auto title : sd::page_titles) paths.push_back("[0]['" + std::string(title) + "']");
  return paths;
}

void ParseAndReadPageTable(benchmark::State& state) {
  const std::string table = page_table();
  const auto paths = title_paths();
  for (auto _ : state) {
    sd::JsonObject json;
    bool parsed = json.parse(table);
    benchmark::DoNotOptimize(parsed);
    for (const auto& path : paths) benchmark::DoNotOptimize(json.get_text(path));
    json.clear();
  }
  state.SetLabel(std::to_string(table.size()) + " bytes, 31 reads");
}
BENCHMARK(ParseAndReadPageTable)->Unit(benchmark::kMicrosecond);

void ReadPageTableOnly(benchmark::State& state) {
  sd::JsonObject json;
  json.parse(page_table());
  const auto paths = title_paths();
  for (auto _ : state)
    for (const auto& path : paths) benchmark::DoNotOptimize(json.get_text(path));
}
BENCHMARK(ReadPageTableOnly)->Unit(benchmark::kMicrosecond);

void CharsetOfPageHead(benchmark::State& state) {
  std::string head = "<!DOCTYPE html>\n<html>\n<head>\n<title>行情</title>\n"
                     "<META http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">\n";
  while (head.size() < 1024) head += "<link rel=\"stylesheet\" href=\"/css/main.css\">\n";
  head.resize(1024);
  for (auto _ : state) {
    sd::RegexObject regex;
    regex.search("<meta.+?charset=[^\\w]?([-\\w]+)", head);
    benchmark::DoNotOptimize(regex.sub_match_text(1, 1));
  }
}
BENCHMARK(CharsetOfPageHead)->Unit(benchmark::kMicrosecond);

}  // namespace
