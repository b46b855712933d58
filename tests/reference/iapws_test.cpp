// A stream of water alone through the library takes every property from the host's water
// formulation, under either method: each single-phase row of the reference table (python3-iapws) flashed at its T and P
// and asked on a mass basis, the saturation rows through a T-vapour-fraction flash. Tolerances are
// those of the formulation against the table (see water_formulation_test.cpp); the library only
// converts units on the way.
#include <gtest/gtest.h>

#include <cmath>

#include "iapws_table.h"
#include "library_fixture.h"

namespace kvt::reference::test {
namespace {

void expect_near(Answer a, double ref, double tol, const WaterRow& r, const char* what) {
  EXPECT_EQ(a.ierr, 0) << what;
  EXPECT_NEAR(a.value, ref, tol * std::abs(ref)) << what << " of " << r.kind << " at " << r.t << " K, " << r.p << " Pa";
}

TEST(WaterStream, EverySinglePhaseStateFromTheWaterFormulation) {
  int checked = 0;
  for (Method method : {Method::ideal, Method::peng_robinson}) {  // water alone leaves the equation of state aside
    set_up({"water"}, false, method);
    for (const WaterRow& r : water_table()) {
      if (r.kind != "liquid" && r.kind != "vapour") continue;
      LibStream s = flashed({1.0}, r.t, r.p);
      const int64_t ph = r.kind == "vapour" ? KVT_PHASE_VAPOUR : KVT_PHASE_LIQUID1;
      ASSERT_EQ(s.ask(KVT_HXPFRC, ph).value, 1.0) << r.kind << " at " << r.t << " K, " << r.p << " Pa";
      expect_near(s.ask(KVT_HXPCPP, ph, KVT_BASIS_MASS), r.cp, 1e-6, r, "cp");
      expect_near(s.ask(KVT_HXPDNS, ph, KVT_BASIS_MASS), 1.0 / r.v, 1e-6, r, "density");
      expect_near(s.ask(KVT_HXPVIS, ph), r.mu, 1e-4, r, "viscosity");
      expect_near(s.ask(KVT_HXPTHC, ph), r.k, 1e-4, r, "conductivity");
      ++checked;
    }
  }
  EXPECT_GT(checked, 700);
}

TEST(WaterStream, SaturationPressureAndSurfaceTension) {
  set_up({"water"}, false);
  for (const WaterRow& r : water_table()) {
    if (r.kind != "saturated_liquid" && r.kind != "saturation") continue;
    LibStream s = flashed({1.0}, r.t, r.p, KVT_SPEC_TV, 0.0);  // bubble point at T
    int64_t ierr = 0, n = s.nstrm, side = 0, iphs = KVT_PHASE_STREAM, ibas = KVT_BASIS_MOLE;
    double p = 0.0;
    KVT_HXPPRS(s.v.data(), &n, &side, &iphs, &ibas, &p, &ierr);
    EXPECT_NEAR(p, r.p, 1e-6 * r.p) << "saturation pressure at " << r.t << " K";
    expect_near(s.ask(KVT_HXPSFT, KVT_PHASE_LIQUID1), r.sigma, 1e-6, r, "surface tension");
  }
}

// Enthalpy joins the host's reference (the ideal gas at 298.15 K): steam at 298.15 K and 1 kPa lies
// within its small departure from the ideal gas (about 7 J/mol by its second virial coefficient),
// and steam at 200 kPa is a real gas, its heat capacity well above the ideal gas's.
TEST(WaterStream, EnthalpyJoinsTheIdealGasReferenceAndSteamIsARealGas) {
  set_up({"water"}, false);
  LibStream low = flashed({1.0}, 298.15, 1000.0);
  EXPECT_NEAR(low.v[1 + 3], 0.0, 2.0e4) << "J/kmol";
  LibStream steam = flashed({1.0}, 400.0, 2.0e5);
  const double ideal_gas_cp = 1900.0;  // J/(kg K) at 400 K
  EXPECT_GT(steam.ask(KVT_HXPCPP, KVT_PHASE_VAPOUR, KVT_BASIS_MASS).value, 1.05 * ideal_gas_cp);
}

}  // namespace
}  // namespace kvt::reference::test
