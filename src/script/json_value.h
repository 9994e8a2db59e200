#pragma once
// The value a JsonObject holds, shared by the object's copies.
#include <nlohmann/json.hpp>

#include "src/script/json_object.h"

namespace sd {

using Json = nlohmann::ordered_json;

// Deepest nesting of arrays and objects that a value may reach, through parse or the setters.
inline constexpr int json_depth_limit = 512;

struct JsonObject::State {
  Json value = Json::object();
  bool defined = true;  // false after a failed parse: there is no value at all
};

}  // namespace sd
