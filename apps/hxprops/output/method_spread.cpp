#include "output/method_spread.h"

#include <algorithm>
#include <cmath>

#include "output/columns.h"
#include "output/csv.h"
#include "compute/library_session.h"
#include "base/number_text.h"

namespace hxprops {

namespace {

// The concrete methods a side can be computed under.
constexpr Method kMethods[] = {Method::Ideal, Method::PengRobinson, Method::Nrtl};

// The bounds: a side's duty 2 %, a temperature 1 K, a phase's figure by quantity.
constexpr double kDutyBound = 0.02;
constexpr double kTemperatureBound = 1.0;
struct PropertyBound {
  std::string_view quantity;  // of the phase columns
  std::string_view label;
  double bound;  // fraction of the value
  Quantity asked;
};
constexpr PropertyBound kPropertyBounds[] = {{"heat_capacity", "Cp", 0.05, Quantity::HeatCapacity},
                                             {"density", "density", 0.05, Quantity::Density},
                                             {"viscosity", "viscosity", 0.10, Quantity::Viscosity}};

const PhaseColumn& phase_column(std::string_view quantity) {
  const auto cols = phase_columns();
  return *std::find_if(cols.begin(), cols.end(), [&](const PhaseColumn& c) { return c.quantity == quantity; });
}

// The reason a method does not apply to a side before computing it; empty when it may.
std::string not_applicable(const Session& s, int side, Method m) {
  const std::vector<double>& flows = s.mole_flows(side);
  const auto n = std::count_if(flows.begin(), flows.end(), [](double f) { return f > 0.0; });
  if (n != 1) return {};
  const auto j = static_cast<std::size_t>(std::find_if(flows.begin(), flows.end(), [](double f) { return f > 0.0; }) - flows.begin());
  if (s.components()[j] == "water") return "water alone takes IAPWS-IF97 under every method";
  if (m == Method::Nrtl) return "one component, for which NRTL is the ideal solution";
  return {};
}

// Pairs a reason names at most.
constexpr int kPairsNamed = 3;

// The reason computed NRTL figures do not count: the databank lacks parameters for a pair of the
// side's components (the host then mixes that pair as an ideal solution and says so in a note).
std::string missing_pairs(const SideCurve& alt) {
  const std::string marker = "no parameters for ";
  for (const SideNote& n : alt.notes) {
    const std::size_t at = n.text.find(marker);
    if (n.kind != "method-range" || at == std::string::npos) continue;
    std::string pairs = n.text.substr(at + marker.size());
    pairs.resize(std::min(pairs.size(), pairs.find(':')));
    const auto count = std::count(pairs.begin(), pairs.end(), '/');
    if (count <= kPairsNamed) return "the databank has no NRTL parameters for " + pairs;
    std::size_t cut = 0;
    for (int i = 0; i < kPairsNamed; ++i) cut = pairs.find(", ", cut + 1);
    return "the databank has no NRTL parameters for " + std::to_string(count) + " pairs of its components (" + pairs.substr(0, cut) +
           ", ...)";
  }
  return {};
}

// The events of a boundary's label: "dew point: liquid 1 appears, liquid 2 appears" -> "liquid 1
// appears", "liquid 2 appears" (a row's labels joined by "; " too).
std::vector<std::string> boundary_events(const std::string& label) {
  std::vector<std::string> events;
  std::size_t from = 0;
  while (from <= label.size()) {
    std::size_t to = label.find_first_of(",;", from);
    if (to == std::string::npos) to = label.size();
    std::string e = label.substr(from, to - from);
    e.erase(0, e.find_first_not_of(' '));
    if (const std::size_t colon = e.find(": "); colon != std::string::npos) e.erase(0, colon + 2);
    if (!e.empty()) events.push_back(std::move(e));
    from = to + 1;
  }
  if (events.empty()) events.push_back(label);
  return events;
}

bool has_event(const std::string& label, const std::string& event) {
  const std::vector<std::string> events = boundary_events(label);
  return std::find(events.begin(), events.end(), event) != events.end();
}

// Keeps the larger difference of a row: `candidate` replaces `kept` when it is missing a figure or
// moves further (relative or absolute as the bound is).
void keep_larger(SpreadRow& kept, const SpreadRow& candidate, bool first) {
  const auto size = [](const SpreadRow& r) { return r.difference() ? std::fabs(*r.difference()) : HUGE_VAL; };
  if (first || size(candidate) > size(kept)) kept = candidate;
}

// The rows of one other method's curve: duty, end temperatures the case does not give, boundaries by
// label (the k-th of a label against the k-th), phase figures at the side's rows.
std::vector<SpreadRow> compare(Session& s, const SideCurve& base, const SideCurve& alt, Method m) {
  const Side& sd = s.config().sides[base.side];
  std::vector<SpreadRow> rows;
  const auto add = [&](std::string quantity, std::string label, Dimension d, std::optional<double> v, std::optional<double> o,
                       double bound, bool relative, std::optional<double> at = std::nullopt) {
    rows.push_back({std::move(quantity), std::move(label), d, v, o, m, at, bound, relative});
  };
  add("duty", "duty", Dimension::Power, base.duty, alt.duty, kDutyBound, true);
  // an end the case does not give by its temperature, unless it is a boundary (compared as one)
  const auto boundary_at = [&](double t) {
    return std::any_of(base.boundaries.begin(), base.boundaries.end(), [t](const PhaseBoundary& b) { return b.temperature == t; });
  };
  if (sd.inlet.kind != EndKind::Temperature && !boundary_at(base.inlet_temperature)) {
    add("inlet_temperature", "inlet temperature", Dimension::Temperature, base.inlet_temperature, alt.inlet_temperature,
        kTemperatureBound, false);
  }
  if (sd.outlet.kind != EndKind::Temperature && !boundary_at(base.outlet_temperature)) {
    add("outlet_temperature", "outlet temperature", Dimension::Temperature, base.outlet_temperature, alt.outlet_temperature,
        kTemperatureBound, false);
  }
  // A boundary is matched by its first event (the k-th boundary with it against the k-th): two
  // events one method finds at one temperature may be two boundaries under another.
  const auto kth = [](const std::vector<PhaseBoundary>& bs, std::size_t upto) {
    const std::string e = boundary_events(bs[upto].label).front();
    return std::count_if(bs.begin(), bs.begin() + static_cast<long>(upto), [&](const PhaseBoundary& b) { return has_event(b.label, e); });
  };
  const auto find = [](const std::vector<PhaseBoundary>& bs, const std::string& e, long k) -> std::optional<double> {
    for (const PhaseBoundary& b : bs) {
      if (has_event(b.label, e) && k-- == 0) return b.temperature;
    }
    return std::nullopt;
  };
  for (std::size_t i = 0; i < base.boundaries.size(); ++i) {
    const PhaseBoundary& b = base.boundaries[i];
    add("boundary", b.label, Dimension::Temperature, b.temperature,
        find(alt.boundaries, boundary_events(b.label).front(), kth(base.boundaries, i)), kTemperatureBound, false);
  }
  for (std::size_t i = 0; i < alt.boundaries.size(); ++i) {
    const PhaseBoundary& b = alt.boundaries[i];
    const std::vector<std::string> events = boundary_events(b.label);
    const bool known = std::all_of(events.begin(), events.end(), [&](const std::string& e) {
      return std::any_of(base.boundaries.begin(), base.boundaries.end(), [&](const PhaseBoundary& x) { return has_event(x.label, e); });
    });
    if (!known) add("boundary", b.label, Dimension::Temperature, std::nullopt, b.temperature, kTemperatureBound, false);
  }
  // Each phase's figures at the side's rows, the largest difference of each kept.
  std::vector<SpreadRow> figures;
  std::vector<bool> seen;
  SideStream stream(s, base.side);
  for (const CurvePoint& p : base.points) {
    if (p.failed) continue;  // a row with no figures to compare
    stream.flash_tp(p.temperature, p.pressure);
    for (int k = 0; k < kCurvePhaseCount; ++k) {
      const Phase ph = kCurvePhases[k];
      if (!p.phases[k].present || !stream.present(ph)) continue;
      for (std::size_t q = 0; q < std::size(kPropertyBounds); ++q) {
        const PropertyBound& pb = kPropertyBounds[q];
        const PhaseColumn& col = phase_column(pb.quantity);
        const std::optional<double> v = col.get(p.phases[k]).value;
        const std::optional<double> o = stream.ask(pb.asked, ph, LibraryBasis::Mass).value;
        if (!v || !o) continue;
        const std::size_t slot = static_cast<std::size_t>(k) * std::size(kPropertyBounds) + q;
        if (slot >= figures.size()) {
          figures.resize(slot + 1);
          seen.resize(slot + 1, false);
        }
        const SpreadRow row{std::string(pb.quantity) + ":" + std::string(csv_phase_name(ph)),
                            std::string(pb.label) + " " + std::string(phase_label(ph)), col.dimension, v, o, m, p.temperature,
                            pb.bound, true};
        keep_larger(figures[slot], row, !seen[slot]);
        seen[slot] = true;
      }
    }
  }
  for (std::size_t i = 0; i < figures.size(); ++i) {
    if (seen[i]) rows.push_back(std::move(figures[i]));
  }
  return rows;
}

// Merges one method's rows into the spread: the same figure keeps the larger difference (a boundary
// is the same when its label and its temperature under the side's method are).
void merge(std::vector<SpreadRow>& into, const std::vector<SpreadRow>& rows) {
  for (const SpreadRow& r : rows) {
    const auto same = std::find_if(into.begin(), into.end(), [&](const SpreadRow& x) {
      return x.quantity == r.quantity && x.label == r.label && (r.quantity != "boundary" || x.value == r.value);
    });
    if (same == into.end()) into.push_back(r);
    else keep_larger(*same, r, false);
  }
}

std::string pad(std::string s, std::size_t width, bool left = false) {
  if (s.size() < width) s.insert(left ? s.end() : s.begin(), width - s.size(), ' ');
  return s;
}

}  // namespace

std::optional<double> SpreadRow::difference() const {
  if (!value || !other) return std::nullopt;
  const double d = *other - *value;
  if (!relative) return d;
  return *value != 0.0 ? d / std::fabs(*value) : (d == 0.0 ? 0.0 : HUGE_VAL);
}

bool SpreadRow::beyond() const {
  const std::optional<double> d = difference();
  return !d || std::fabs(*d) > bound;
}

std::string spread_bounds_text() {
  std::string s = "duty " + number_text(100.0 * kDutyBound) + " %, a boundary or end temperature " + number_text(kTemperatureBound) + " K";
  for (const PropertyBound& pb : kPropertyBounds) s += ", " + std::string(pb.label) + " " + number_text(100.0 * pb.bound) + " %";
  return s;
}

std::vector<MethodSpread> method_spreads(Session& s, const std::vector<SideCurve>& curves, const CurveOptions& o) {
  std::vector<MethodSpread> out;
  CurveOptions plain = o;
  plain.compositions = false;
  for (const SideCurve& base : curves) {
    MethodSpread spread{base.side, base.name, base.method.method, {}, {}, {}};
    const Side& sd = s.config().sides[base.side];
    std::optional<double> balance;
    if (sd.outlet.kind == EndKind::Balance) balance = -curves[static_cast<std::size_t>(1 - base.side)].duty;
    for (const Method m : kMethods) {
      if (m == base.method.method) continue;
      if (std::string why = not_applicable(s, base.side, m); !why.empty()) {
        spread.skipped.push_back({m, std::move(why)});
        continue;
      }
      s.use_method(base.side, {m, std::string(name_of(m)), {}});
      try {
        const SideCurve alt = compute_side_curve(s, base.side, plain, balance);
        if (std::string why = m == Method::Nrtl ? missing_pairs(alt) : std::string(); !why.empty()) {
          spread.skipped.push_back({m, std::move(why)});
        } else {
          merge(spread.rows, compare(s, base, alt, m));
          spread.compared.push_back(m);
        }
      } catch (const std::exception& e) {
        spread.skipped.push_back({m, std::string("the side cannot be computed: ") + e.what()});
      }
      s.take_notes();  // the other method's notes belong to no curve printed
    }
    s.use_method(base.side, base.method);
    out.push_back(std::move(spread));
  }
  return out;
}

SpreadCells spread_cells(const SpreadRow& r, UnitSystem u) {
  const Unit& unit = output_unit(r.dimension, u);
  const auto figure = [&](const std::optional<double>& v) { return v ? number_text(to_unit(*v, unit), 6) : std::string("-"); };
  SpreadCells c{figure(r.value), figure(r.other), "absent", "", r.at ? quantity_text(*r.at, Dimension::Temperature, u) : ""};
  if (const std::optional<double> d = r.difference()) {
    const double shown = r.relative ? 100.0 * *d : *d;  // a temperature difference is the same in K and degC
    c.difference = (shown >= 0.0 ? "+" : "") + number_text(shown, 3) + (r.relative ? " %" : " K");
  }
  c.bound = r.relative ? number_text(100.0 * r.bound) + " %" : number_text(r.bound) + " K";
  return c;
}

void print_method_spreads(std::ostream& out, const std::vector<MethodSpread>& spreads, UnitSystem u) {
  out << "\nmethod spread: each side again under every other method that applies, the largest difference\n"
         "from the side's own figures (Cp, density, viscosity at the side's rows); ! beyond its bound (" << spread_bounds_text()
      << ")\n";
  for (const MethodSpread& sp : spreads) {
    out << "\nside " << sp.side << (sp.name.empty() ? "" : ": " + sp.name) << " (" << name_of(sp.method) << ")";
    if (sp.compared.empty()) out << ": no other method applies\n";
    else {
      out << " against";
      for (std::size_t i = 0; i < sp.compared.size(); ++i) out << (i ? ", " : " ") << name_of(sp.compared[i]);
      out << "\n";
    }
    for (const SkippedMethod& k : sp.skipped) out << "  not applied: " << name_of(k.method) << ": " << k.reason << "\n";
    if (sp.rows.empty()) continue;
    std::size_t width = 6;
    const auto label = [u](const SpreadRow& r) { return r.label + " [" + std::string(output_unit(r.dimension, u).name) + "]"; };
    for (const SpreadRow& r : sp.rows) width = std::max(width, label(r).size() + 2);
    out << "    " << pad("figure", width, true) << pad(std::string(name_of(sp.method)), 14) << pad("other", 14) << pad("difference", 12)
        << "  " << pad("under", 14, true) << pad("bound", 6) << pad("at", 13) << "\n";
    for (const SpreadRow& r : sp.rows) {
      const SpreadCells c = spread_cells(r, u);
      out << "  " << (r.beyond() ? "! " : "  ") << pad(label(r), width, true) << pad(c.value, 14) << pad(c.other, 14) << pad(c.difference, 12)
          << "  " << pad(std::string(name_of(r.method)), 14, true) << pad(c.bound, 6) << pad(c.at, 13) << "\n";
    }
  }
}

std::string method_spread_csv(const std::vector<MethodSpread>& spreads, UnitSystem u) {
  const std::string tu(output_unit(Dimension::Temperature, u).name);
  std::string out = "side,method,figure,quantity,unit,value,other_method,other_value,difference,bound,beyond,at [" + tu + "]\n";
  for (const MethodSpread& sp : spreads) {
    const std::string head = std::to_string(sp.side) + "," + std::string(name_of(sp.method)) + ",";
    for (const SkippedMethod& k : sp.skipped) {
      out += head + csv_cell("not applied: " + k.reason) + ",,,,," + std::string(name_of(k.method)) + ",,,,,\n";
    }
    for (const SpreadRow& r : sp.rows) {
      const SpreadCells c = spread_cells(r, u);
      const auto number = [](const std::string& s) { return s == "-" ? std::string() : s; };
      const std::string at = r.at ? number_text(to_unit(*r.at, output_unit(Dimension::Temperature, u)), 8) : "";
      out += head + csv_cell(r.label) + "," + r.quantity + "," + csv_cell(std::string(output_unit(r.dimension, u).name)) + "," +
             number(c.value) + "," + std::string(name_of(r.method)) + "," + number(c.other) + "," +
             (c.difference == "absent" ? "" : c.difference) + "," + c.bound + "," + (r.beyond() ? "yes" : "") + "," + at + "\n";
    }
  }
  return out;
}

}  // namespace hxprops
