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
};

void pure_enthalpy(decltype(GOSA_VTHRM) routine, PureCall& c, int64_t* component, int64_t* options, double* h) {
  double* s = c.scratch;
  routine(&c.t, &c.p, &c.count, component, options, option23(), option21(), &c.codes[1], &c.codes[2], &c.codes[3],
          &c.codes[4], &c.codes[5], &s[0], h, &s[1], &s[2], &s[3], &s[4], &s[5], &s[6], &s[7], &s[8], &s[9]);
}

// S(L) for one liquid: the sum over flash components present in the vapour.
double liquid_sum(PureCall& c, const Entry& liquid, int64_t* options) {
  const host::CompWord vapour = phase::kVapour.comp.word, x = liquid.comp.word;  // held across the host calls
  const int64_t n = host::flash_count();
  const host::Pos list = host::complist_pos();
  double s = 0.0;
  for (int64_t i = 1; i <= n; ++i) {
    if (!(host::comp_value(vapour, i) > kPresent)) continue;
    int64_t* component = host::plex_int_ptr(host::add(list, i - 1));
    LORI_PL001(&c.t, &c.one_a, component, &c.one_b, &c.codes[0], option23(), &c.log_p, &c.second);
    double q = c.log_p;
    if (q > kMaxLogPressure) q = kMaxLogPressure;
    if (q < kMinLogPressure) q = kMinLogPressure;
    c.p = std::exp(q);
    pure_enthalpy(GOSA_VTHRM, c, component, options, &c.hv);
    pure_enthalpy(GOSA_LTHRM, c, component, options, &c.hl);
    s += (c.hv - c.hl) * host::comp_value(x, i);
  }
  return s;
}

}  // namespace

}  // namespace kvt::props

extern "C" KVT_EXPORT void KVT_HXPTHV(double* strm, const int64_t* nstrm, const int64_t* iside, const int64_t* iphs,
                                      const int64_t* ibas, double* thv, int64_t* ierr) {
  using namespace kvt;
  using namespace kvt::props;
  const phase::Request r = phase::begin_request(strm, nstrm, iphs, ibas, ierr);
  PureCall call{.t = slot(strm, Slot::Temperature)};
  phase::OptionCopies options(clamp_side(*iside));
  combine(r, Mixing::LiquidMean, thv, ierr,
          [&](const Entry& e, double* dest) { *dest = liquid_sum(call, e, options.of(e)); });
  trace::write(trace::kHxpthv, [&] {
    return trace::Values{.strm = strm, .nstrm = *nstrm, .phase = r.code, .result = *thv};
  });
}
