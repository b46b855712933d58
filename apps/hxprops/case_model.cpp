#include "case_model.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <utility>

#include "number_text.h"

namespace hxprops {

namespace {

template <typename E> struct Named {
  E value;
  std::string_view name;
};

constexpr Named<PhaseSet> kPhaseSets[] = {
    {PhaseSet::VapourLiquid, "vapour-liquid"},
    {PhaseSet::VapourLiquidFreeWater, "vapour-liquid-free-water"},
    {PhaseSet::LiquidOnly, "liquid"},
    {PhaseSet::VapourOnly, "vapour"},
};
constexpr Named<Method> kMethods[] = {{Method::Auto, "auto"}, {Method::Ideal, "ideal"}, {Method::PengRobinson, "peng-robinson"}, {Method::Nrtl, "nrtl"}};
constexpr Named<Spacing> kSpacings[] = {{Spacing::Temperature, "temperature"}, {Spacing::Duty, "duty"}};
constexpr Named<Arrangement> kArrangements[] = {{Arrangement::CounterCurrent, "counter-current"},
                                                {Arrangement::CoCurrent, "co-current"}};

template <typename E> constexpr std::span<const Named<E>> table();
template <> constexpr std::span<const Named<PhaseSet>> table() { return kPhaseSets; }
template <> constexpr std::span<const Named<Method>> table() { return kMethods; }
template <> constexpr std::span<const Named<Spacing>> table() { return kSpacings; }
template <> constexpr std::span<const Named<Arrangement>> table() { return kArrangements; }

template <typename E> std::string_view lookup(E v) {
  for (const auto& n : table<E>()) {
    if (n.value == v) return n.name;
  }
  return "?";
}

}  // namespace

std::string_view name_of(PhaseSet v) { return lookup(v); }
std::string_view name_of(Method v) { return lookup(v); }
std::string_view name_of(Spacing v) { return lookup(v); }
std::string_view name_of(Arrangement v) { return lookup(v); }

template <typename E> std::optional<E> from_name(std::string_view name) {
  for (const auto& n : table<E>()) {
    if (n.name == name) return n.value;
  }
  return std::nullopt;
}

template <typename E> std::string names_of() {
  std::string all;
  for (const auto& n : table<E>()) all += (all.empty() ? "" : ", ") + std::string(n.name);
  return all;
}

template std::optional<PhaseSet> from_name<PhaseSet>(std::string_view);
template std::optional<Method> from_name<Method>(std::string_view);
template std::optional<Spacing> from_name<Spacing>(std::string_view);
template std::optional<Arrangement> from_name<Arrangement>(std::string_view);
template std::string names_of<PhaseSet>();
template std::string names_of<Method>();
template std::string names_of<Spacing>();
template std::string names_of<Arrangement>();

bool Case::same_content(const Case& other) const {
  return title == other.title && points == other.points && spacing == other.spacing &&
         arrangement == other.arrangement && balance_tolerance == other.balance_tolerance &&
         table_pressures == other.table_pressures && side_count == other.side_count && sides == other.sides;
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

void Case::reject(const std::string& field, const std::string& message) const {
  throw InputError(locate(field), field, message);
}

std::string side_key(int side) { return "side" + std::to_string(side); }
std::string side_field(int side, std::string_view field) { return side_key(side) + "." + std::string(field); }
std::string_view flows_table(const Side& s) {
  if (!s.total) return "flows";
  return s.total->fractions == Basis::Mole ? "mole_fractions" : "mass_fractions";
}

std::string flow_field(const Case& c, int side, std::string_view component) {
  return side_field(side, flows_table(c.sides[side])) + "." + std::string(component);
}

std::string end_key(bool outlet, EndKind kind) {
  switch (kind) {
    case EndKind::Temperature: return outlet ? "outlet_temperature" : "inlet_temperature";
    case EndKind::VapourFraction: return outlet ? "outlet_vapour_fraction" : "inlet_vapour_fraction";
    case EndKind::Duty:
    case EndKind::Balance: break;
  }
  return "duty";
}

std::vector<std::string> all_components(const Case& c) {
  std::vector<std::string> names;
  for (int i = 0; i < c.side_count; ++i) {
    for (const ComponentFlow& f : c.sides[i].flows) {
      if (std::find(names.begin(), names.end(), f.name) == names.end()) names.push_back(f.name);
    }
  }
  return names;
}

namespace {

void check_end(const Case& c, int i, bool outlet) {
  const EndState& e = outlet ? c.sides[i].outlet : c.sides[i].inlet;
  const std::string field = side_field(i, end_key(outlet, e.kind));
  if (e.kind == EndKind::Balance) return;
  if (!std::isfinite(e.value)) c.reject(field, "the value is not finite");
  switch (e.kind) {
    case EndKind::Temperature:
      if (e.value <= 0.0) c.reject(field, "the temperature must be positive, not " + number_text(e.value) + " K");
      break;
    case EndKind::VapourFraction:
      if (e.value < 0.0 || e.value > 1.0) c.reject(field, "a vapour fraction lies between 0 and 1, not " + number_text(e.value));
      break;
    case EndKind::Duty:
      if (e.value == 0.0) c.reject(field, "a duty of zero gives no curve");
      break;
    case EndKind::Balance: break;
  }
}

}  // namespace

void check_case(const Case& c) {
  if (c.points < kMinPoints || c.points > kMaxPoints) {
    c.reject("points", "the number of points must lie between " + std::to_string(kMinPoints) + " and " +
                           std::to_string(kMaxPoints) + ", not " + std::to_string(c.points));
  }
  if (c.side_count == 2 && c.sides[0].outlet.kind == EndKind::Balance && c.sides[1].outlet.kind == EndKind::Balance) {
    c.reject(side_field(1, "duty"), "only one side can take duty = \"balance\"");
  }
  if (c.side_count == 1 && c.sides[0].outlet.kind == EndKind::Balance) {
    c.reject(side_field(0, "duty"), "duty = \"balance\" needs a second side ([side1]) to balance");
  }
  if (!(c.balance_tolerance >= 0.0 && c.balance_tolerance < 1.0)) {
    c.reject("balance_tolerance", "a fraction of the larger duty from 0 to below 1, not " + number_text(c.balance_tolerance));
  }
  for (const double p : c.table_pressures) {
    if (!(std::isfinite(p) && p > 0.0)) c.reject("table_pressures", "a pressure must be positive and finite, not " + number_text(p) + " Pa");
  }
  for (int i = 0; i < c.side_count; ++i) {
    const Side& s = c.sides[i];
    if (s.flows.empty()) c.reject(side_field(i, flows_table(s)), "the side has no component flows");
    double total = 0.0;
    for (const ComponentFlow& f : s.flows) {
      const std::string field = flow_field(c, i, f.name);
      if (!std::isfinite(f.amount)) c.reject(field, "the value is not finite");
      if (f.amount < 0.0) c.reject(field, "negative flow " + number_text(f.amount));
      total += f.amount;
    }
    if (!(total > 0.0)) c.reject(side_field(i, flows_table(s)), "the flows add up to zero");
    if (s.total) {
      if (!std::isfinite(s.total->amount) || s.total->amount <= 0.0) {
        c.reject(side_field(i, "total_flow"), "the total flow must be positive and finite, not " + number_text(s.total->amount));
      }
      if (std::fabs(total - 1.0) > 1.0e-3) {
        c.reject(side_field(i, flows_table(s)), "the fractions add up to " + number_text(total) + ", not 1");
      }
    }
    for (const char* key : {"inlet_pressure", "outlet_pressure"}) {
      const double p = key[0] == 'i' ? s.inlet_pressure : s.outlet_pressure;
      if (!std::isfinite(p)) c.reject(side_field(i, key), "the value is not finite");
      if (p <= 0.0) c.reject(side_field(i, key), "the pressure must be positive, not " + number_text(p) + " Pa");
    }
    check_end(c, i, false);
    check_end(c, i, true);
    if (s.inlet == s.outlet) c.reject(side_field(i, end_key(true, s.outlet.kind)), "the outlet equals the inlet");
  }
}

}  // namespace hxprops
