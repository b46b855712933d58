// Case files: TOML text <-> Case. docs/hxprops.md lists every key; values with a unit are strings
// ("120 degC", "2.5 bar", "36 t/h"), plain numbers are in K, Pa, kmol/s and W.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "case/case_model.h"

namespace hxprops {

// Parse case text; `origin` names it in messages. Throws InputError naming origin, line and field
// for malformed TOML, an unknown or misspelt key, a value of the wrong type or unit and the checks of
// check_case(). Flows keep the order of their keys in the text.
Case parse_case(std::string_view text, const std::string& origin);

// Read and parse a case file. Throws InputError when it cannot be read or is a folder.
Case read_case_file(const std::filesystem::path& file);

// The case as TOML that parse_case() reads back to the same content.
std::string write_case(const Case& c);

}  // namespace hxprops
