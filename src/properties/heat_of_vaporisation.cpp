// KVT_HXPTHV: heat of vaporisation of the liquid, built component by component: for each flash
// component present in the vapour, the pure component's vapour minus liquid enthalpy at the stream
// temperature and at its own vapour pressure, weighted by the liquid's mole fraction.
#include <cmath>

#include "kvt/kvt.h"
#include "phase/option_copies.h"
#include "properties/mixing.h"
#include "stream/slots.h"
#include "trace/trace.h"

namespace kvt::props {

namespace {

constexpr double kPresent = 1e-10;
constexpr double kMaxLogPressure = 80.0;
constexpr double kMinLogPressure = -170.0;

// Working words handed to the host by address.
struct PureCall {
  double t;
  int64_t count = 1;     // one component per call
  int64_t one_a = 1, one_b = 1;
  int64_t codes[6] = {1, 1, 1, 1, 1, 1};  // [0] to the pressure function, [1..5] to the enthalpy calls
  double log_p = 0.0, second = 0.0, p = 0.0;
  double hv = 0.0, hl = 0.0;
  double scratch[10] = {};  // the unused outputs, shared by both enthalpy calls

  // Every address the host is handed, formed once per liquid. A term makes three host calls, two of
  // them with 23 addresses, most on the stack: handing over a held address takes one instruction,
  // where forming it anew (and keeping it for the next call) takes two or three.
  struct Addresses {
    double *t, *p;
    int64_t *count, *one_a, *one_b;
    int64_t *option23, *option21;
    int64_t* codes[6];
    double *log_p, *second, *hv, *hl;
    double* scratch[10];
  } at;

  explicit PureCall(double temperature) : t(temperature) {}
  PureCall(const PureCall&) = delete;
  PureCall& operator=(const PureCall&) = delete;

  const Addresses& hold_addresses() {
    at = {&t,
          &p,
          &count,
          &one_a,
          &one_b,
          option23(),
          option21(),
          {&codes[0], &codes[1], &codes[2], &codes[3], &codes[4], &codes[5]},
          &log_p,
          &second,
          &hv,
          &hl,
          {&scratch[0], &scratch[1], &scratch[2], &scratch[3], &scratch[4], &scratch[5], &scratch[6], &scratch[7],
           &scratch[8], &scratch[9]}};
    return at;
  }
};

void pure_enthalpy(decltype(GOSA_VTHRM) routine, const PureCall::Addresses& a, int64_t* component, int64_t* options,
                   double* h) {
  routine(a.t, a.p, a.count, component, options, a.option23, a.option21, a.codes[1], a.codes[2], a.codes[3],
          a.codes[4], a.codes[5], a.scratch[0], h, a.scratch[1], a.scratch[2], a.scratch[3], a.scratch[4],
          a.scratch[5], a.scratch[6], a.scratch[7], a.scratch[8], a.scratch[9]);
}

// S(L) for one liquid: the sum over flash components present in the vapour. The count, the
// component-number list and the two compositions are placed once, before the host calls, and held
// across them; each composition value is read where the term needs it.
double liquid_sum(PureCall& c, const Entry& liquid, int64_t* options) {
  const int64_t n = host::flash_count();
  const host::Pos list = host::complist_pos();
  const PureCall::Addresses& a = c.hold_addresses();
  return host::walk_runs(
      n,
      [&](auto y, auto x) {
        double s = 0.0;
        for (int64_t i = 0; i < n; ++i) {
          if (!(y.real(i) > kPresent)) continue;
          int64_t* component = host::plex_int_ptr(host::add(list, i));
          LORI_PL001(a.t, a.one_a, component, a.one_b, a.codes[0], a.option23, a.log_p, a.second);
          double q = c.log_p;
          if (q > kMaxLogPressure) q = kMaxLogPressure;
          if (q < kMinLogPressure) q = kMinLogPressure;
          c.p = std::exp(q);
          pure_enthalpy(GOSA_VTHRM, a, component, options, a.hv);
          pure_enthalpy(GOSA_LTHRM, a, component, options, a.hl);
          s += (c.hv - c.hl) * x.real(i);
        }
        return s;
      },
      host::comp_pos(phase::kVapour.comp.word), host::comp_pos(liquid.comp.word));
}

// The request's answer into *thv. Out of line, so that the host's addresses are formed once the
// fractions are known, rather than before that call and kept across it.
[[gnu::noinline]] void evaluate(const phase::Request& r, const int64_t* iside, double* thv, int64_t* ierr) {
  PureCall call(slot(r.strm, Slot::Temperature));
  phase::OptionCopies options(clamp_side(*iside));
  combine(r, Mixing::LiquidMean, thv, ierr,
          [&](const Entry& e, double* dest) { *dest = liquid_sum(call, e, options.of(e)); });
}

}  // namespace

}  // namespace kvt::props

extern "C" KVT_EXPORT void KVT_HXPTHV(double* strm, const int64_t* nstrm, const int64_t* iside, const int64_t* iphs,
                                      const int64_t* ibas, double* thv, int64_t* ierr) {
  using namespace kvt;
  const phase::Request r = phase::begin_request(strm, nstrm, iphs, ibas, ierr);
  props::evaluate(r, iside, thv, ierr);
  trace::write(trace::kHxpthv, [&] {
    return trace::Values{.strm = strm, .nstrm = *nstrm, .phase = r.code, .result = *thv};
  });
}
