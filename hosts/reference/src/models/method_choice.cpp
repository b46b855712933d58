#include "models/method_choice.h"

#include <cstdio>
#include <string>

#include "numerics/constants.h"

namespace kvt::reference {

namespace {

// "1.01 bar": a pressure as an engineer reads it in a reason.
std::string bar_text(double p) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.3g bar", p / 1e5);
  return buf;
}

// "a/b, c/d and 2 more": the first pairs of a list, and how many are left.
std::string pair_list(const std::vector<std::string>& pairs) {
  constexpr std::size_t kNamed = 3;
  std::string out;
  for (std::size_t i = 0; i < pairs.size() && i < kNamed; ++i) out += (i ? ", " : "") + pairs[i];
  if (pairs.size() > kNamed) out += " and " + std::to_string(pairs.size() - kNamed) + " more";
  return out;
}

}  // namespace

MethodChoice choose_method(const Databank& db, const std::vector<const Component*>& components, double pressure) {
  if (components.size() == 1) {
    const Component& c = *components.front();
    // Water alone takes every property from the water formulation under every method; the ideal
    // method adds nothing to it (no cubic, no pressure note).
    if (c.name == "water") return {Method::ideal, "iapws", "water alone: IAPWS-IF97"};
    return {Method::peng_robinson, "peng-robinson", c.name + " alone"};
  }
  std::vector<std::string> missing;
  std::size_t pairs = 0;
  for (std::size_t i = 0; i < components.size(); ++i) {
    for (std::size_t j = i + 1; j < components.size(); ++j, ++pairs) {
      if (!db.nrtl(components[i]->name, components[j]->name)) missing.push_back(components[i]->name + "/" + components[j]->name);
    }
  }
  if (missing.empty() && pressure <= kIdealPressureLimit)
    return {Method::nrtl, "nrtl", "every pair has NRTL parameters, " + bar_text(pressure)};
  if (missing.empty())
    return {Method::peng_robinson, "peng-robinson",
            bar_text(pressure) + ", above the " + bar_text(kIdealPressureLimit) + " the NRTL method holds to"};
  if (missing.size() == pairs) return {Method::peng_robinson, "peng-robinson", "no pair has NRTL parameters"};
  return {Method::peng_robinson, "peng-robinson", "no NRTL parameters for " + pair_list(missing)};
}

}  // namespace kvt::reference
