#include "case/overrides.h"

#include <charconv>
#include <vector>

#include "case/units.h"

namespace hxprops {

namespace {

int parse_points(const std::string& text, const std::string& name) {
  int n = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (ec != std::errc() || end != text.data() + text.size()) {
    throw InputError({}, name, "\"" + text + "\" is not a whole number");
  }
  if (n < kMinPoints || n > kMaxPoints) {
    throw InputError({}, name, std::to_string(n) + " is outside " + std::to_string(kMinPoints) + " to " + std::to_string(kMaxPoints));
  }
  return n;
}

}  // namespace

void apply_overrides(Case& c, const CaseOverrides& o, const OverrideNames& names) {
  if (o.points) c.points = parse_points(*o.points, names.points);
  if (o.spacing) {
    const std::optional<Spacing> s = from_name<Spacing>(*o.spacing);
    if (!s) throw InputError({}, names.spacing, "\"" + *o.spacing + "\" is not one of: " + names_of<Spacing>());
    c.spacing = *s;
    for (Side& side : c.sides) side.spacing.reset();  // both sides
  }
  if (o.table_pressures) {
    std::string why;
    const std::optional<std::vector<TableLevel>> levels = table_level_list(*o.table_pressures, why);
    if (!levels) throw InputError({}, names.table_pressures, why);
    c.table_pressures = *levels;
    for (Side& side : c.sides) side.table_pressures.reset();  // both sides
    c.set_by["table_pressures"] = names.table_pressures;
    check_case(c);
  }
}

}  // namespace hxprops
