// Every flash kind, every method, with and without free water, at vapour fraction 0, 0.3 and 1 and at
// T-P states' enthalpies: a flash fails with its reason exactly where the stream has no such state, or
// T-P flashes 1e-7 either side of its T (or P) bracket what it reports (a jump, a pure component's
// boiling point, holds the lever rule between), within 1e-6 in vapour fraction and 10 J/kmol; at a
// bubble or dew point the incipient phase's composition is that of the phase just across it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>

#include "data/assay.h"
#include "flash/envelope.h"
#include "model.h"
#include "numerics/rachford_rice.h"
#include "numerics/rachford_rice_three.h"

namespace kvt::reference::test {

// Flows (kmol/s) are divided by their total, as a host does. fails: the flashes with no answer, "pr k3v0"
// KSPEC 3 at vapour fraction 0 under Peng-Robinson, "ideal k5v3@300" KSPEC 5 at 0.3 and 300 K.
struct Stream { std::vector<const char*> names; std::vector<double> flows, temperatures; double p; const char* fails; };

const Stream kStreams[] = {
    {{"n-hexane", "n-heptane", "water", "nitrogen"}, {0.012, 0.006, 0.010, 0.002}, {310, 360, 420}, 2.5e5, "ideal k3v0 pr k3v0 nrtl k3v0"},
    {{"propane", "n-butane", "n-pentane"}, {1, 1, 1}, {300, 360, 420}, 2e6, ""},
    {{"propane", "n-butane", "n-pentane"}, {0.5, 0.3, 0.2}, {290, 330, 380}, 1.5e6, ""},
    {{"benzene", "toluene"}, {0.5, 0.5}, {350, 365, 390}, 101325.0, ""},
    {{"methane", "ethane"}, {0.6, 0.4}, {200, 240, 300}, 5e6, "pr k5v0@300 pr k5v3@300 pr k5v10@300"},
    {{"water"}, {1.0}, {350, 373.124, 400}, 101325.0, ""},
    {{"n-hexane"}, {1.0}, {300, 341.88, 400}, 101325.0, ""},
    {{"methanol", "water"}, {0.6, 0.4}, {330, 345, 370}, 2e5, ""},
    {{"methanol", "n-hexane"}, {0.25, 0.75}, {300, 320, 335}, 101325.0, ""},
    {{"propane", "n-butane", "cut 1", "cut 2", "cut 3", "cut 4", "cut 5", "cut 6"}, {0.02, 0.08, 0.15, 0.15, 0.15, 0.15, 0.15, 0.15},
     {320, 400, 470}, 3e5, ""}};

// The databank with the cuts of a light crude's front end ("cut 1" to "cut 6": the Alve crude's curve
// to 175 degC, as the assay tests cut it), which join propane and n-butane, its light ends.
const Databank& bank_with_cuts() {
  static const Databank db = [] {
    Databank d = bank();
    const auto cuts = cut_curve({{7.1, 310.15}, {10.1, 343.15}, {19.7, 373.15}, {46.9, 448.15}}, 0.76, 6, 0.0);
    for (std::size_t i = 0; i < cuts.size(); ++i) d.add(pseudo_component("cut " + std::to_string(i + 1), cuts[i].tb, cuts[i].sg));
    return d;
  }();
  return db;
}

// A system of components of that databank.
FlashSystem system_with_cuts(const std::vector<const char*>& names, Method method) {
  std::vector<const Component*> cs;
  for (const char* n : names) cs.push_back(bank_with_cuts().find(n));
  return flash_system(bank_with_cuts(), cs, method);
}

TEST(FlashSweep, EveryKindConvergesToATpStateOrSaysWhy) {
  for (const Stream& st : kStreams)
    for (Method m : {Method::ideal, Method::peng_robinson, Method::nrtl})
      for (bool fw : {false, true}) {
        const FlashSystem sys = system_with_cuts(st.names, m);
        std::vector<double> z = st.flows;
        for (double& v : z) v /= std::accumulate(st.flows.begin(), st.flows.end(), 0.0);
        auto q = [&](int kspec, double s1, double s2) {
          FlashRequest r = request(kspec, s1, s2, PhaseModel::kEquilibrium, fw);
          for (const Component* c : sys.components) r.t_min = std::max(r.t_min, flash_range(*c).min);
          return r;
        };
        std::vector<std::pair<FlashRequest, std::string>> cases;
        for (double vf : {0.0, 0.3, 1.0}) cases.push_back({q(3, st.p, vf), "k3v" + std::to_string(int(vf * 10))});
        for (double t : st.temperatures) {
          const FlashResult tp = flash(sys, z, q(2, t, st.p));
          cases.insert(cases.end(), {{q(1, st.p, tp.enthalpy), "k1"}, {q(4, t, tp.enthalpy), "k4"}});
          for (double vf : {0.0, 0.3, 1.0})
            cases.push_back({q(5, t, vf), "k5v" + std::to_string(int(vf * 10)) + "@" + std::to_string(int(t))});
        }
        for (const auto& [req, kind] : cases) {
          const FlashResult r = flash(sys, z, req);
          const std::string id = (m == Method::ideal ? "ideal " : m == Method::nrtl ? "nrtl " : "pr ") + kind;
          const std::string what = st.names[0] + (" " + id) + (fw ? " fw" : "") + ": " + r.message;
          const bool listed = std::string(st.fails).find(id) != std::string::npos;
          EXPECT_TRUE(r.converged ? !listed : listed && !r.message.empty()) << what;
          if (!r.converged) { std::printf("[ fails ] %s\n", what.c_str()); continue; }
          const bool vf = req.kspec == 3 || req.kspec == 5, on_t = req.kspec == 3 || req.kspec == 1;
          auto measure = [&](const FlashResult& x) { return vf ? x.vapour_fraction : x.enthalpy; };
          auto near = [&](double f) { return measure(flash(sys, z, q(2, on_t ? r.t * f : r.t, on_t ? r.p : r.p * f))); };
          const double got = measure(r), tol = vf ? 1e-6 : 10.0;
          EXPECT_NEAR(got, req.spec2, tol) << what;
          const auto [lo, hi] = std::minmax({near(1.0 - 1e-7), near(1.0 + 1e-7)});
          EXPECT_TRUE(got >= lo - tol && got <= hi + tol) << what << got << " outside " << lo << " to " << hi;
          // at a boundary, the incipient phase is the one found just across it (vapour above a bubble
          // temperature, below a bubble pressure; liquid the other way round); not checked for water
          // or methanol with hydrocarbons under the equation (k_ij = 0), where more than one liquid
          // could form first
          const bool polar = std::any_of(sys.components.begin(), sys.components.end(),
                                         [](const Component* c) { return c->name == "water" || c->name == "methanol"; });
          const bool water_with_others = polar && sys.components.size() > 1;
          if (!vf || (req.spec2 != 0.0 && req.spec2 != 1.0) || (water_with_others && m == Method::peng_robinson)) continue;
          const bool bubble = req.spec2 == 0.0;
          const double f = (bubble == on_t) ? 1.0 + 1e-7 : 1.0 - 1e-7;
          const FlashResult across = flash(sys, z, q(2, on_t ? r.t * f : r.t, on_t ? r.p : r.p * f));
          if (across.phase_amount[bubble ? kV : kL1] <= 0.0) continue;
          for (std::size_t i = 0; i < z.size(); ++i)
            EXPECT_NEAR(bubble ? r.y[i] : r.x1[i], bubble ? across.y[i] : across.x1[i], 1e-4) << what << " incipient " << i;
        }
      }
}


// T-P flashes over whole grids of feed, temperature and pressure, each a row: at least the row's share
// converge to the solvers' tolerances (constants.h), and a flash that does not says so (its status
// and message), never a result marked converged. Peng-Robinson methane/n-butane over 150-450 K and
// 0.1-10 MPa at five compositions (2 625 states, the mixture's critical region included); NRTL
// methanol/n-hexane, 5-95 % methanol over 290-420 K at 300 kPa and 101.325 kPa, through its two-liquid
// region, its plait point and the vapour beside two liquids (25 % at 350 K and 300 kPa: two liquids
// next to their plait point; 55 % at 350 K and 101.325 kPa: a vapour whose incipient liquid lies on
// the flat stretch next to the plait point), every state; Peng-Robinson of the light crude's front end above over 300-700 K and
// 0.1-10 MPa (525 states); Peng-Robinson of a wet sour gas and of wet hydrogen sulfide (10 % water)
// over 280-420 K at 20-50 bar, with free water and without, every state (where a nearly pure organic
// liquid forms beside the water).
struct Grid {
  std::vector<const char*> names;
  Method method;
  std::vector<std::vector<double>> feeds;  // none: the first of two components from 5 to 95 % by 5 %
  double t0, dt;
  int nt;
  std::vector<double> pressures;  // none: 25 from 0.1 to 10 MPa, evenly in ln P
  int per_failure;  // at most one state in this many may fail; 0: none
  bool free_water = false;  // each state also with free water
};
const Grid kGrids[] = {
    {{"methane", "n-butane"}, Method::peng_robinson, {{0.1, 0.9}, {0.3, 0.7}, {0.5, 0.5}, {0.7, 0.3}, {0.9, 0.1}}, 150.0, 15.0, 21, {}, 1000},
    {{"methanol", "n-hexane"}, Method::nrtl, {}, 290.0, 5.0, 27, {3e5, 101325.0}, 0},
    {kStreams[std::size(kStreams) - 1].names, Method::peng_robinson, {kStreams[std::size(kStreams) - 1].flows}, 300.0, 20.0, 21, {}, 1000},
    {{"methane", "carbon dioxide", "hydrogen sulfide", "propane", "n-butane", "water"}, Method::peng_robinson,
     {{0.70, 0.08, 0.05, 0.05, 0.02, 0.10}}, 280.0, 0.5, 281, {20e5, 30e5, 40e5, 50e5}, 0, true},
    {{"hydrogen sulfide", "water"}, Method::peng_robinson, {{0.9, 0.1}}, 280.0, 0.5, 281, {20e5, 30e5, 40e5, 50e5}, 0, true}};

TEST(FlashSweep, TpFlashesConverge) {
  for (const Grid& g : kGrids) {
    const FlashSystem sys = system_with_cuts(g.names, g.method);
    std::vector<std::vector<double>> feeds = g.feeds;
    std::vector<double> pressures = g.pressures;
    if (feeds.empty())
      for (int i = 1; i < 20; ++i) feeds.push_back({0.05 * i, 1.0 - 0.05 * i});
    if (pressures.empty())
      for (int j = 0; j < 25; ++j) pressures.push_back(1e5 * std::pow(100.0, j / 24.0));
    int states = 0, capped = 0;
    for (const std::vector<double>& z : feeds)
      for (int i = 0; i < g.nt; ++i)
        for (double p : pressures)
          for (int pass = 0; pass < (g.free_water ? 2 : 1); ++pass) {
            const bool fw = pass == 1;
            const double t = g.t0 + g.dt * i;
            const FlashResult r = flash(sys, z, request(2, t, p, PhaseModel::kEquilibrium, fw));
            ++states;
            if (r.converged) continue;
            ++capped;
            EXPECT_TRUE(r.stopped_at_cap && !r.message.empty()) << g.names[0] << " " << z[0] << " " << t << " K " << p << " Pa: " << r.message;
            std::printf("[ cap ] %s %.2f %.2f K %.4g Pa%s: %s\n", g.names[0], z[0], t, p, fw ? " fw" : "", r.message.c_str());
          }
    EXPECT_LE(capped, g.per_failure > 0 ? states / g.per_failure : 0) << g.names[0] << ": " << capped << " of " << states << " stopped at a cap";
    std::printf("[ converged ] %s/%s: %d of %d\n", g.names[0], g.names[1], states - capped, states);
  }
}

// Peng-Robinson T-P flashes swept through the places where successive substitution slows without
// bound: next to a vapour-liquid critical point (methane/propane at 6.1 MPa, within 5 % of its
// cricondenbar; carbon dioxide/n-butane at 5.6 MPa, within 2 %, where the tangent-plane test crawls
// to its cap and the split decides) and a liquid-liquid one (carbon dioxide/n-butane at 2.2 MPa, whose carbon-dioxide-rich
// liquid splits off below about 223 K; at 50 % it stays one liquid, though the tangent-plane test
// finds a trial there). Every state converges, and a split's phases have equal fugacities
// (ln f_i = ln x_i + ln phi_i of each on its own root) to 1e-9.
struct NearCritical { std::vector<const char*> names; double z1, p, t_from, t_to, t_step; bool splits; };
const NearCritical kNearCritical[] = {
    {{"methane", "propane"}, 0.25, 6.09605e6, 345.0, 362.0, 0.25, true},
    {{"methane", "propane"}, 0.50, 7.61116e6, 320.0, 340.0, 0.25, true},
    {{"carbon dioxide", "n-butane"}, 0.25, 5.61007e6, 400.0, 412.0, 0.1, true},
    {{"carbon dioxide", "n-butane"}, 0.75, 2.2079e6, 217.0, 225.0, 0.1, true},
    {{"carbon dioxide", "n-butane"}, 0.50, 2.23113e6, 217.0, 225.0, 0.1, false}};

TEST(FlashSweep, PengRobinsonSplitsConvergeNearCriticalPoints) {
  for (const NearCritical& c : kNearCritical) {
    const FlashSystem sys = system_of(c.names, Method::peng_robinson);
    const std::vector<double> z{c.z1, 1.0 - c.z1};
    int splits = 0;
    for (double t = c.t_from; t <= c.t_to; t += c.t_step) {
      FlashRequest req = request(2, t, c.p);
      req.t_min = 200.0;
      const FlashResult r = flash(sys, z, req);
      ASSERT_TRUE(r.converged) << c.names[0] << " " << c.z1 << " at " << t << " K: " << r.message;
      if (r.phase_amount[kV] <= 0.0 || r.phase_amount[kL1] <= 0.0) continue;
      ++splits;
      const PrPhase v = pr_phase(sys.pr, t, c.p, r.y, Root::kVapour), l = pr_phase(sys.pr, t, c.p, r.x1, Root::kLiquid);
      for (std::size_t i = 0; i < z.size(); ++i)
        EXPECT_NEAR(std::log(r.y[i]) + v.ln_phi[i], std::log(r.x1[i]) + l.ln_phi[i], 1e-9) << c.names[0] << " " << t << " K";
    }
    EXPECT_EQ(splits > 0, c.splits) << c.names[0] << " " << c.z1;
  }
}

// The phase envelopes of three binaries at 25, 50 and 75 % of the lighter component (the feeds of
// scripts/near_critical_grid.py) trace from 0.1 MPa through the critical point back below 0.1 MPa,
// and their cricondenbar is where T-P flashes stop splitting: 0.1 % below it the flash at its
// temperature splits, 0.1 % above it none does within 15 K of it (0.1 K apart).
TEST(FlashSweep, PengRobinsonEnvelopeClosesAtTheCricondenbar) {
  for (const auto& names : std::vector<std::vector<const char*>>{
           {"methane", "propane"}, {"carbon dioxide", "n-butane"}, {"ethane", "n-heptane"}}) {
    const FlashSystem sys = system_of(names, Method::peng_robinson);
    for (double z1 : {0.25, 0.5, 0.75}) {
      const std::vector<double> z{z1, 1.0 - z1};
      const Envelope e = phase_envelope(sys.pr, z, 1e5, 100.0, 1000.0, {"the envelope", 1e-10, 30});
      const std::string what = names[0] + (" " + std::to_string(z1));
      EXPECT_TRUE(e.status == SolveStatus::kConverged && e.critical && e.points.back().p < 1e5) << what;
      // the trace ends at its first point below the starting pressure
      EXPECT_EQ(std::count_if(e.points.begin(), e.points.end(), [](const auto& q) { return q.p < 1e5; }), 1) << what;
      auto splits = [&](double t, double p) {
        FlashRequest req = request(2, t, p);
        req.t_min = 200.0;
        const FlashResult r = flash(sys, z, req);
        return r.converged && r.vapour_fraction > 0.0 && r.vapour_fraction < 1.0;
      };
      EXPECT_TRUE(splits(e.cricondenbar_t, 0.999 * e.cricondenbar_p)) << what;
      for (double t = e.cricondenbar_t - 15.0; t <= e.cricondenbar_t + 15.0; t += 0.1)
        EXPECT_FALSE(splits(t, 1.001 * e.cricondenbar_p)) << what << " at " << t << " K";
    }
  }
  // a trace cut short by its greatest temperature while the pressure still rises: its highest point is its last
  const Envelope cut = phase_envelope(system_of({"methane", "propane"}, Method::peng_robinson).pr, std::vector{0.5, 0.5}, 1e5, 100.0, 250.0,
                                      {"the envelope", 1e-10, 30});
  ASSERT_GT(cut.points.size(), 2u);
  EXPECT_TRUE(!cut.critical && cut.cricondenbar_p == cut.points.back().p) << cut.cricondenbar_p << " " << cut.points.back().p;
}

// The Rachford-Rice solvers give the fractions of a split whose phases are known (each feed made from
// chosen phases and fractions), from any start, and say so when their cap stops them first.
TEST(Solvers, RachfordRiceGivesTheSplitThePhasesWereMadeOf) {
  // two phases: x = (0.6, 0.3, 0.1), y = (0.1, 0.3, 0.6), 40 % vapour
  const std::vector<double> z2{0.4, 0.3, 0.3}, k2{1.0 / 6.0, 1.0, 6.0};
  for (double start : {0.5, 0.99, -1.0, 2.0, std::nan("")}) {
    const VapourSplit v = rachford_rice(z2, k2, 0.0, kRachfordRice, start);
    EXPECT_TRUE(v.status == SolveStatus::kConverged && std::abs(v.beta - 0.4) < 1e-12) << start << ": " << v.beta;
  }
  // three phases: x1 = (0.1, 0.2, 0.7), y = (0.7, 0.2, 0.1), x2 = (0.2, 0.7, 0.1); 30 % vapour, 30 % second liquid
  const std::vector<double> z3{0.31, 0.35, 0.34}, kv{7.0, 1.0, 1.0 / 7.0}, kl{2.0, 3.5, 1.0 / 7.0};
  for (const auto& [bv, bl] : {std::pair{0.0, 0.0}, std::pair{0.5, 0.1}, std::pair{-0.2, 0.8}}) {
    const ThreePhaseFractions f = rachford_rice_three(z3, kv, kl, kRachfordRice, bv, bl);
    EXPECT_TRUE(f.status == SolveStatus::kConverged && std::abs(f.vapour - 0.3) < 1e-9 && std::abs(f.liquid2 - 0.3) < 1e-9)
        << bv << ", " << bl << ": " << f.vapour << ", " << f.liquid2;
  }
  EXPECT_EQ(rachford_rice_three(z3, kv, kl, Stopping{"", 1e-15, 1}).status, SolveStatus::kStoppedAtCap);
  EXPECT_EQ(rachford_rice(z2, k2, 0.0, Stopping{"", 1e-15, 1}).status, SolveStatus::kStoppedAtCap);
}

}  // namespace kvt::reference::test
