// A string as a double-quoted TOML literal: quotes and backslashes escaped, control characters as
// \uXXXX.
#pragma once

#include <string>
#include <string_view>

namespace hxprops {

std::string quoted(std::string_view s);

// A key as case text: bare when it can be, else quoted (an empty key is "").
std::string key_text(std::string_view k);

}  // namespace hxprops
