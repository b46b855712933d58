#include "library_session.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>

#include "kvt/kvt.h"
#include "kvt_reference/reference_host.h"
#include "number_text.h"

namespace hxprops {

namespace reference = kvt::reference;

namespace {

using Routine = void (*)(double*, const std::int64_t*, const std::int64_t*, const std::int64_t*, const std::int64_t*,
                         double*, std::int64_t*);

Routine routine_for(Quantity q) {
  switch (q) {
    case Quantity::Fraction: return KVT_HXPFRC;
    case Quantity::MolecularWeight: return KVT_HXPMWT;
    case Quantity::Flow: return KVT_HXPMFL;
    case Quantity::HeatFlow: return KVT_HXPQFL;
    case Quantity::HeatCapacity: return KVT_HXPCPP;
    case Quantity::Conductivity: return KVT_HXPTHC;
    case Quantity::Viscosity: return KVT_HXPVIS;
    case Quantity::SurfaceTension: return KVT_HXPSFT;
    case Quantity::Density: return KVT_HXPDNS;
    case Quantity::HeatOfVaporisation: return KVT_HXPTHV;
    case Quantity::CriticalTemperature: return KVT_HXPTMC;
    case Quantity::CriticalPressure: return KVT_HXPPRC;
  }
  return KVT_HXPFRC;
}

// Phase count, phase kind code (10 * water + kind) and water switch of the host's flash.
struct FlashCodes {
  std::int64_t count;
  std::int64_t kind;
  std::int64_t water;
};

FlashCodes flash_codes(PhaseSet p) {
  switch (p) {
    case PhaseSet::VapourLiquid: return {2, reference::kVapourLiquid, 0};
    case PhaseSet::VapourLiquidFreeWater: return {3, reference::kFreeWater + reference::kVapourLiquid, 1};
    case PhaseSet::LiquidOnly: return {1, reference::kLiquidOnly, 0};
    case PhaseSet::VapourOnly: return {1, reference::kVapourOnly, 0};
  }
  return {2, reference::kVapourLiquid, 0};
}

// Every block the library reads, from the case's option sets and the host's work-array layout.
void fill_blocks(const Case& c) {
  std::fill(std::begin(KVT_IHXPP), std::end(KVT_IHXPP), 0);
  std::fill(std::begin(KVT_RHXPP), std::end(KVT_RHXPP), 0.0);
  std::fill(std::begin(KVT_HXPDBG), std::end(KVT_HXPDBG), 0);
  std::fill(std::begin(KVT_HXSBD), std::end(KVT_HXSBD), 0);
  for (int i = 0; i < 2; ++i) {
    const FlashOptions& o = c.sides[i].options;
    std::int64_t* set = KVT_IHXPP + 10 * i;  // words 1-10 (side 0) or 11-20 (side 1)
    std::copy(o.option_list.begin(), o.option_list.end(), set);
    const FlashCodes codes = flash_codes(o.phases);
    set[6] = codes.count;
    set[7] = codes.kind;
    set[8] = o.flash_option;
    set[9] = codes.water;
    KVT_RHXPP[3 * i] = o.flash_real_option;
  }
  const reference::RetentionPositions records = reference::allocate_retention_records(10);
  KVT_IHXPP[23] = records.integer_records;
  KVT_IHXPP[24] = records.real_records;
  KVT_IHXPP[25] = reference::kNsubs;
  KVT_IHXPP[26] = 0;  // no retention: every flash starts afresh
  const std::array<std::int64_t, 16> packed = reference::allocate_packed_lists();
  std::copy(packed.begin(), packed.end(), KVT_HXPKV);
  KVT_HXRMSS[0] = kMissing;
  KVT_HXRMIN[0] = kMinMolarVolume;
  KVT_HXOUTP[0] = kTraceUnit;
}

}  // namespace

TemperatureRange side_temperature_range(const Case& c, int side) {
  TemperatureRange r{0.0, 1.0e300};
  for (const ComponentFlow& f : c.sides[side].flows) {
    if (!(f.flow > 0.0)) continue;
    const reference::Range one = reference::temperature_range(f.name);
    r.min = std::max(r.min, one.min);
    r.max = std::min(r.max, one.max);
  }
  return r;
}

Session::Session(const Case& c) : case_(c) {
  try {
    reference::load_databank();
  } catch (const reference::Error& e) {
    throw RunError(std::string("cannot load the host's databank: ") + e.what());
  }
  const std::vector<std::string> known = reference::databank_components();
  for (int i = 0; i < 2; ++i) {
    for (const ComponentFlow& f : c.sides[i].flows) {
      if (std::find(known.begin(), known.end(), f.name) != known.end()) continue;
      std::string list;
      for (const std::string& k : known) list += (list.empty() ? "" : ", ") + k;
      const std::string field = flow_field(i, f.name);
      throw InputError(c.locate(field), field, "unknown component \"" + f.name + "\" (the databank has: " + list + ")");
    }
  }
  const std::vector<std::string> names = all_components(c);
  reference::select_components(std::span<const std::string>(names));

  const reference::Range pr = reference::pressure_range();
  for (int i = 0; i < 2; ++i) {
    const Side& s = c.sides[i];
    if (!(s.pressure >= pr.min && s.pressure <= pr.max)) {
      const std::string field = side_field(i, "pressure");
      throw InputError(c.locate(field), field,
                       "pressure " + number_text(s.pressure) + " Pa is outside the host's range " + number_text(pr.min) + " to " +
                           number_text(pr.max) + " Pa");
    }
    const TemperatureRange tr = side_temperature_range(c, i);
    const auto check_t = [&](const char* key, double t) {
      if (t >= tr.min && t <= tr.max) return;
      const std::string field = side_field(i, key);
      throw InputError(c.locate(field), field,
                       "temperature " + number_text(t) + " K is outside the databank's range " + number_text(tr.min) + " to " +
                           number_text(tr.max) + " K for the components of " + side_key(i));
    };
    check_t("inlet_temperature", s.inlet_temperature);
    if (s.outlet == OutletSpec::Temperature) check_t("outlet_temperature", s.outlet_temperature);
  }
  fill_blocks(c);
  reference::take_warnings();  // start with a clean slate
}

Session::~Session() { end_trace(); }

void Session::trace_to(const std::filesystem::path& file) {
  try {
    reference::connect_unit(kTraceUnit, file);
  } catch (const reference::Error& e) {
    throw RunError(std::string("cannot open the trace file: ") + e.what());
  }
  std::fill(std::begin(KVT_HXPDBG), std::end(KVT_HXPDBG), 1);
  tracing_ = true;
}

void Session::end_trace() {
  if (!tracing_) return;
  std::fill(std::begin(KVT_HXPDBG), std::end(KVT_HXPDBG), 0);
  reference::disconnect_unit(kTraceUnit);
  tracing_ = false;
}

std::vector<std::string> Session::host_notes() {
  std::vector<std::string> notes;
  for (std::string& n : reference::take_warnings()) {
    if (std::find(notes.begin(), notes.end(), n) == notes.end()) notes.push_back(std::move(n));
  }
  return notes;
}

SideStream::SideStream(const Case& c, int side) : side_(side), pressure_(c.sides[side].pressure) {
  const Side& s = c.sides[side];
  std::vector<double> flows;
  for (const std::string& name : reference::selected_components()) {
    double f = 0.0;
    for (const ComponentFlow& cf : s.flows) {
      if (cf.name == name) f = cf.flow;
    }
    flows.push_back(f);
  }
  try {
    strm_ = reference::make_stream(flows, s.inlet_temperature, s.pressure,
                               s.options.phases == PhaseSet::VapourLiquidFreeWater);
  } catch (const reference::Error& e) {
    const std::string field = side_key(side);
    throw InputError(c.locate(field), field, e.what());
  }
  nstrm_ = static_cast<std::int64_t>(strm_.size());
  flash_tp(s.inlet_temperature);
}

std::string SideStream::where() const { return side_key(side_); }

void SideStream::flash(std::int64_t kspec) {
  const std::int64_t side = side_, slot = 0, kphs = 0, kpeq = 0;
  std::int64_t ierr = 0;
  KVT_HXFLSH(strm_.data(), &nstrm_, &side, &slot, &kspec, &kphs, &kpeq, &ierr);
  if (ierr == 1) {
    std::string why;
    for (const std::string& n : reference::take_warnings()) why += "\n  host: " + n;
    throw RunError(where() + ": the host's flash failed" + why);
  }
}

void SideStream::flash_tp(double t) {
  KVT_HXUTMP(strm_.data(), nullptr, nullptr, &t);
  KVT_HXUPRS(strm_.data(), nullptr, nullptr, &pressure_);
  try {
    flash(reference::kTP);
  } catch (const RunError& e) {
    throw RunError(std::string(e.what()) + "\n  at " + number_text(t) + " K, " + number_text(pressure_) + " Pa");
  }
}

void SideStream::flash_ph(double molar_enthalpy) {
  KVT_HXUPRS(strm_.data(), nullptr, nullptr, &pressure_);
  KVT_HXUNTH(strm_.data(), nullptr, nullptr, &molar_enthalpy);
  flash(reference::kPH);
}

double SideStream::temperature() {
  const std::int64_t side = side_, phase = 1, basis = 0;
  std::int64_t ierr = 0;
  double t = 0.0;
  KVT_HXPTMP(strm_.data(), &nstrm_, &side, &phase, &basis, &t, &ierr);
  return t;
}

SideStream::Answer SideStream::ask(Quantity q, Phase p, Basis b) {
  const std::int64_t side = side_, phase = static_cast<std::int64_t>(p), basis = static_cast<std::int64_t>(b);
  Answer a;
  double v = 0.0;
  routine_for(q)(strm_.data(), &nstrm_, &side, &phase, &basis, &v, &a.ierr);
  if (a.ierr != -1 && std::isfinite(v) && v < kMissing) a.value = v;
  return a;
}

std::optional<double> SideStream::value(Quantity q, Phase p, Basis b) {
  const Answer a = ask(q, p, b);
  if (a.ierr != 0) return std::nullopt;
  return a.value;
}

bool SideStream::present(Phase p) {
  const std::optional<double> f = value(Quantity::Fraction, p, Basis::Mole);
  return f && *f > 0.0;
}

}  // namespace hxprops
