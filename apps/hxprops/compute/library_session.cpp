#include "compute/library_session.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <iterator>

#include "kvt/host.h"
#include "kvt/kvt.h"
#include "kvt_reference/reference_host.h"
#include "base/number_text.h"

namespace hxprops {

namespace reference = kvt::reference;
namespace fs = std::filesystem;

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
  std::fill(std::begin(KVT_HXSBD), std::end(KVT_HXSBD), 0);
  for (int i = 0; i < 2; ++i) {
    const FlashOptions& o = c.sides[i].options;
    const int shift = KVT_SIDE_STRIDE_I * i;
    std::copy(o.option_list.begin(), o.option_list.end(), &KVT_WORD(KVT_IHXPP, KVT_IHXPP_OPTION_LIST + shift));
    const FlashCodes codes = flash_codes(o.phases);
    KVT_WORD(KVT_IHXPP, KVT_IHXPP_PHASE_COUNT + shift) = codes.count;
    KVT_WORD(KVT_IHXPP, KVT_IHXPP_PHASE_KIND + shift) = codes.kind;
    KVT_WORD(KVT_IHXPP, KVT_IHXPP_FLASH_OPTION + shift) = o.flash_option;
    KVT_WORD(KVT_IHXPP, KVT_IHXPP_WATER + shift) = codes.water;
    KVT_WORD(KVT_RHXPP, KVT_RHXPP_FLASH_REAL + KVT_SIDE_STRIDE_R * i) = o.flash_real_option;
  }
  const reference::RetentionPositions records = reference::allocate_retention_records(10);
  KVT_WORD(KVT_IHXPP, KVT_IHXPP_INT_RECORDS) = records.integer_records;
  KVT_WORD(KVT_IHXPP, KVT_IHXPP_REAL_RECORDS) = records.real_records;
  KVT_WORD(KVT_IHXPP, KVT_IHXPP_NSUBS) = reference::kNsubs;
  KVT_WORD(KVT_IHXPP, KVT_IHXPP_RETENTION) = KVT_RETENTION_OFF;  // every flash starts afresh
  const std::array<std::int64_t, 16> packed = reference::allocate_packed_lists();
  std::copy(packed.begin(), packed.end(), KVT_HXPKV);
  KVT_WORD(KVT_HXRMSS, KVT_HXRMSS_MISSING) = kMissing;
  KVT_WORD(KVT_HXRMIN, KVT_HXRMIN_VOLUME) = kMinMolarVolume;
  KVT_WORD(KVT_HXOUTP, KVT_HXOUTP_UNIT) = kTraceUnit;
}

reference::Method host_method(Method m) {
  switch (m) {
    case Method::PengRobinson: return reference::Method::peng_robinson;
    case Method::Nrtl: return reference::Method::nrtl;
    case Method::Auto: return reference::Method::automatic;
    case Method::Ideal: break;
  }
  return reference::Method::ideal;
}

Method case_method(reference::Method m) {
  switch (m) {
    case reference::Method::peng_robinson: return Method::PengRobinson;
    case reference::Method::nrtl: return Method::Nrtl;
    case reference::Method::automatic: return Method::Auto;
    case reference::Method::ideal: break;
  }
  return Method::Ideal;
}

std::optional<fs::path> g_loaded;  // the databank file the host holds

}  // namespace

void use_databank(const std::optional<fs::path>& file) {
  const fs::path wanted = file ? *file : reference::default_databank_path();
  if (g_loaded && *g_loaded == wanted) return;
  g_loaded.reset();
  try {
    reference::load_databank(wanted);
  } catch (const reference::Error& e) {
    // A databank the user names is input; the shipped one failing is the installation's fault.
    if (file) throw InputError({}, "--databank", std::string("cannot load the databank: ") + e.what());
    throw RunError(std::string("cannot load the databank: ") + e.what());
  }
  g_loaded = wanted;
}

std::string cas_number(const std::string& component) {
  try {
    return reference::resolve_component(component).cas;
  } catch (const reference::Error&) {
    return {};
  }
}

Session::Session(const Case& c, const std::optional<fs::path>& databank) : case_(c) {
  use_databank(databank);
  // Each component as the databank names it: the case may use a synonym, formula or CAS number.
  for (int i = 0; i < c.side_count; ++i) {
    std::vector<std::string> seen;
    for (ComponentFlow& f : case_.sides[i].flows) {
      const std::string field = flow_field(c, i, f.name);
      try {
        f.name = reference::resolve_component(f.name).name;
      } catch (const reference::Error& e) {
        c.reject(field, e.what());
      }
      if (std::find(seen.begin(), seen.end(), f.name) != seen.end()) c.reject(field, "names " + f.name + " a second time");
      seen.push_back(f.name);
    }
    add_assay(i);
  }
  components_ = all_components(case_);
  reference::take_warnings();  // start with a clean slate
  select(Method::Ideal);        // to number the components; each side's own method follows

  // Each side's component mole flows over the whole set, from flows or fractions of a total.
  for (int i = 0; i < c.side_count; ++i) {
    const Side& s = case_.sides[i];
    std::vector<double>& out = flows_[i];
    out.assign(components_.size(), 0.0);
    double total_mass_per_kmol = 0.0;  // of the fractions' mixture, for a mass total with mole fractions
    double fraction_sum = 0.0;
    for (const ComponentFlow& f : s.flows) {
      const auto j = static_cast<std::size_t>(reference::component_number(f.name) - 1);
      const double mw = reference::molecular_weight(static_cast<std::int64_t>(j) + 1);
      out[j] = f.basis == Basis::Mass ? f.amount / mw : f.amount;  // kmol/s, or moles per unit of the total
      total_mass_per_kmol += f.basis == Basis::Mole ? f.amount * mw : f.amount;
      fraction_sum += f.amount;
    }
    if (s.total) {
      // Per unit of the total: mole fractions give kmol per kmol, mass fractions kmol per kg.
      double scale = s.total->amount / fraction_sum;
      if (s.total->basis == Basis::Mass && s.total->fractions == Basis::Mole) scale = s.total->amount / total_mass_per_kmol;
      if (s.total->basis == Basis::Mole && s.total->fractions == Basis::Mass) {
        double kmol_per_kg = 0.0;
        for (double v : out) kmol_per_kg += v;
        scale = s.total->amount / kmol_per_kg;
      }
      for (double& v : out) v *= scale;
    }
  }
  for (int i = 0; i < c.side_count; ++i) {
    const Side& s = case_.sides[i];
    SideMethod& m = methods_[i];
    m = {s.method, std::string(name_of(s.method)), {}};
    if (s.method != Method::Auto) continue;
    std::vector<std::string> present;
    for (std::size_t j = 0; j < components_.size(); ++j) {
      if (flows_[i][j] > 0.0) present.push_back(components_[j]);
    }
    const reference::MethodChoice pick =
        reference::choose_method(present.empty() ? components_ : present, std::max(s.inlet_pressure, s.outlet_pressure));
    m = {case_method(pick.method), pick.name, pick.reason};
  }
  reference::take_warnings();  // the numbering selection's notes are no side's
  select(methods_[0].method);

  const reference::Range pr = reference::pressure_range();
  for (int i = 0; i < c.side_count; ++i) {
    const Side& s = c.sides[i];
    for (const char* key : {"inlet_pressure", "outlet_pressure"}) {
      const double p = key[0] == 'i' ? s.inlet_pressure : s.outlet_pressure;
      if (p >= pr.min && p <= pr.max) continue;
      c.reject(side_field(i, key), "pressure " + number_text(p) + " Pa is outside the host's range " + number_text(pr.min) +
                                       " to " + number_text(pr.max) + " Pa");
    }
    const TemperatureRange tr = temperature_range(i);
    for (const bool outlet : {false, true}) {
      const EndState& e = outlet ? s.outlet : s.inlet;
      if (e.kind != EndKind::Temperature || (e.value >= tr.min && e.value <= tr.max)) continue;
      c.reject(side_field(i, end_key(outlet, e.kind)),
               "temperature " + number_text(e.value) + " K is outside the databank's range " + number_text(tr.min) + " to " +
                   number_text(tr.max) + " K for the components of " + side_key(i));
    }
    for (const double p : c.table_levels(i)) {
      if (p >= pr.min && p <= pr.max) continue;
      c.reject(c.levels_field(i), "pressure " + number_text(p) + " Pa is outside the host's range " + number_text(pr.min) + " to " +
                                      number_text(pr.max) + " Pa");
    }
  }
}

// A side's assay cut into pseudo-components, which join its flows by mass (or moles) of the assay's flow.
void Session::add_assay(int side) {
  Side& s = case_.sides[side];
  if (!s.assay) return;
  AssayInput& a = *s.assay;
  std::vector<reference::PseudoComponent> cuts;
  try {
    const auto curve = a.curve == "d86"     ? reference::DistillationCurve::kD86
                       : a.curve == "d2887" ? reference::DistillationCurve::kD2887
                                            : reference::DistillationCurve::kTbp;
    cuts = reference::add_assay({a.distillation, a.specific_gravity, a.cuts, a.cut_width, curve});
  } catch (const reference::Error& e) {
    const std::string what = e.what(), key = what.substr(0, what.find(':'));
    const bool named = key == "distillation" || key == "specific_gravity" || key == "cuts";
    case_.reject(side_field(side, "assay") + "." + (named ? key : "distillation"), named ? what.substr(key.size() + 2) : what);
  }
  for (const reference::PseudoComponent& p : cuts) {
    s.flows.push_back({p.name, a.flow * (a.basis == Basis::Mass ? p.mass_share : p.mole_share), a.basis});
    s.assay->made.push_back({p.name, p.volume_share, p.mass_share, p.mole_share, p.tb, p.sg, p.mw, p.tc, p.pc, p.omega});
  }
}

Session::~Session() { end_trace(); }

void Session::select(Method m) {
  reference::select_components(std::span<const std::string>(components_), host_method(m));
  fill_blocks(case_);
  method_ = m;
}

void Session::activate(int side) {
  if (methods_[side].method != method_) select(methods_[side].method);
}

std::string SideMethod::text() const { return reason.empty() ? name : "auto: " + name + "; " + reason; }

TemperatureRange Session::temperature_range(int side) const {
  TemperatureRange r{0.0, 1.0e300};
  for (std::size_t j = 0; j < components_.size(); ++j) {
    if (!(flows_[side][j] > 0.0)) continue;
    const reference::Range one = reference::temperature_range(components_[j]);
    r.min = std::max(r.min, one.min);
    r.max = std::min(r.max, one.max);
  }
  return r;
}

void Session::trace_to(const fs::path& file) {
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

std::vector<HostNote> Session::take_notes() {
  std::vector<HostNote> notes;
  for (reference::Note& n : reference::take_notes()) {
    notes.push_back({std::string(reference::note_kind_name(n.kind)), std::move(n.routine),
                     std::string(reference::note_phase_name(n.phase)), std::move(n.component), n.t, n.p, std::move(n.text)});
  }
  return notes;
}

SideStream::SideStream(Session& s, int side) : side_(side) {
  s.activate(side);
  setup_notes_ = s.take_notes();
  const Side& sd = s.config().sides[side];
  const TemperatureRange r = s.temperature_range(side);
  const double t = sd.inlet.kind == EndKind::Temperature ? sd.inlet.value : std::clamp(298.15, r.min, r.max);
  try {
    strm_ = reference::make_stream(s.mole_flows(side), t, sd.inlet_pressure,
                                   sd.options.phases == PhaseSet::VapourLiquidFreeWater);
  } catch (const reference::Error& e) {
    s.config().reject(side_key(side), e.what());
  }
  s.take_notes();  // the setup's flash is no state of the curve: what it meets is not the curve's
  nstrm_ = static_cast<std::int64_t>(strm_.size());
}

void SideStream::flash(std::int64_t kspec, double spec, const char* what, double p) {
  const std::int64_t side = side_, slot = 0, kphs = KVT_PHASES_OPTION_SET, kpeq = KVT_PEQ_OFF;
  std::int64_t ierr = 0;
  KVT_HXFLSH(strm_.data(), &nstrm_, &side, &slot, &kspec, &kphs, &kpeq, &ierr);
  if (ierr != KVT_ERR_FLASH_FAILED) return;
  std::string why;
  for (const std::string& n : reference::take_warnings()) why += "\n  host: " + n;
  throw RunError(side_key(side_) + ": the host's flash failed at " + what + " " + number_text(spec) + ", " +
                 number_text(p) + " Pa" + why);
}

void SideStream::flash_tp(double t, double p) {
  KVT_HXUTMP(strm_.data(), nullptr, nullptr, &t);
  KVT_HXUPRS(strm_.data(), nullptr, nullptr, &p);
  flash(KVT_SPEC_TP, t, "temperature (K)", p);
}

void SideStream::flash_ph(double molar_enthalpy, double p) {
  KVT_HXUPRS(strm_.data(), nullptr, nullptr, &p);
  KVT_HXUNTH(strm_.data(), nullptr, nullptr, &molar_enthalpy);
  flash(KVT_SPEC_PH, molar_enthalpy, "enthalpy (J/kmol)", p);
}

void SideStream::flash_pv(double vapour_fraction, double p) {
  KVT_HXUPRS(strm_.data(), nullptr, nullptr, &p);
  KVT_HXUVFR(strm_.data(), nullptr, nullptr, &vapour_fraction);
  flash(KVT_SPEC_PV, vapour_fraction, "vapour fraction", p);
}

double SideStream::temperature() { return state_value(KVT_HXPTMP); }
double SideStream::pressure() { return state_value(KVT_HXPPRS); }

double SideStream::state_value(StateRoutine routine) {
  const std::int64_t side = side_, phase = static_cast<std::int64_t>(Phase::Stream), basis = KVT_BASIS_MOLE;
  std::int64_t ierr = 0;
  double v = 0.0;
  routine(strm_.data(), &nstrm_, &side, &phase, &basis, &v, &ierr);
  return v;
}

SideStream::Answer SideStream::ask(Quantity q, Phase p, LibraryBasis b) {
  const std::int64_t side = side_, phase = static_cast<std::int64_t>(p), basis = static_cast<std::int64_t>(b);
  Answer a;
  double v = 0.0;
  routine_for(q)(strm_.data(), &nstrm_, &side, &phase, &basis, &v, &a.ierr);
  if (a.ierr != KVT_ERR_ABSENT && std::isfinite(v) && v < kMissing) a.value = v;
  return a;
}

std::optional<double> SideStream::value(Quantity q, Phase p, LibraryBasis b) {
  const Answer a = ask(q, p, b);
  if (a.ierr != KVT_OK) return std::nullopt;
  return a.value;
}

bool SideStream::present(Phase p) {
  const std::optional<double> f = value(Quantity::Fraction, p, LibraryBasis::Mole);
  return f && *f > 0.0;
}

std::vector<double> SideStream::composition(Phase p) {
  if (p == Phase::Stream || !present(p)) return {};
  const std::int64_t group = p == Phase::Vapour    ? KVT_GROUP_VAPOUR
                             : p == Phase::Liquid1 ? KVT_GROUP_LIQUID1
                             : p == Phase::Liquid2 ? KVT_GROUP_LIQUID2
                                                   : KVT_GROUP_LIQUID;
  const auto word = [](std::int64_t position) { return VOKA_PLEX[position - 1]; };
  const std::int64_t count_at = KVT_WORD(KVT_HXPKV, KVT_HXPKV_COUNT + group - 1);
  const std::int64_t numbers_at = KVT_WORD(KVT_HXPKV, KVT_HXPKV_NUMBERS + group - 1);
  const std::int64_t fractions_at = KVT_WORD(KVT_HXPKV, KVT_HXPKV_FRACTIONS + group - 1);
  const std::int64_t n = nstrm_ - reference::kStreamExtraSlots;
  std::vector<double> x(static_cast<std::size_t>(n), 0.0);
  if (count_at < 1) return x;
  const std::int64_t count = std::min(word(count_at), n);
  for (std::int64_t k = 0; k < count; ++k) {
    const std::int64_t j = word(numbers_at + k);
    if (j >= 1 && j <= n) x[static_cast<std::size_t>(j - 1)] = std::bit_cast<double>(word(fractions_at + k));
  }
  return x;
}

}  // namespace hxprops
