#include "flash.h"

#include <cmath>
#include <nlohmann/json.hpp>
#include <numeric>
#include <string_view>
#include <utility>
#include <vector>

#include "case/case_file.h"
#include "output/columns.h"
#include "compute/library_session.h"
#include "compute/notes.h"

namespace kvt_python {

namespace {

using namespace hxprops;
using Json = nlohmann::ordered_json;

// The flash's arguments by the fields of the case they fill ("" for the stream as a whole).
constexpr std::pair<std::string_view, std::string_view> kArguments[] = {
    {"side0.flows", "components"},
    {"side0.mole_fractions", "components"},
    {"side0.total_flow", "fractions"},
    {"side0.inlet_temperature", "temperature"},
    {"side0.pressure", "pressure"},
    {"side0.inlet_pressure", "pressure"},
    {"side0.outlet_pressure", "pressure"},
    {"side0.method", "method"},
    {"side0.phases", "phases"},
    {"side0", ""},
};

std::string argument_of(const std::string& field) {
  for (const auto& [key, argument] : kArguments) {
    if (field == key) return std::string(argument);
    if (field.starts_with(std::string(key) + ".")) return std::string(argument) + field.substr(key.size());
  }
  return field;
}

// Every question the library answers about a phase: the name in the document, what, on which basis.
struct Question {
  std::string_view name;
  Quantity quantity;
  LibraryBasis basis;
};
constexpr Question kQuestions[] = {
    {"mole_fraction", Quantity::Fraction, LibraryBasis::Mole},
    {"mass_fraction", Quantity::Fraction, LibraryBasis::Mass},
    {"molecular_weight", Quantity::MolecularWeight, LibraryBasis::Mole},
    {"mole_flow", Quantity::Flow, LibraryBasis::Mole},
    {"mass_flow", Quantity::Flow, LibraryBasis::Mass},
    {"heat_flow", Quantity::HeatFlow, LibraryBasis::Mole},
    {"molar_heat_capacity", Quantity::HeatCapacity, LibraryBasis::Mole},
    {"heat_capacity", Quantity::HeatCapacity, LibraryBasis::Mass},
    {"thermal_conductivity", Quantity::Conductivity, LibraryBasis::Mass},
    {"viscosity", Quantity::Viscosity, LibraryBasis::Mass},
    {"surface_tension", Quantity::SurfaceTension, LibraryBasis::Mass},
    {"molar_density", Quantity::Density, LibraryBasis::Mole},
    {"density", Quantity::Density, LibraryBasis::Mass},
    {"molar_heat_of_vaporisation", Quantity::HeatOfVaporisation, LibraryBasis::Mole},
    {"heat_of_vaporisation", Quantity::HeatOfVaporisation, LibraryBasis::Mass},
    {"critical_temperature", Quantity::CriticalTemperature, LibraryBasis::Mole},
    {"critical_pressure", Quantity::CriticalPressure, LibraryBasis::Mole},
};

Json num(std::optional<double> v) { return v && std::isfinite(*v) ? Json(*v) : Json(nullptr); }

// Every answer about one phase, the specific enthalpies its heat flow gives, the answers the host
// flagged, and its mole fractions by component.
Json phase_json(SideStream& stream, Phase p, const std::vector<double>& x, const std::vector<std::string>& components) {
  Json o = Json::object();
  Json flagged = Json::array();
  for (const Question& q : kQuestions) {
    const SideStream::Answer a = stream.ask(q.quantity, p, q.basis);
    o[std::string(q.name)] = num(a.value);
    if (a.ierr > 0) flagged.push_back(q.name);
  }
  const auto per = [&o](const char* flow) -> std::optional<double> {
    const Json& q = o["heat_flow"];
    const Json& f = o[flow];
    if (q.is_null() || f.is_null() || f.get<double>() <= 0.0) return std::nullopt;
    return q.get<double>() / f.get<double>();
  };
  o["molar_enthalpy"] = num(per("mole_flow"));
  o["enthalpy"] = num(per("mass_flow"));
  o["flagged"] = std::move(flagged);
  Json fractions = Json::object();
  for (std::size_t j = 0; j < components.size() && j < x.size(); ++j) fractions[components[j]] = num(x[j]);
  o["mole_fractions"] = std::move(fractions);
  return o;
}

Json notes_json(const std::vector<SideNote>& notes) {
  Json list = Json::array();
  const auto text_or_null = [](const std::string& s) { return s.empty() ? Json(nullptr) : Json(s); };
  for (const SideNote& n : notes) {
    list.push_back({{"kind", n.kind},
                    {"routine", text_or_null(n.routine)},
                    {"phase", text_or_null(n.phase)},
                    {"component", text_or_null(n.component)},
                    {"count", n.count},
                    {"text", n.text}});
  }
  return list;
}

std::string flash_case(const Case& c) {
  Session session(c);
  const double t = c.sides[0].inlet.value, p = c.sides[0].inlet_pressure;
  SideStream stream(session, 0);
  stream.flash_tp(t, p);
  const std::vector<std::string>& names = session.components();
  const std::vector<double>& flows = session.mole_flows(0);
  const double total = std::accumulate(flows.begin(), flows.end(), 0.0);
  std::vector<double> z;
  for (const double f : flows) z.push_back(f / total);

  Json root = Json::object();
  root["temperature"] = stream.temperature();
  root["pressure"] = stream.pressure();
  root["method"] = name_of(session.config().sides[0].method);
  root["phase_set"] = name_of(c.sides[0].options.phases);
  root["components"] = names;
  root["vapour_fraction"] = num(stream.value(Quantity::Fraction, Phase::Vapour, LibraryBasis::Mole).value_or(0.0));
  Json phases = Json::object();
  phases["stream"] = phase_json(stream, Phase::Stream, z, names);
  for (const Phase ph : {Phase::Vapour, Phase::Liquid, Phase::Liquid1, Phase::Liquid2}) {
    if (stream.present(ph)) phases[std::string(csv_phase_name(ph))] = phase_json(stream, ph, stream.composition(ph), names);
  }
  root["phases"] = std::move(phases);
  NoteBook notes;
  notes.file(session.take_notes(), t, p);
  root["notes"] = notes_json(notes.notes());
  return root.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace

std::string flash_json(const std::string& case_text) {
  try {
    return flash_case(parse_case(case_text, ""));
  } catch (const InputError& e) {
    throw InputError({}, argument_of(e.field()), e.message());
  }
}

}  // namespace kvt_python
