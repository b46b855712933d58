#include "case_model.h"
#include "number_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace hxprops {

namespace {

struct PhaseSetName {
  PhaseSet set;
  std::string_view name;
};
constexpr PhaseSetName kPhaseSetNames[] = {
    {PhaseSet::VapourLiquid, "vapour-liquid"},
    {PhaseSet::VapourLiquidFreeWater, "vapour-liquid-free-water"},
    {PhaseSet::LiquidOnly, "liquid"},
    {PhaseSet::VapourOnly, "vapour"},
};

}  // namespace

std::string_view phase_set_name(PhaseSet p) {
  for (const auto& n : kPhaseSetNames) {
    if (n.set == p) return n.name;
  }
  return "?";
}

std::optional<PhaseSet> phase_set_from_name(std::string_view name) {
  for (const auto& n : kPhaseSetNames) {
    if (n.name == name) return n.set;
  }
  return std::nullopt;
}

std::string phase_set_names() {
  std::string all;
  for (const auto& n : kPhaseSetNames) {
    if (!all.empty()) all += ", ";
    all += n.name;
  }
  return all;
}

namespace {

// The side with the field its outlet specification does not use cleared.
Side without_unused_outlet(Side s) {
  if (s.outlet == OutletSpec::Temperature) s.duty = 0.0;
  else s.outlet_temperature = 0.0;
  return s;
}

}  // namespace

bool Case::same_content(const Case& other) const {
  if (title != other.title || points != other.points) return false;
  for (int i = 0; i < 2; ++i) {
    if (!(without_unused_outlet(sides[i]) == without_unused_outlet(other.sides[i]))) return false;
  }
  return true;
}

SourceRef Case::locate(const std::string& field) const {
  std::string key = field;
  while (!key.empty()) {
    if (auto it = lines.find(key); it != lines.end()) return {origin, it->second};
    const auto dot = key.rfind('.');
    if (dot == std::string::npos) break;
    key.resize(dot);
  }
  return {origin, 0};
}

std::string side_key(int side) { return "side" + std::to_string(side); }
std::string side_field(int side, std::string_view field) { return side_key(side) + "." + std::string(field); }
std::string flow_field(int side, std::string_view component) {
  return side_key(side) + ".flows." + std::string(component);
}

std::vector<std::string> all_components(const Case& c) {
  std::vector<std::string> names;
  for (const Side& s : c.sides) {
    for (const ComponentFlow& f : s.flows) {
      if (std::find(names.begin(), names.end(), f.name) == names.end()) names.push_back(f.name);
    }
  }
  return names;
}

void check_case(const Case& c) {
  if (c.points < kMinPoints || c.points > kMaxPoints) {
    throw InputError(c.locate("points"), "points",
                     "the number of points must lie between " + std::to_string(kMinPoints) + " and " +
                         std::to_string(kMaxPoints) + ", not " + std::to_string(c.points));
  }
  for (int i = 0; i < 2; ++i) {
    const Side& s = c.sides[i];
    const auto fail = [&](const std::string& field, const std::string& message) {
      throw InputError(c.locate(field), field, message);
    };
    if (s.flows.empty()) fail(side_field(i, "flows"), "the side has no component flows");
    double total = 0.0;
    for (const ComponentFlow& f : s.flows) {
      const std::string field = flow_field(i, f.name);
      if (!std::isfinite(f.flow)) fail(field, "the flow is not a finite number");
      if (f.flow < 0.0) fail(field, "negative flow " + number_text(f.flow) + " kmol/s");
      total += f.flow;
    }
    if (!(total > 0.0)) fail(side_field(i, "flows"), "the flows add up to zero");
    if (!std::isfinite(s.pressure) || s.pressure <= 0.0) {
      fail(side_field(i, "pressure"), "the pressure must be positive, not " + number_text(s.pressure) + " Pa");
    }
    if (!std::isfinite(s.inlet_temperature) || s.inlet_temperature <= 0.0) {
      fail(side_field(i, "inlet_temperature"),
           "the temperature must be positive, not " + number_text(s.inlet_temperature) + " K");
    }
    if (s.outlet == OutletSpec::Temperature) {
      const std::string field = side_field(i, "outlet_temperature");
      if (!std::isfinite(s.outlet_temperature) || s.outlet_temperature <= 0.0) {
        fail(field, "the temperature must be positive, not " + number_text(s.outlet_temperature) + " K");
      }
      if (s.outlet_temperature == s.inlet_temperature) fail(field, "the outlet temperature equals the inlet temperature");
    } else {
      const std::string field = side_field(i, "duty");
      if (!std::isfinite(s.duty)) fail(field, "the duty is not a finite number");
      if (s.duty == 0.0) fail(field, "a duty of zero gives no curve");
    }
  }
}

}  // namespace hxprops
