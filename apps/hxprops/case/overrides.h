// Values given beside a case that replace its own: the command line's --points, --spacing and
// --table-pressures, or the same keyword arguments of the Python module. Each is text as the user gave
// it; messages name it as the caller calls it.
#pragma once

#include <optional>
#include <string>

#include "case/case_model.h"

namespace hxprops {

struct CaseOverrides {
  std::optional<std::string> points;           // a whole number, kMinPoints to kMaxPoints
  std::optional<std::string> spacing;          // "temperature", "duty" or "enthalpy": both sides
  std::optional<std::string> table_pressures;  // "2.3 bar, inlet, mid": both sides
};

// What messages call each override.
struct OverrideNames {
  std::string points = "--points";
  std::string spacing = "--spacing";
  std::string table_pressures = "--table-pressures";
};

// Put the overrides given into the case. Throws InputError naming the override that is not valid.
void apply_overrides(Case& c, const CaseOverrides& o, const OverrideNames& names = {});

}  // namespace hxprops
