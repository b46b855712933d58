// Case files: TOML text <-> Case.
//
//   title = "..."                        optional
//   points = 11                          optional, points per curve (2..1000)
//   [side0] and [side1], each with
//     name = "..."                       optional
//     pressure = 5.0e5                   Pa
//     inlet_temperature = 430.0          K
//     outlet_temperature = 310.0         K    } exactly one of the two
//     duty = -2.0e6                      W    } (heat added to the stream; negative cools it)
//     phases = "vapour-liquid"           optional: vapour-liquid, vapour-liquid-free-water, liquid, vapour
//     option_list = [0, 0, 0, 0, 0, 0]   optional, handed to the host's flash and property monitor
//     flash_option = 0                   optional
//     flash_real_option = 0.0            optional
//     [sideN.flows]                      component = kmol/s, databank names
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "case_model.h"

namespace hxprops {

// Parse case text; `origin` names it in messages. Throws InputError naming origin, line and field
// for malformed TOML, an unknown or misspelt key, a value of the wrong type and the checks of
// check_case(). Flows keep the order of their keys in the text.
Case parse_case(std::string_view text, const std::string& origin);

// Read and parse a case file. Throws InputError when it cannot be read.
Case read_case_file(const std::filesystem::path& file);

// The case as TOML that parse_case() reads back to the same content.
std::string write_case(const Case& c);

}  // namespace hxprops
