// The embedded default case: the text of cases/default.toml, compiled into the program.
#pragma once

#include <string_view>

#include "case/case_model.h"

namespace hxprops {

inline constexpr const char* kDefaultCaseOrigin = "<default case>";

std::string_view default_case_text();
Case default_case();

}  // namespace hxprops
