// The program-facing interface of kvt_reference/reference_host.h.
#include <algorithm>
#include <iterator>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "host/flash_call.h"
#include "host/host_state.h"
#include "flash/latent_heat.h"
#include "data/lookup.h"
#include "models/method_choice.h"
#include "kvt/host.h"
#include "kvt_reference/reference_host.h"
#include "data/pure.h"

namespace kvt::reference {

namespace {

void ensure_loaded() {
  if (!host().loaded) load_databank();
}

const Component& databank_component(std::string_view name) {
  ensure_loaded();
  const Databank& db = host().databank;
  return *db.find(resolve_entry(db.entries, name).name);
}

ComponentId identity(const Entry& e) { return {e.name, e.cas, e.formula, e.synonyms}; }

// One note per Peng-Robinson set naming the pairs the interaction table has no k_ij for.
void note_missing_kij(const std::vector<const Component*>& comps) {
  std::string pairs;
  for (std::size_t i = 0; i < comps.size(); ++i)
    for (std::size_t j = i + 1; j < comps.size(); ++j)
      if (!comps[i]->characterised && !comps[j]->characterised && !host().databank.has_kij(comps[i]->name, comps[j]->name)) pairs += (pairs.empty() ? "" : ", ") + comps[i]->name + "/" + comps[j]->name;
  if (pairs.empty()) return;
  Note n;
  n.kind = NoteKind::method_range;
  n.routine = "select_components";
  n.t = n.p = std::nan("");
  n.text = "select_components: Peng-Robinson k_ij = 0 (no published value in the databank) for " + pairs;
  host().note(std::move(n));
}

// A note of the set's selection about one of its components (one per component, so that notes
// gathered by kind, routine and component keep each).
void note_component(const Component& c, const std::string& text) {
  Note n;
  n.kind = NoteKind::method_range;
  n.routine = "select_components";
  n.component = c.name;
  n.t = n.p = std::nan("");
  n.text = "select_components: " + text;
  host().note(std::move(n));
}

// A note per component of a Peng-Robinson set whose saturation temperature under the equation lies
// more than kSaturationMissNoted from its vapour-pressure correlation somewhere over Tr 0.45-0.95,
// with the distance.
void note_saturation_misses(const std::vector<const Component*>& comps) {
  for (const Component* c : comps) {
    if (c->saturation_miss <= kSaturationMissNoted) continue;
    char size[32];
    std::snprintf(size, sizeof size, " %.3g K", c->saturation_miss);
    note_component(*c, "the Peng-Robinson saturation temperature lies up to this far from the vapour-pressure correlation over "
                       "Tr 0.45-0.95 for " + c->name + size);
  }
}

// A note per component of a Peng-Robinson set whose latent heat under the equation (h at vapour
// fraction 1 less h at 0 across the pure component's boiling) misses the heat-of-vaporisation
// correlation beyond its bound at 101 325 Pa or 0.8 Pc, with the miss and the pressure. (Under the
// methods whose vapour is the ideal gas the miss grows with pressure: each flash notes it at its own.)
void note_latent_heat_misses(const std::vector<const Component*>& comps) {
  for (const Component* c : comps) {
    const LatentHeatMiss miss = latent_heat_miss(host().databank, *c);
    if (miss.deviation != 0.0) note_component(*c, latent_heat_miss_text(*c, miss));
  }
}

void check_selected() {
  if (host().ncomp() <= 0) throw Error("no component set is selected");
}

}  // namespace

#ifndef _WIN32  // (on Windows the databank lies beside the host's DLL: databank_path_windows.cpp)
std::filesystem::path default_databank_path() {
  const std::filesystem::path build(KVT_REFERENCE_DATABANK_BUILD);
  if (std::filesystem::exists(build)) return build;
  return KVT_REFERENCE_DATABANK_INSTALLED;
}
#endif

void load_databank(const std::filesystem::path& file) {
  Databank db = open_databank(file);
  HostState& h = host();
  h.databank = std::move(db);
  h.loaded = true;
  h.system = FlashSystem{};
  lay_out_store();
}

std::vector<std::string> databank_components() {
  ensure_loaded();
  std::vector<std::string> out;
  for (const auto& e : host().databank.entries) out.push_back(e.name);
  return out;
}

ComponentId resolve_component(std::string_view text) {
  ensure_loaded();
  return identity(resolve_entry(host().databank.entries, text));
}

std::vector<ComponentId> find_components(std::string_view text) {
  ensure_loaded();
  std::vector<ComponentId> out;
  for (const Entry* e : search_entries(host().databank.entries, text)) out.push_back(identity(*e));
  return out;
}

namespace {

// The databank's components of the names, refusing an empty set and a component named twice.
std::vector<const Component*> components_of(std::span<const std::string> names) {
  ensure_loaded();
  if (names.empty()) throw Error("the component set is empty");
  std::vector<const Component*> components;
  for (const auto& name : names) {
    const Component& c = databank_component(name);
    if (std::find(components.begin(), components.end(), &c) != components.end())
      throw Error("component '" + name + "' is named twice");
    components.push_back(&c);
  }
  return components;
}

}  // namespace

MethodChoice choose_method(std::span<const std::string> names, double pressure) {
  return choose_method(host().databank, components_of(names), pressure);
}

std::string_view method_name(Method method) {
  switch (method) {
    case Method::ideal: return "ideal";
    case Method::peng_robinson: return "peng-robinson";
    case Method::nrtl: return "nrtl";
    case Method::automatic: break;
  }
  return "auto";
}

void select_components(std::span<const std::string> names, Method method, double pressure) {
  std::vector<const Component*> components = components_of(names);
  HostState& h = host();
  if (method == Method::automatic) method = choose_method(h.databank, components, pressure).method;
  if (method == Method::peng_robinson) {
    note_missing_kij(components);
    note_saturation_misses(components);
    note_latent_heat_misses(components);
  }
  h.system = flash_system(h.databank, std::move(components), method);
  lay_out_store();
}

void select_components(std::initializer_list<std::string> names, Method method, double pressure) {
  const std::vector<std::string> v(names);
  select_components(std::span<const std::string>(v), method, pressure);
}

Method selected_method() { return host().system.method; }

std::vector<std::string> selected_components() {
  std::vector<std::string> out;
  for (const Component* c : host().system.components) out.push_back(c->name);
  return out;
}

std::int64_t ncomp() { return host().ncomp(); }

std::int64_t component_number(std::string_view name) {
  const Component& c = databank_component(name);
  const auto& comps = host().system.components;
  auto it = std::find(comps.begin(), comps.end(), &c);
  if (it == comps.end()) throw Error("component '" + std::string(name) + "' is not in the selected set");
  return static_cast<std::int64_t>(it - comps.begin()) + 1;
}

double molecular_weight(std::int64_t component) {
  check_selected();
  if (component < 1 || component > ncomp())
    throw Error("component number " + std::to_string(component) + " is not in the selected set");
  return host().system.components[component - 1]->mw;
}

Range temperature_range(std::string_view component) {
  const TRange r = flash_range(databank_component(component));
  return {r.min, r.max};
}

Range temperature_range() {
  check_selected();
  const TRange r = set_range(host().system.components);
  return {r.min, r.max};
}

Range pressure_range() { return {kPressureMin, kPressureMax}; }

double missing_value() { return kHostMissing; }

std::int64_t stream_length() { return ncomp() + kStreamExtraSlots; }

std::vector<double> make_stream(std::span<const double> flows, double t, double p, bool free_water) {
  check_selected();
  const HostState& h = host();
  const std::int64_t n = ncomp();
  if (static_cast<std::int64_t>(flows.size()) != n)
    throw Error("a stream needs " + std::to_string(n) + " component flows, got " + std::to_string(flows.size()));
  const Feed feed = feed_of(flows.data());
  if (!feed.problem.empty()) throw Error(feed.problem);
  const FlashRequest req = flash_request(feed, kTP, t, p, std::nan(""), free_water, PhaseModel::kEquilibrium);
  if (!(t >= req.t_min && t <= req.t_max)) {
    std::ostringstream s;
    s << "temperature " << t << " K is outside the databank range " << req.t_min << " to " << req.t_max
      << " K of the stream's components";
    throw Error(s.str());
  }
  if (!(p >= req.p_min && p <= req.p_max)) {
    std::ostringstream s;
    s << "pressure " << p << " Pa is outside the accepted range " << req.p_min << " to " << req.p_max << " Pa";
    throw Error(s.str());
  }
  const FlashResult res = flash(h.system, feed.z, req);
  if (!res.converged) throw Error("cannot flash the stream: " + res.message);
  for (const Note& limit : res.limits) host().note("make_stream", limit);
  std::vector<double> strm(static_cast<std::size_t>(n + kStreamExtraSlots), 0.0);
  std::copy(flows.begin(), flows.end(), strm.begin());
  strm[slot_index(n, KVT_SLOT_TOTAL_FLOW)] = feed.flow;
  strm[slot_index(n, KVT_SLOT_TEMPERATURE)] = res.t;
  strm[slot_index(n, KVT_SLOT_PRESSURE)] = res.p;
  strm[slot_index(n, KVT_SLOT_ENTHALPY)] = res.enthalpy;
  strm[slot_index(n, KVT_SLOT_VAPOUR_FRACTION)] = res.vapour_fraction;
  strm[slot_index(n, kSlotLiquidSplit)] = res.liquid_split;
  strm[slot_index(n, KVT_SLOT_MOLWT)] = res.molecular_weight;
  strm[slot_index(n, kSlotMassFlow)] = feed.flow * res.molecular_weight;
  return strm;
}

std::int64_t plex_size() { return kPlexWords; }

std::int64_t plex_allocate(std::int64_t words) {
  HostState& h = host();
  if (words <= 0) throw Error("a work-array reservation needs a positive number of words");
  if (h.layout.free <= 0) lay_out_store();
  if (h.layout.free + words - 1 > kPlexWords)
    throw Error("the work array (" + std::to_string(kPlexWords) + " words) is full");
  const std::int64_t pos = h.layout.free;
  h.layout.free += words;
  std::fill(VOKA_PLEX + pos - 1, VOKA_PLEX + pos - 1 + words, 0);
  return pos;
}

std::array<std::int64_t, 16> allocate_packed_lists() {
  check_selected();
  const std::int64_t n = ncomp();
  std::array<std::int64_t, 16> pkv{};
  for (int k = 1; k <= 4; ++k) {
    pkv[k - 1] = plex_allocate(1);
    pkv[k + 4] = plex_allocate(n);
    pkv[k + 9] = plex_allocate(n);
  }
  return pkv;
}

RetentionPositions allocate_retention_records(std::int64_t records) {
  if (records <= 0) throw Error("the number of retention records must be positive");
  RetentionPositions r{};
  r.integer_records = plex_allocate(records * (kIntRecordWords + 1));
  r.real_records = plex_allocate(records * kRealRecordWords);
  return r;
}

std::vector<Note> take_notes() {
  auto& kept = host().notes;
  std::vector<Note> out(std::make_move_iterator(kept.begin()), std::make_move_iterator(kept.end()));
  kept.clear();
  return out;
}

std::vector<std::string> take_warnings() {
  std::vector<std::string> out;
  for (Note& n : take_notes()) out.push_back(std::move(n.text));
  return out;
}

std::string_view note_kind_name(NoteKind kind) {
  switch (kind) {
    case NoteKind::correlation_range: return "correlation-range";
    case NoteKind::method_range: return "method-range";
    case NoteKind::supercritical: return "supercritical";
    case NoteKind::shared_liquid: return "shared-liquid";
    case NoteKind::forced_phase: return "forced-phase";
    case NoteKind::iteration_cap: return "iteration-cap";
    case NoteKind::flash_failed: return "flash-failed";
    case NoteKind::bad_argument: return "bad-argument";
    case NoteKind::other: break;
  }
  return "other";
}

std::string_view note_phase_name(NotePhase phase) {
  switch (phase) {
    case NotePhase::stream: return "stream";
    case NotePhase::vapour: return "vapour";
    case NotePhase::liquid: return "liquid";
    case NotePhase::liquid1: return "liquid1";
    case NotePhase::liquid2: return "liquid2";
    case NotePhase::none: break;
  }
  return "";
}

}  // namespace kvt::reference
