#include "src/script/json_object.h"

#include <charconv>
#include <cmath>

#include "src/http/code_page.h"
#include "src/http/text.h"
#include "src/script/json_path.h"
#include "src/script/json_reader.h"
#include "src/script/json_writer.h"

namespace sd {
namespace {

// Runs body; any exception gives the fallback, so none ever leaves the class.
template <typename Result, typename Body>
Result guarded(Result fallback, Body body) {
  try {
    return body();
  } catch (...) {
    return fallback;
  }
}

template <typename Body>
void guarded(Body body) {
  try {
    body();
  } catch (...) {
  }
}

// How an operation joins its path to the root: "[...]" directly, or always with a dot.
enum class Join { direct, dot };

bool read_path(const std::string& local_path, Join join, JsonPath& out) {
  return parse_path(local_to_utf8(text_of(local_path)), join == Join::direct, out);
}

std::optional<Json> read_local_json(const std::string& local_text) {
  return read_json(local_to_utf8(text_of(local_text)));
}

std::string json_text_local(const Json& value) {
  std::string out;
  write_json(value, out);
  return utf8_to_local(out);
}

// A scalar as the engine converts it to text: strings as they are, true "-1", false "0".
std::string plain_text(const Json& value) {
  switch (value.type()) {
    case Json::value_t::string: return utf8_to_local(value.get_ref<const std::string&>());
    case Json::value_t::boolean: return value.get<bool>() ? "-1" : "0";
    case Json::value_t::number_float:
    case Json::value_t::number_integer:
    case Json::value_t::number_unsigned: return number_text_13(number_of(value));
    case Json::value_t::array:
    case Json::value_t::object: return json_text_local(value);
    default: return "";
  }
}

// A text of digits as a number, the way the engine converts a string: surrounding spaces are
// allowed; anything else not a number gives 0.
double number_of_text(std::string_view text) {
  auto space = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; };
  while (!text.empty() && space(text.front())) text.remove_prefix(1);
  while (!text.empty() && space(text.back())) text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty() || text.front() == '+') return 0;
  double value = 0;
  auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return 0;
  return value;
}

// The value a setter stores: the text itself as a string, or (raw) the JSON value it spells.
std::optional<Json> value_of(const std::string& local_value, bool raw) {
  if (raw) return read_local_json(local_value);
  return Json(local_to_utf8(text_of(local_value)));
}

// Stores value at path; nothing changes when the place cannot be written or the result would
// nest too deeply.
void store(JsonObject::State& state, const JsonPath& path, std::optional<Json> value) {
  if (!value) return;
  if (static_cast<int>(path.size()) + json_depth(*value) > json_depth_limit) return;
  if (Json* place = place_for(state, path)) *place = std::move(*value);
}

}  // namespace

JsonObject::JsonObject() : state_(std::make_shared<State>()) {}
JsonObject::JsonObject(const JsonObject&) = default;
JsonObject& JsonObject::operator=(const JsonObject&) = default;
JsonObject::~JsonObject() = default;

bool JsonObject::parse(const std::string& text) {
  return guarded(false, [&] {
    auto fresh = std::make_shared<State>();
    auto value = read_local_json(text);
    fresh->defined = value.has_value();
    fresh->value = value ? std::move(*value) : Json();
    state_ = std::move(fresh);
    return state_->defined && !state_->value.is_null();
  });
}

std::string JsonObject::to_text() const {
  return guarded(std::string(), [&] {
    return state_->defined ? json_text_local(state_->value) : std::string();
  });
}

void JsonObject::set_text(const std::string& path, const std::string& value, bool as_object) {
  guarded([&] {
    JsonPath steps;
    if (!read_path(path, Join::dot, steps)) return;
    if (as_object) {
      store(*state_, steps, read_local_json(text_of(value).empty() ? std::string("{}") : value));
    } else {
      store(*state_, steps, value_of(value, false));
    }
  });
}

void JsonObject::set_json(const std::string& path, const std::string& json_text) {
  guarded([&] {
    JsonPath steps;
    if (read_path(path, Join::dot, steps)) store(*state_, steps, read_local_json(json_text));
  });
}

void JsonObject::set_number(const std::string& path, double number) {
  guarded([&] {
    JsonPath steps;
    if (!std::isfinite(number) || !read_path(path, Join::dot, steps)) return;
    store(*state_, steps, Json(number_of_text(number_text_13(number))));
  });
}

double JsonObject::get_number(const std::string& path) const {
  return guarded(0.0, [&] {
    JsonPath steps;
    if (!read_path(path, Join::dot, steps)) return 0.0;
    LookupResult at = look_up(*state_, steps);
    if (at.kind != Lookup::found) return 0.0;
    const Json& value = *at.node;
    if (value.is_number()) return number_of(value);
    if (value.is_boolean()) return value.get<bool>() ? -1.0 : 0.0;
    if (value.is_string()) return number_of_text(value.get_ref<const std::string&>());
    return 0.0;
  });
}

std::string JsonObject::get_json(const std::string& path) const {
  return guarded(std::string(), [&] {
    JsonPath steps;
    if (!read_path(path, Join::dot, steps)) return std::string();
    LookupResult at = look_up(*state_, steps);
    return at.kind == Lookup::found ? json_text_local(*at.node) : std::string();
  });
}

std::string JsonObject::get_text(const std::string& path, bool as_json) const {
  return guarded(std::string(), [&] {
    JsonPath steps;
    if (!read_path(path, Join::direct, steps)) return std::string();
    LookupResult at = look_up(*state_, steps);
    if (at.kind != Lookup::found) return std::string();
    return as_json ? json_text_local(*at.node) : plain_text(*at.node);
  });
}

JsonObject JsonObject::get_object(const std::string& path) const {
  return guarded(JsonObject(), [&] {
    JsonObject result;
    JsonPath steps;
    LookupResult at;
    if (read_path(path, Join::direct, steps)) at = look_up(*state_, steps);
    result.state_->defined = at.kind == Lookup::found;
    result.state_->value = at.kind == Lookup::found ? *at.node : Json();
    return result;
  });
}

long JsonObject::count(const std::string& path) const {
  return guarded(0L, [&] {
    JsonPath steps;
    if (!read_path(path, Join::direct, steps)) return 0L;
    LookupResult at = look_up(*state_, steps);
    if (at.kind != Lookup::found || !at.node->is_structured()) return 0L;
    return static_cast<long>(at.node->size());
  });
}

void JsonObject::push(const std::string& value, const std::string& path, bool raw) {
  guarded([&] {
    JsonPath steps;
    if (!read_path(path, Join::dot, steps)) return;
    auto item = value_of(value, raw);
    if (!item || static_cast<int>(steps.size()) + 1 + json_depth(*item) > json_depth_limit) return;
    Json* place = place_for(*state_, steps);
    if (place == nullptr) return;
    if (!place->is_array()) *place = Json::array();
    place->push_back(std::move(*item));
  });
}

JsonObject JsonObject::get_element_object(long index, const std::string& path) const {
  return guarded(JsonObject(), [&] {
    JsonObject result;
    JsonPath steps;
    LookupResult at;
    if (read_path(path, Join::dot, steps)) {
      steps.push_back(index_step(index));
      at = look_up(*state_, steps);
    }
    result.state_->defined = at.kind == Lookup::found;
    result.state_->value = at.kind == Lookup::found ? *at.node : Json();
    return result;
  });
}

std::string JsonObject::get_element_text(long index, const std::string& path, bool as_json) const {
  return guarded(std::string(), [&] {
    JsonPath steps;
    if (!read_path(path, Join::dot, steps)) return std::string();
    steps.push_back(index_step(index));
    LookupResult at = look_up(*state_, steps);
    if (at.kind != Lookup::found) return std::string();
    return as_json ? json_text_local(*at.node) : plain_text(*at.node);
  });
}

void JsonObject::set_element(long index, const std::string& value, bool raw) {
  guarded([&] { store(*state_, JsonPath{index_step(index)}, value_of(value, raw)); });
}

void JsonObject::remove_element(long index) {
  guarded([&] {
    if (!state_->defined || !state_->value.is_array()) return;
    Json& array = state_->value;
    long size = static_cast<long>(array.size());
    long start = index < 0 ? std::max(size + index, 0L) : index;  // as Array.prototype.splice
    if (start < size) array.erase(array.begin() + start);
  });
}

void JsonObject::delete_member(const std::string& name) {
  guarded([&] {
    JsonPath steps;
    if (!read_path(name, Join::dot, steps) || steps.empty()) return;
    LookupResult parent = look_up(*state_, steps, steps.size() - 1);
    if (parent.kind != Lookup::found) return;
    Json& node = *parent.node;
    const PathStep& last = steps.back();
    if (node.is_object()) {
      node.erase(last.name);
    } else if (node.is_array() && last.index >= 0 && static_cast<size_t>(last.index) < node.size()) {
      node[last.index] = nullptr;  // a deleted element leaves a hole
    }
  });
}

void JsonObject::reset(int kind) {
  guarded([&] {
    if (kind == 0 || kind == 4) {
      state_->value = Json::object();
    } else if (kind == 5) {
      state_->value = Json::array();
    } else {
      return;
    }
    state_->defined = true;
  });
}

void JsonObject::set_value(const std::string& value, bool raw) {
  guarded([&] { store(*state_, JsonPath{}, value_of(value, raw)); });
}

bool JsonObject::has_member(const std::string& name) const {
  return guarded(false, [&] {
    JsonPath steps;
    if (!read_path(name, Join::dot, steps) || steps.empty()) return false;
    LookupResult at = look_up(*state_, steps);
    return at.kind == Lookup::found && !at.node->is_null();
  });
}

long JsonObject::member_names(std::vector<std::string>& names, const std::string& path) const {
  names.clear();
  return guarded(0L, [&] {
    JsonPath steps;
    if (!read_path(path, Join::dot, steps)) return 0L;
    LookupResult at = look_up(*state_, steps);
    if (at.kind != Lookup::found) return 0L;
    const Json& node = *at.node;
    if (node.is_object()) {
      for (auto it = node.begin(); it != node.end(); ++it) names.push_back(utf8_to_local(it.key()));
    } else if (node.is_array()) {
      for (size_t i = 0; i < node.size(); ++i) names.push_back(std::to_string(i));
    }
    return static_cast<long>(names.size());
  });
}

int JsonObject::type_of(const std::string& path) const {
  return guarded(-1, [&] {
    JsonPath steps;
    if (!read_path(path, Join::dot, steps)) return -1;
    LookupResult at = look_up(*state_, steps);
    if (at.kind == Lookup::error) return -1;
    if (at.kind == Lookup::missing) return 0;
    switch (at.node->type()) {
      case Json::value_t::null: return 0;
      case Json::value_t::boolean: return 1;
      case Json::value_t::number_float:
      case Json::value_t::number_integer:
      case Json::value_t::number_unsigned: return 2;
      case Json::value_t::object: return 4;
      case Json::value_t::array: return 5;
      case Json::value_t::string: return 6;
      default: return -1;
    }
  });
}

void JsonObject::clear() {
  guarded([&] {
    state_->value = Json::object();
    state_->defined = true;
  });
}

}  // namespace sd
