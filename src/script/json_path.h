#pragma once
// Paths into a JSON value, in the script language's accessor syntax, relative to the root:
// "data", "data.user", "[0]['微信精读']", "list[2].name". Paths are read in UTF-8.
#include <string>
#include <string_view>
#include <vector>

#include "src/script/json_value.h"

namespace sd {

struct PathStep {
  std::string name;  // member name (UTF-8); for an index, its decimal form
  long index = -1;   // the array index that name spells, or -1 when it spells none
};
using JsonPath = std::vector<PathStep>;

// Reads a path. The empty path is the root. A path that begins with "[" is read only when
// bracket_first is true (the operations that join such a path to the root without a dot);
// otherwise it is invalid. False for a path that is not a chain of accessors.
bool parse_path(std::string_view utf8, bool bracket_first, JsonPath& out);

PathStep index_step(long index);

enum class Lookup {
  error,    // the path cannot be evaluated: a step below null or nothing
  missing,  // nothing at the path (undefined)
  found,
};

struct LookupResult {
  Lookup kind = Lookup::error;
  Json* node = nullptr;  // set when found (it may hold null)
};

// Follows the first `steps` steps of path (all by default) from the root.
LookupResult look_up(JsonObject::State& state, const JsonPath& path, size_t steps = SIZE_MAX);

// The place that an assignment to path writes, created when missing (a new member at the end of
// its object, or array elements up to the index, the gap filled with null). Null when the
// assignment cannot be made: the parent is null or nothing, a scalar, or an array given a name.
Json* place_for(JsonObject::State& state, const JsonPath& path);

}  // namespace sd
