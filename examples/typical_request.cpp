// The typical request of a host, step by step, against the recording stand-in host: fill the blocks,
// set a stream's T and P, flash it on side 1 (T-P), ask for the heat capacity per unit mass of its
// total liquid with the trace on, then print every property of every phase on both bases.
//
// The stand-in host computes nothing: its "flash" result (vapour and two liquids over three
// components) and its property answers are scripted below, so the numbers show what the library
// does with what a host returns.
#include <cstdio>
#include <cstring>
#include <vector>

#include "kvt/kvt.h"
#include "library_binding.h"
#include "recording_host.h"

namespace {

namespace rec = kvt::rec;

constexpr int32_t kTraceUnit = 6;
constexpr int64_t kNcomp = 3;

// A flash result that a host could have left: components 1 (methane), 2 (n-hexane), 3 (water).
void script_host() {
  rec::reset();
  rec::Host& h = rec::host();
  h.recording = false;
  const rec::Layout l = rec::lay_out(kNcomp);
  rec::bind_layout(l);  // step 1: the blocks
  KVT_WORD(KVT_IHXPP, KVT_IHXPP_NSUBS) = 1;
  KVT_WORD(KVT_IHXPP, KVT_IHXPP_WATER + KVT_SIDE_STRIDE_I) = 1;  // side 1: the water rule runs
  KVT_WORD(KVT_HXRMSS, KVT_HXRMSS_MISSING) = 1.0e35;
  KVT_WORD(KVT_HXRMIN, KVT_HXRMIN_VOLUME) = 1.0e-6;
  KVT_WORD(KVT_HXOUTP, KVT_HXOUTP_UNIT) = kTraceUnit;
  rec::set_ncomp(kNcomp);
  rec::set_host_missing(1.0e30);
  const double mw[] = {16.043, 86.178, 18.015};
  for (int j = 0; j < 3; ++j) rec::set_molwt(j + 1, mw[j]);

  h.on_flash = [] {
    rec::set_flash_count(3);
    rec::set_components({1, 2, 3});
    rec::set_composition(rec::Comp::Y, {0.90, 0.06, 0.04});
    rec::set_composition(rec::Comp::X, {0.01, 0.49, 0.50});
    rec::set_composition(rec::Comp::X1, {0.02, 0.98, 0.0});
    rec::set_composition(rec::Comp::X2, {0.0, 0.0, 1.0});
    rec::set_stwkwk_real(19, 330.0);
    rec::set_stwkwk_real(20, 5.0e5);
    rec::set_stwkwk_real(21, 0.40);
    rec::set_stwkwk_real(23, 0.5);
    // Molar enthalpies (J/kmol), a further value, molar volumes (m3/kmol) and molecular weights,
    // each for vapour, liquid, first liquid, second liquid.
    const double table[16] = {-7.6e7, -2.1e8, -1.9e8, -2.8e8, 0, 0, 0, 0,
                              5.40, 0.075, 0.13, 0.018, 20.33, 51.40, 84.78, 18.02};
    for (int w = 0; w < 16; ++w) rec::set_stwork_real(47 + w, table[w]);
  };
  h.idxwat = 3;
  // Property answers in the host's units, the same for every composition.
  h.defaults = {{"TEBU_TOTFLO", 1.0},         {"TEBU_TOTMAS", 38.97},      {"TEBU_TOTENT", -1.564e8},
                {"GOSA_ENTHV", 4.0e4},         {"GOSA_ENTHL", 1.9e5},       {"GOSA_TCONV", 0.03},
                {"GOSA_TCONL", 0.12},          {"GOSA_VISCV", 1.1e-5},      {"GOSA_VISCL", 3.0e-4},
                {"GOSA_SRFTEN", 0.018},        {"LORI_PL001", 12.0},        {"GOSA_VTHRM", -7.0e7},
                {"GOSA_LTHRM", -1.0e8},        {"WEND_CRTCAL", 480.0},      {"WEND_CRTCAL:PC", 4.2e6}};
}

using Routine = void (*)(double*, const int64_t*, const int64_t*, const int64_t*, const int64_t*, double*, int64_t*);

void print_table(double* strm, int64_t nstrm) {
  struct Row {
    const char* name;
    Routine routine;
  };
  const Row rows[] = {{"fraction", KVT_HXPFRC},       {"mol. weight", KVT_HXPMWT},  {"flow", KVT_HXPMFL},
                      {"heat flow", KVT_HXPQFL},      {"heat capacity", KVT_HXPCPP}, {"conductivity", KVT_HXPTHC},
                      {"viscosity", KVT_HXPVIS},      {"surf. tension", KVT_HXPSFT}, {"density", KVT_HXPDNS},
                      {"heat of vap.", KVT_HXPTHV},   {"critical T", KVT_HXPTMC},    {"critical P", KVT_HXPPRC}};
  const char* phases[] = {"stream", "vapour", "liquid", "liquid 1", "liquid 2"};
  const int64_t side = KVT_SIDE_1;
  for (int64_t basis : {KVT_BASIS_MOLE, KVT_BASIS_MASS}) {
    std::printf("\n%s basis%14s", basis == KVT_BASIS_MOLE ? "mole" : "mass", "");
    for (const char* p : phases) std::printf("%13s", p);
    std::printf("\n");
    for (const Row& r : rows) {
      std::printf("  %-24s", r.name);
      for (int64_t iphs = KVT_PHASE_STREAM; iphs <= KVT_PHASE_LIQUID2; ++iphs) {
        double v = 0.0;
        int64_t ierr = 0;
        r.routine(strm, &nstrm, &side, &iphs, &basis, &v, &ierr);
        if (ierr == KVT_ERR_ABSENT) {
          std::printf("%13s", "-");
        } else {
          std::printf("%13.5g", v);
        }
      }
      std::printf("\n");
    }
  }
}

}  // namespace

int main() {
  script_host();
  std::vector<double> strm(kNcomp + 10, 0.0);
  strm[0] = 0.366;  // component flows (kmol/s), total flow, molecular weight of the stream
  strm[1] = 0.318;
  strm[2] = 0.316;
  strm[kNcomp] = 1.0;
  strm[kNcomp + 8] = 38.97;
  const int64_t nstrm = kNcomp + 10;

  const double t = 330.0, p = 5.0e5;  // step 2: temperature and pressure
  KVT_HXUTMP(strm.data(), nullptr, nullptr, &t);
  KVT_HXUPRS(strm.data(), nullptr, nullptr, &p);
  const double vf = 0.40;
  KVT_HXUVFR(strm.data(), nullptr, nullptr, &vf);

  // step 3: T-P flash on side 1, the phases as the option set says, no retention record
  const int64_t side = KVT_SIDE_1, slot = 0, kspec = KVT_SPEC_TP, kphs = KVT_PHASES_OPTION_SET, kpeq = KVT_PEQ_OFF;
  int64_t ierr = 0;
  KVT_HXFLSH(strm.data(), &nstrm, &side, &slot, &kspec, &kphs, &kpeq, &ierr);
  std::printf("flash: IERR = %lld, T = %g K, P = %g Pa\n", static_cast<long long>(ierr), strm[kNcomp + 1],
              strm[kNcomp + 2]);

  KVT_WORD(KVT_HXPDBG, KVT_TRACE_HXPCPP) = 1;  // step 4: heat capacity per unit mass of the total liquid, traced
  const int64_t liquid = KVT_PHASE_LIQUID, mass = KVT_BASIS_MASS;
  double cpp = 0.0;
  KVT_HXPCPP(strm.data(), &nstrm, &side, &liquid, &mass, &cpp, &ierr);
  std::printf("heat capacity of the liquid: %g J/(kg K), IERR = %lld\n", cpp, static_cast<long long>(ierr));
  std::printf("trace (unit %d):\n", kTraceUnit);  // step 5: what the host's unit received
  for (const auto& line : rec::host().trace(kTraceUnit)) std::printf("%s\n", line.c_str());
  KVT_WORD(KVT_HXPDBG, KVT_TRACE_HXPCPP) = 0;

  print_table(strm.data(), nstrm);
  return 0;
}
