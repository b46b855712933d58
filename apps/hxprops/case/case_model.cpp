#include "case/case_model.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <utility>

#include "base/number_text.h"
#include "case/units.h"

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
constexpr Named<Spacing> kSpacings[] = {{Spacing::Temperature, "temperature"}, {Spacing::Duty, "duty"}, {Spacing::Duty, "enthalpy"}};
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

bool same_letters(std::string_view a, std::string_view b) {
  const auto lower = [](char ch) { return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch; };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

template <typename E> std::optional<E> from_name(std::string_view name) {
  for (const auto& n : table<E>()) {
    if (same_letters(n.name, name)) return n.value;
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

std::optional<TableLevel> level_word(std::string_view word) {
  constexpr std::pair<std::string_view, LevelKind> kWords[] = {{"inlet", LevelKind::Inlet}, {"mid", LevelKind::Mid}, {"outlet", LevelKind::Outlet}};
  for (const auto& [w, kind] : kWords) {
    if (same_letters(w, word)) return TableLevel{kind, 0.0};
  }
  return std::nullopt;
}

std::optional<std::vector<TableLevel>> table_level_list(std::string_view text, std::string& why) {
  std::vector<TableLevel> out;
  while (true) {
    const std::size_t comma = text.find(',');
    const std::string part(text.substr(0, comma));
    const std::size_t first = part.find_first_not_of(" \t"), last = part.find_last_not_of(" \t");
    const std::optional<TableLevel> word = first == std::string::npos ? std::nullopt : level_word(part.substr(first, last - first + 1));
    const std::optional<QuantityText> q = split_quantity(part);
    const std::optional<Unit> u = q ? find_unit(q->unit, Dimension::Pressure) : std::nullopt;
    if (word) {
      out.push_back(*word);
    } else if (u && std::isfinite(q->value)) {
      out.push_back({LevelKind::Pressure, from_unit(q->value, *u)});
    } else {
      why = "\"" + part + "\" is not a pressure with its unit (" + unit_names(Dimension::Pressure) +
            ") nor inlet, mid or outlet, as in \"2.5 bar, 2.7 bar\"";
      return std::nullopt;
    }
    if (comma == std::string_view::npos) return out;
    text.remove_prefix(comma + 1);
  }
}

Spacing Case::spacing_of(int side) const { return sides[side].spacing.value_or(spacing); }

std::string Case::levels_field(int side) const {
  return sides[side].table_pressures ? side_field(side, "table_pressures") : "table_pressures";
}

std::vector<double> Case::table_levels(int side) const {
  const Side& s = sides[side];
  std::vector<double> out;
  for (const TableLevel& l : s.table_pressures.value_or(table_pressures)) {
    double p = l.pressure;
    if (l.kind == LevelKind::Inlet) p = s.inlet_pressure;
    if (l.kind == LevelKind::Outlet) p = s.outlet_pressure;
    if (l.kind == LevelKind::Mid) p = 0.5 * (s.inlet_pressure + s.outlet_pressure);
    if (std::find(out.begin(), out.end(), p) == out.end()) out.push_back(p);  // a side's own pressure named twice: one table
  }
  return out;
}

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
  if (const auto it = set_by.find(field); it != set_by.end()) throw InputError({}, it->second, message);
  throw InputError(locate(field), field, message);
}

std::string side_key(int side) { return "side" + std::to_string(side); }
std::string side_field(int side, std::string_view field) { return side_key(side) + "." + std::string(field); }
std::string_view flows_table(const Side& s) {
  if (!s.total) return "flows";
  return s.total->fractions == Basis::Mole ? "mole_fractions" : "mass_fractions";
}

double assay_share(const Side& s) {
  double all = 0.0;
  for (const ComponentFlow& f : s.flows) all += f.amount;
  return s.assay && all > 0.0 ? s.assay->flow / all : 0.0;
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

// A side's table levels: positive and finite, no pressure given twice (two levels whose file names
// would be one, in either unit system: "3 bar, 300 kPa").
void check_levels(const Case& c, int i) {
  const std::string field = c.levels_field(i);
  std::vector<double> given;
  for (const TableLevel& l : c.sides[i].table_pressures.value_or(c.table_pressures)) {
    if (l.kind != LevelKind::Pressure) continue;
    const double p = l.pressure;
    if (!(std::isfinite(p) && p > 0.0)) c.reject(field, "a pressure must be positive and finite, not " + number_text(p) + " Pa");
    for (const double q : given) {
      if (level_name(p, UnitSystem::SI) != level_name(q, UnitSystem::SI) &&
          level_name(p, UnitSystem::Engineering) != level_name(q, UnitSystem::Engineering)) continue;
      c.reject(field, "the level " + quantity_text(p, Dimension::Pressure, UnitSystem::Engineering, -1) + " is given twice (" +
                          number_text(q, 10) + " Pa and " + number_text(p, 10) + " Pa): give each pressure once");
    }
    given.push_back(p);
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
  for (int i = 0; i < c.side_count; ++i) check_levels(c, i);
  for (int i = 0; i < c.side_count; ++i) {
    const Side& s = c.sides[i];
    if (s.assay && !(s.assay->flow > 0.0)) c.reject(side_field(i, "assay.flow"), "the assay's flow must be positive");
    if (s.assay && s.method == Method::Nrtl) {
      c.reject(side_field(i, "method"), "an assay's pseudo-components have no NRTL parameters: use peng-robinson or ideal");
    }
    if (s.flows.empty() && !s.assay) c.reject(side_field(i, flows_table(s)), "the side has no component flows");
    double total = s.assay ? s.assay->flow : 0.0;
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
    for (const double t : s.temperatures) {
      if (!(std::isfinite(t) && t > 0.0)) c.reject(side_field(i, "temperatures"), "a temperature must be positive and finite, not " + number_text(t) + " K");
    }
    if (s.rows_per_zone < 0 || s.rows_per_zone > kMaxRowsPerZone) {
      c.reject(side_field(i, "rows_per_zone"), "rows per two-phase zone lie between 0 and " + std::to_string(kMaxRowsPerZone) + ", not " +
                                                   std::to_string(s.rows_per_zone));
    }
    if (s.inlet == s.outlet) c.reject(side_field(i, end_key(true, s.outlet.kind)), "the outlet equals the inlet");
  }
}

}  // namespace hxprops
