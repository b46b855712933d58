#include "flash/flash_kind.h"

#include <array>
#include <sstream>

#include "flash/flash_system.h"

namespace kvt::reference {

namespace {

using enum Quantity;

constexpr std::array<SpecKind, 5> kSpecKinds{{
    {1, "P-H", kPressure, kEnthalpy, kTemperature, 0},
    {2, "T-P", kTemperature, kPressure, kNone, -1},
    {3, "P-vapour fraction", kPressure, kVapourFraction, kTemperature, 0},
    {4, "T-H", kTemperature, kEnthalpy, kPressure, 1},
    {5, "T-vapour fraction", kTemperature, kVapourFraction, kPressure, 1},
}};

}  // namespace

const char* quantity_name(Quantity q) {
  switch (q) {
    case kTemperature: return "temperature";
    case kPressure: return "pressure";
    case kEnthalpy: return "enthalpy";
    case kVapourFraction: return "vapour fraction";
    case kNone: break;
  }
  return "";
}

const char* quantity_unit(Quantity q) {
  switch (q) {
    case kTemperature: return "K";
    case kPressure: return "Pa";
    case kEnthalpy: return "J/kmol";
    case kVapourFraction:
    case kNone: break;
  }
  return "";
}

const SpecKind* spec_kind(std::int64_t kspec) {
  for (const SpecKind& k : kSpecKinds) {
    if (k.kspec == kspec) return &k;
  }
  return nullptr;
}

std::string search_failure(const FlashSystem& sys, std::span<const double> z, const FlashRequest& req,
                           const Miss& miss) {
  const SpecKind& kind = *spec_kind(req.kspec);
  const bool on_t = kind.searched == kTemperature, vf = kind.second == kVapourFraction;
  std::ostringstream o;
  o << "no " << quantity_name(kind.searched) << " between " << (on_t ? req.t_min : req.p_min) << " and "
    << (on_t ? req.t_max : req.p_max) << " " << quantity_unit(kind.searched) << " at " << req.spec1 << " "
    << quantity_unit(kind.first) << " gives " << quantity_name(kind.second) << " " << req.spec2
    << (vf ? "" : " ") << quantity_unit(kind.second) << ": ";
  const State& w = miss.where;
  std::ostringstream at;
  at << " (at " << w.t << " K, " << w.p << " Pa)";
  if (miss.kind == Miss::kSpurious) {
    o << "the stream is one fluid above its critical point there, passing from liquid-like to vapour-like "
         "density without a phase change"
      << at.str();
  } else if (!vf) {
    o << "the " << (miss.kind == Miss::kLow ? "least" : "greatest") << " enthalpy found is " << miss.measure
      << " J/kmol" << at.str();
  } else if (miss.kind == Miss::kHigh && miss.measure <= 0.0) {
    o << "the stream is all liquid over the whole range, so it has no bubble point there";
  } else if (miss.kind == Miss::kHigh) {
    o << "the vapour fraction reaches only " << miss.measure << at.str();
  } else if (miss.measure >= 1.0) {
    o << "the stream is all vapour over the whole range, so it has no dew point there";
  } else {
    // vapour left at the coldest (or densest) end: name the gases that cannot condense there
    o << "vapour is left" << at.str() << ", vapour fraction " << miss.measure;
    std::string gases;
    int count = 0;
    for (std::size_t i = 0; i < z.size(); ++i) {
      if (z[i] > 0.0 && sys.components[i]->tc < w.t) gases += (count++ > 0 ? ", " : "") + sys.components[i]->name;
    }
    if (count > 0)
      o << ": " << gases << (count > 1 ? ", above their critical temperatures, do" : ", above its critical temperature, does")
        << " not condense whole";
    if (req.spec2 <= 0.0) o << "; the stream has no bubble point in the range";
  }
  return o.str();
}

}  // namespace kvt::reference
