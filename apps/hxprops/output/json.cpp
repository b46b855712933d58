#include "output/json.h"

#include <cmath>
#include <nlohmann/json.hpp>

#include "output/columns.h"
#include "compute/library_session.h"

namespace hxprops {

namespace {

// Members keep the order they are added in, the order a reader of the file expects them.
using Json = nlohmann::ordered_json;

// A figure: null where it is undefined (no value, or not finite).
Json num(double v) { return std::isfinite(v) ? Json(v) : Json(nullptr); }
Json num(const std::optional<double>& v) { return v ? num(*v) : Json(nullptr); }

Json end_json(double temperature, double pressure) { return {{"temperature", num(temperature)}, {"pressure", num(pressure)}}; }

Json boundary_json(const PhaseBoundary& b) {
  return {{"temperature", num(b.temperature)}, {"pressure", num(b.pressure)}, {"duty", num(b.duty)}, {"label", b.label}};
}

// One phase at one point: its figures, the names of those the host flagged and, when computed, its
// mole fractions by component.
Json phase_json(const PhaseFigures& f, Phase phase, const std::vector<std::string>& components) {
  Json o = Json::object();
  Json flagged = Json::array();
  for (const PhaseColumn& col : phase_columns()) {
    if (!applies(col, phase)) continue;
    const Figure v = col.get(f);
    o[std::string(col.quantity)] = num(v.value);
    if (v.flagged) flagged.push_back(col.quantity);
  }
  o["flagged"] = std::move(flagged);
  if (!f.composition.empty()) {
    Json x = Json::object();
    for (std::size_t j = 0; j < components.size() && j < f.composition.size(); ++j) x[components[j]] = num(f.composition[j]);
    o["mole_fractions"] = std::move(x);
  }
  return o;
}

Json point_json(const CurvePoint& p, const std::vector<SideNote>& notes, const std::vector<std::string>& components) {
  Json o = Json::object();
  for (const StreamColumn& col : stream_columns()) o[std::string(col.quantity)] = num(col.get(p));
  o["boundary"] = p.boundary.empty() ? Json(nullptr) : Json(p.boundary);
  o["notes"] = Json::array();
  for (const int i : p.notes) o["notes"].push_back(notes[static_cast<std::size_t>(i)].code);
  Json phases = Json::object();
  for (int k = 0; k < kCurvePhaseCount; ++k) {
    if (p.phases[k].present) phases[std::string(csv_phase_name(kCurvePhases[k]))] = phase_json(p.phases[k], kCurvePhases[k], components);
  }
  o["phases"] = std::move(phases);
  return o;
}

// A note of a side: what, where (the range of states it was raised at) and how often.
Json note_json(const SideNote& n, int side) {
  const auto text_or_null = [](const std::string& s) { return s.empty() ? Json(nullptr) : Json(s); };
  return {{"code", n.code},
          {"kind", n.kind},
          {"side", side},
          {"routine", text_or_null(n.routine)},
          {"phase", text_or_null(n.phase)},
          {"component", text_or_null(n.component)},
          {"temperature", {{"min", num(n.t_min)}, {"max", num(n.t_max)}}},
          {"pressure", {{"min", num(n.p_min)}, {"max", num(n.p_max)}}},
          {"count", n.count},
          {"text", n.text}};
}

Json side_json(const SideCurve& c, const std::vector<std::string>& components) {
  Json o = {{"side", c.side},
            {"name", c.name},
            {"method", c.method.name},
            {"method_reason", c.method.reason.empty() ? Json(nullptr) : Json(c.method.reason)},
            {"inlet", end_json(c.inlet_temperature, c.inlet_pressure)},
            {"outlet", end_json(c.outlet_temperature, c.outlet_pressure)},
            {"duty", num(c.duty)},
            {"spacing", name_of(c.spacing)}};
  Json bounds = Json::array();
  for (const PhaseBoundary& b : c.boundaries) bounds.push_back(boundary_json(b));
  o["boundaries"] = std::move(bounds);
  Json notes = Json::array();
  for (const SideNote& n : c.notes) notes.push_back(note_json(n, c.side));
  o["notes"] = std::move(notes);
  Json points = Json::array();
  for (const CurvePoint& p : c.points) points.push_back(point_json(p, c.notes, components));
  o["points"] = std::move(points);
  if (c.table) {
    o["pressure"] = num(c.inlet_pressure);
  } else {
    Json tables = Json::array();
    for (const SideCurve& t : c.pressure_tables) tables.push_back(side_json(t, components));
    o["pressure_tables"] = std::move(tables);
  }
  return o;
}

Json exchanger_json(const ExchangerFigures& x) {
  return {{"arrangement", name_of(x.arrangement)},
          {"hot_side", x.hot_side},
          {"duty", num(x.duty)},
          {"min_approach", num(x.min_approach)},
          {"min_approach_duty_from_hot_inlet", num(x.min_approach_duty)},
          {"min_approach_hot_temperature", num(x.hot_temperature)},
          {"min_approach_cold_temperature", num(x.cold_temperature)},
          {"temperature_cross", x.crossed()},
          {"lmtd", num(x.lmtd)},
          {"weighted_mtd", num(x.weighted_mtd)},
          {"ua_lmtd", num(x.ua_lmtd())},
          {"ua_weighted_mtd", num(x.ua_weighted())}};
}

// A side's method spread: the methods compared and those not applied (with why), and per figure the
// largest difference, relative to the value where its bound is.
Json spread_json(const MethodSpread& sp) {
  Json o = {{"side", sp.side}, {"method", name_of(sp.method)}, {"compared", Json::array()}, {"not_applied", Json::array()}};
  for (const Method m : sp.compared) o["compared"].push_back(name_of(m));
  for (const SkippedMethod& k : sp.skipped) o["not_applied"].push_back({{"method", name_of(k.method)}, {"reason", k.reason}});
  Json rows = Json::array();
  for (const SpreadRow& r : sp.rows) {
    rows.push_back({{"quantity", r.quantity},
                    {"label", r.label},
                    {"value", num(r.value)},
                    {"other", num(r.other)},
                    {"other_method", name_of(r.method)},
                    {"difference", num(r.difference())},
                    {"relative", r.relative},
                    {"bound", num(r.bound)},
                    {"beyond", r.beyond()},
                    {"temperature", num(r.at)}});
  }
  o["figures"] = std::move(rows);
  return o;
}

}  // namespace

std::string json_text(const Case& c, const std::vector<SideCurve>& curves, const std::optional<ExchangerFigures>& x,
                      const std::vector<std::string>& components, const std::vector<MethodSpread>& spreads) {
  Json root = Json::object();
  root["title"] = c.title;
  root["units"] = "SI: K, Pa, W, J/kg, kg/s, J/(kg K), W/(m K), Pa s, N/m, kg/m3, kg/kmol, W/K";
  root["components"] = components;
  Json cas = Json::object();  // each component's CAS number, by its name
  for (const std::string& n : components) cas[n] = cas_number(n);
  root["cas_numbers"] = std::move(cas);
  Json sides = Json::array();
  for (const SideCurve& s : curves) {
    sides.push_back(side_json(s, components));
    if (const std::optional<AssayInput>& a = c.sides[s.side].assay) {
      Json cuts = Json::array();
      for (const AssayInput::Cut& p : a->made) {
        cuts.push_back({{"name", p.name}, {"volume_fraction", num(p.volume)}, {"mass_fraction", num(p.mass)},
                        {"mole_fraction", num(p.mole)}, {"normal_boiling_point", num(p.tb)}, {"specific_gravity", num(p.sg)},
                        {"molecular_weight", num(p.mw)}, {"critical_temperature", num(p.tc)},
                        {"critical_pressure", num(p.pc)}, {"acentric_factor", num(p.omega)}});
      }
      sides.back()["assay"] = {{"curve", a->curve}, {"specific_gravity", num(a->specific_gravity)}, {"flow", num(a->flow)},
                               {"flow_basis", a->basis == Basis::Mass ? "mass" : "mole"}, {"pseudo_components", std::move(cuts)}};
    }
  }
  root["sides"] = std::move(sides);
  // Every side's notes in one list, each naming its side.
  Json notes = Json::array();
  for (const SideCurve& s : curves) {
    for (const SideNote& n : s.notes) notes.push_back(note_json(n, s.side));
  }
  root["notes"] = std::move(notes);
  root["exchanger"] = x ? exchanger_json(*x) : Json(nullptr);
  root["imbalance"] = curves.size() == 2 ? num(imbalance(curves)) : Json(nullptr);
  root["method_spread"] = Json(nullptr);
  for (const MethodSpread& sp : spreads) root["method_spread"].push_back(spread_json(sp));
  // Text that is not UTF-8 (a name from a host, say) is written with U+FFFD in its place rather than
  // making the document unreadable.
  return root.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace hxprops
