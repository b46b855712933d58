// The library through its exported routines with the reference host behind it: streams of one, two
// and three phases, under both property methods and on both bases, add up to their totals.
#include <gtest/gtest.h>

#include <cmath>

#include "library_fixture.h"

namespace kvt::reference::test {
namespace {

struct StreamCase {
  const char* label;
  Method method;
  bool free_water;
  std::vector<double> flows;  // nitrogen, n-hexane, water (kmol/s)
  double t, p;
  int phases;  // expected number of phases present
};

class PhaseSums : public ::testing::TestWithParam<StreamCase> {};
TEST_P(PhaseSums, AddUpToTheStreamTotals) {
  const StreamCase& c = GetParam();
  set_up({"nitrogen", "n-hexane", "water"}, c.free_water, c.method);
  LibStream s = flashed(c.flows, c.t, c.p);
  ASSERT_EQ(s.flash_ierr, 0);
  int present = 0;
  for (int64_t iphs : {2, 4, 5}) present += s.ask(KVT_HXPFRC, iphs).value > 0.0;
  EXPECT_EQ(present, c.phases);
  for (int64_t ibas : {0, 1}) {
    double volume = 0.0, flow = 0.0, heat = 0.0;
    for (int64_t iphs : {2, 4, 5}) {
      const double f = s.ask(KVT_HXPFRC, iphs, ibas).value;
      if (f > 0.0) volume += f / s.ask(KVT_HXPDNS, iphs, ibas).value;
      flow += s.ask(KVT_HXPMFL, iphs, ibas).value;
      heat += s.ask(KVT_HXPQFL, iphs, ibas).value;
    }
    const double whole_flow = s.ask(KVT_HXPMFL, 1, ibas).value, whole_heat = s.ask(KVT_HXPQFL, 1, ibas).value;
    EXPECT_NEAR(s.ask(KVT_HXPDNS, 1, ibas).value, 1.0 / volume, 1e-12 / volume) << "basis " << ibas;
    EXPECT_NEAR(flow, whole_flow, 1e-12 * whole_flow) << "basis " << ibas;
    EXPECT_NEAR(heat, whole_heat, 1e-9 * std::abs(whole_heat)) << "basis " << ibas;
  }
}
INSTANTIATE_TEST_SUITE_P(
    Streams, PhaseSums,
    ::testing::Values(StreamCase{"vapour", Method::ideal, false, {1.0, 0.01, 0.01}, 400.0, 1e5, 1},
                      StreamCase{"liquid", Method::ideal, false, {0.0, 1.0, 0.0}, 300.0, 1e5, 1},
                      StreamCase{"vapour_liquid", Method::ideal, false, {0.3, 0.6, 0.1}, 320.0, 2e5, 2},
                      StreamCase{"vapour_two_liquids", Method::ideal, true, {0.3, 0.4, 0.3}, 320.0, 2e5, 3},
                      StreamCase{"peng_robinson", Method::peng_robinson, true, {0.3, 0.4, 0.3}, 320.0, 3e6, 3}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace kvt::reference::test
