#include "json.h"

#include <cmath>

#include "columns.h"
#include "library_session.h"
#include "number_text.h"
#include "quoted.h"

namespace hxprops {

namespace {

std::string str(std::string_view s) { return quoted(s); }

std::string num(double v) { return std::isfinite(v) ? number_text(v, 12) : "null"; }
std::string num(const std::optional<double>& v) { return v ? num(*v) : "null"; }

// Members joined into an object or an array.
class Joined {
 public:
  explicit Joined(char open) : text_(1, open) {}
  Joined& add(const std::string& value) {
    text_ += (text_.size() > 1 ? "," : "") + value;
    return *this;
  }
  Joined& add(std::string_view key, const std::string& value) { return add(str(key) + ":" + value); }
  std::string close(char c) const { return text_ + c; }

 private:
  std::string text_;
};

std::string point_json(const CurvePoint& p, const std::vector<std::string>& components) {
  Joined o('{');
  for (const StreamColumn& col : stream_columns()) o.add(col.quantity, num(col.get(p)));
  o.add("boundary", p.boundary.empty() ? "null" : str(p.boundary));
  Joined phases('{');
  for (int k = 0; k < kCurvePhaseCount; ++k) {
    const PhaseFigures& f = p.phases[k];
    if (!f.present) continue;
    Joined ph('{'), flagged('[');
    for (const PhaseColumn& col : phase_columns()) {
      if (!applies(col, kCurvePhases[k])) continue;
      const Figure v = col.get(f);
      ph.add(col.quantity, num(v.value));
      if (v.flagged) flagged.add(str(col.quantity));
    }
    ph.add("flagged", flagged.close(']'));
    if (!f.composition.empty()) {
      Joined x('{');
      for (std::size_t j = 0; j < components.size() && j < f.composition.size(); ++j) x.add(components[j], num(f.composition[j]));
      ph.add("mole_fractions", x.close('}'));
    }
    phases.add(csv_phase_name(kCurvePhases[k]), ph.close('}'));
  }
  o.add("phases", phases.close('}'));
  return o.close('}');
}

std::string side_json(const SideCurve& c, const std::vector<std::string>& components) {
  Joined o('{');
  o.add("side", std::to_string(c.side)).add("name", str(c.name)).add("method", str(name_of(c.method)));
  o.add("inlet", Joined('{').add("temperature", num(c.inlet_temperature)).add("pressure", num(c.inlet_pressure)).close('}'));
  o.add("outlet", Joined('{').add("temperature", num(c.outlet_temperature)).add("pressure", num(c.outlet_pressure)).close('}'));
  o.add("duty", num(c.duty)).add("spacing", str(name_of(c.spacing)));
  Joined bounds('[');
  for (const PhaseBoundary& b : c.boundaries) {
    bounds.add(Joined('{')
                   .add("temperature", num(b.temperature))
                   .add("pressure", num(b.pressure))
                   .add("duty", num(b.duty))
                   .add("label", str(b.label))
                   .close('}'));
  }
  o.add("boundaries", bounds.close(']'));
  Joined points('[');
  for (const CurvePoint& p : c.points) points.add(point_json(p, components));
  o.add("points", points.close(']'));
  return o.close('}');
}

}  // namespace

std::string json_text(const Case& c, const std::array<SideCurve, 2>& curves, const ExchangerFigures& x,
                      const std::vector<std::string>& components) {
  Joined root('{');
  root.add("title", str(c.title)).add("units", str("SI: K, Pa, W, J/kg, kg/s, J/(kg K), W/(m K), Pa s, N/m, kg/m3, kg/kmol, W/K"));
  Joined names('[');
  for (const std::string& n : components) names.add(str(n));
  root.add("components", names.close(']'));
  Joined cas('{');  // each component's CAS number, by its name
  for (const std::string& n : components) cas.add(n, str(cas_number(n)));
  root.add("cas_numbers", cas.close('}'));
  Joined sides('[');
  for (const SideCurve& s : curves) sides.add(side_json(s, components));
  root.add("sides", sides.close(']'));
  root.add("exchanger", Joined('{')
                            .add("arrangement", str(name_of(x.arrangement)))
                            .add("hot_side", std::to_string(x.hot_side))
                            .add("duty", num(x.duty))
                            .add("min_approach", num(x.min_approach))
                            .add("min_approach_duty_from_hot_inlet", num(x.min_approach_duty))
                            .add("min_approach_hot_temperature", num(x.hot_temperature))
                            .add("min_approach_cold_temperature", num(x.cold_temperature))
                            .add("temperature_cross", x.crossed() ? "true" : "false")
                            .add("lmtd", num(x.lmtd))
                            .add("weighted_mtd", num(x.weighted_mtd))
                            .add("ua_lmtd", num(x.ua_lmtd()))
                            .add("ua_weighted_mtd", num(x.ua_weighted()))
                            .close('}'));
  return root.close('}') + "\n";
}

}  // namespace hxprops
