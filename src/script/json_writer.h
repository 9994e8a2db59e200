#pragma once
// The JSON text form of a value, as the JavaScript engine's JSON.stringify writes it:
// no spaces, members in order, Chinese raw, format and control characters as \u00xx.
#include <string>

#include "src/script/json_value.h"

namespace sd {

// Appends the UTF-8 JSON text of value.
void write_json(const Json& value, std::string& out);

// A number as JavaScript writes it (shortest round-trip form); "null" when not finite.
std::string js_number_text(double number);

// A number with 13 significant digits, like printf's "%.13g" in the C locale.
std::string number_text_13(double number);

// Any JSON number as a double.
double number_of(const Json& value);

}  // namespace sd
