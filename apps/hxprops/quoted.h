// A string as a double-quoted literal that TOML and JSON both read back: quotes and backslashes
// escaped, control characters as \uXXXX.
#pragma once

#include <string>
#include <string_view>

namespace hxprops {

std::string quoted(std::string_view s);

}  // namespace hxprops
