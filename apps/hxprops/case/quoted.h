// A string as a double-quoted TOML literal: quotes and backslashes escaped, control characters as
// \uXXXX.
#pragma once

#include <string>
#include <string_view>

namespace hxprops {

std::string quoted(std::string_view s);

}  // namespace hxprops
