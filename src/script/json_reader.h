#pragma once
// Standard JSON text (UTF-8) to a value whose numbers are all doubles.
#include <optional>
#include <string_view>

#include "src/script/json_value.h"

namespace sd {

// Nothing when the text is not one JSON value, or nests deeper than json_depth_limit.
std::optional<Json> read_json(std::string_view utf8);

// Nesting depth of a value: 0 for a scalar, 1 for a flat array or object.
int json_depth(const Json& value);

}  // namespace sd
