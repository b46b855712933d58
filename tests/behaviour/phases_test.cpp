// One phase of a stream: its fraction, molecular weight, flow and heat flow, its physical and
// critical properties. Each table keeps the rows at an edge; the invariants
// (fractions add up, the liquid is the first plus the second liquid) stand in for long sweeps.
#include <bit>
#include <cmath>
#include <deque>
#include <limits>

#include "support/scenario.h"

namespace kvt::test {
namespace {

constexpr double A = kMissing;  // an absent phase: the missing value with IERR -1
// An answer of value v: IERR -1 for the missing value, else 0.
Answer of(double v) { return {v, v == A ? KVT_ERR_ABSENT : KVT_OK}; }

using Phases = Scenario;

// ---- Phase fractions, molecular weight, flow, heat flow ----------------------------------------

TEST_F(Phases, FractionEdges) {
  const struct { double vf, beta; int64_t iphs, ibas; double want; } rows[] = {
      {5e-11, 0.5, 2, 0, 0.0}, {5e-11, 0.5, 3, 0, 1.0}, {5e-11, 0.5, 3, 1, 1.0}, {5e-11, 0.0, 5, 0, 1.0},
      {1 - 5e-11, 0.5, 2, 0, 1.0}, {1 - 5e-11, 0.5, 3, 0, 0.0}, {1 - 5e-11, 0.5, 4, 0, 0.0}, {1 - 5e-11, 0.5, 5, 0, 0.0},
      {1e-10, 0.5, 2, 0, 0.0}, {0.9999999999, 0.5, 2, 0, 1.0}, {2e-10, 0.5, 2, 0, 2e-10}, {0.9999999998, 0.5, 2, 0, 0.9999999998},
      {-0.2, 0.5, 3, 0, 1.0}, {1.7, 0.5, 2, 0, 1.0}, {1.7, 0.5, 3, 0, 0.0}, {0.5, 1e-10, 4, 0, 0.0},
      {0.5, 1 - 5e-11, 5, 0, 0.0}, {0.5, 1 - 5e-11, 4, 0, 0.5}, {0.5, 2e-10, 4, 0, 1e-10}, {0.3, 0.6, 0, 0, 1.0},
      {0.3, 0.6, 6, 1, 1.0}, {0.3, 0.6, -1, 0, 1.0}, {0.3, 0.6, 1, 1, 1.0}, {0.5, 0.6, 2, 2, 0.5}, {0.5, 0.6, 2, -1, 0.5},
      {0.4, 1.0, 4, 0, 0.6}, {0.4, 1.0, 5, 0, 0.0}, {0.4, 0.0, 4, 0, 0.0}, {0.4, 0.0, 5, 0, 0.6}, {0.0, 0.25, 4, 0, 0.25},
      {0.0, 0.25, 5, 0, 0.75}, {1.0, 0.5, 4, 1, 0.0}, {0.0, 0.6, 3, 1, 1.0}, {1.0, 0.6, 2, 1, 1.0}, {0.0, 0.0, 5, 1, 1.0},
      // Mass basis: mole fraction x the phase composition's molecular weight / the stream's, 28.25.
      {0.25, 0.75, 2, 1, 8 / 28.25}, {0.25, 0.75, 3, 1, 20.25 / 28.25}, {0.25, 0.75, 4, 1, 11.25 / 28.25},
      {0.25, 0.75, 5, 1, 9 / 28.25}};
  for (const auto& c : rows) {
    split(c.vf, c.beta);
    const Answer a = ask(KVT_HXPFRC, c.iphs, c.ibas);
    EXPECT_DOUBLE_EQ(a.value, c.want) << c.vf << " " << c.beta << " " << c.iphs << " " << c.ibas;
    EXPECT_EQ(a.ierr, KVT_OK);
  }
  for (double vf : {kHostMissing, 2.0 * kHostMissing}) {
    split(vf, 0.5);
    for (int64_t iphs = 0; iphs <= 6; ++iphs) EXPECT_EQ(ask(KVT_HXPFRC, iphs, 1), of(0.0)) << iphs;
  }
  // A signalling NaN as the vapour fraction and another as the split: each liquid's share carries the
  // NaN it always carried, made quiet; asked alone, the second liquid carries the split's.
  const uint64_t vf_nan = 0x7FF0000000000011u, beta_nan = 0xFFF0000000000022u, quiet = uint64_t{1} << 51;
  split(std::bit_cast<double>(vf_nan), std::bit_cast<double>(beta_nan));
  EXPECT_EQ(std::bit_cast<uint64_t>(ask(KVT_HXPFRC, KVT_PHASE_LIQUID1).value), vf_nan | quiet);
  EXPECT_EQ(std::bit_cast<uint64_t>(ask(KVT_HXPFRC, KVT_PHASE_LIQUID2).value), beta_nan | quiet);
}

// The phases add up to the stream and the liquid to its two liquids: on mole basis for any split, on
// mass basis for the scenario's own, whose stream molecular weight is the mean of its phases'.
TEST_F(Phases, FractionsAddUp) {
  const double splits[][2] = {{0.25, 0.75}, {0.3, 0.6}, {0.0, 0.25}, {1.0, 0.5}, {0.5, 1.0}, {0.5, 0.0}, {0.7, 1e-10}};
  for (const auto& s : splits) {
    for (int64_t ibas = 0; ibas <= (s[1] == 0.75 ? 1 : 0); ++ibas) {
      split(s[0], s[1]);
      const auto f = [&](int64_t iphs) { return ask(KVT_HXPFRC, iphs, ibas).value; };
      EXPECT_EQ(f(1), 1.0);
      EXPECT_NEAR(f(2) + f(3), 1.0, 1e-15) << s[0] << " " << s[1] << " " << ibas;
      EXPECT_NEAR(f(4) + f(5), f(3), 1e-15) << s[0] << " " << s[1] << " " << ibas;
    }
  }
}

TEST_F(Phases, MolecularWeight) {
  // n: flash components, -1 keeps the scenario's
  const struct { double vf, beta; int64_t ibas, n; double want[5]; } rows[] = {
      {1.0, 0.5, 0, -1, {28.25, 32, A, A, A}},          {1 - 5e-11, 0.5, 0, -1, {28.25, 32, A, A, A}},
      {0.0, 1.0, 0, -1, {28.25, A, 27, 20, A}},         {0.3, 0.6, 1, -1, {28.25, 32, 27, 20, 48}},
      {kHostMissing, 0.6, 0, -1, {28.25, A, 27, A, A}}, {0.5, 0.6, 1, 0, {28.25, A, 27, A, A}},
      {0.5, 0.6, 0, 0, {28.25, 32, 27, 20, 48}},        {0.5, 1.0, 1, 1, {28.25, 32, 27, 20, A}}};
  for (const auto& c : rows) {
    split(c.vf, c.beta);
    if (c.n >= 0) rec::set_flash_count(c.n);
    for (int64_t iphs = 1; iphs <= 5; ++iphs) {
      EXPECT_EQ(ask(KVT_HXPMWT, iphs, c.ibas), of(c.want[iphs - 1])) << c.vf << " " << c.beta << " " << iphs;
    }
  }
  slot(9) = 2.0 * kMissing;
  for (int64_t iphs : {0, 6, -3}) EXPECT_EQ(ask(KVT_HXPMWT, iphs), (Answer{2.0 * kMissing, 0})) << iphs;
  EXPECT_TRUE(host().calls.empty());
}

TEST_F(Phases, Flow) {
  const struct { double vf, beta; int64_t ibas; double total, want[5]; } rows[] = {
      {0.25, 0.6, 0, 100.0, {100, 25, 75, 45, 30}},  {0.25, 0.6, 2, 100.0, {100, 25, 75, 45, 30}},
      {0.25, 0.6, -1, 100.0, {100, 25, 75, 45, 30}}, {0.25, 0.75, 1, 28.25, {28.25, 8, 20.25, 11.25, 9}},
      {1.0, 0.6, 0, 100.0, {100, 100, 0, 0, 0}},     {kHostMissing, 0.6, 1, 100.0, {100, 0, 100, 0, 0}},
      {0.25, 0.6, 0, kMissing, {0, 0, 0, 0, 0}},     {0.25, 0.6, 1, 3.0 * kMissing, {0, 0, 0, 0, 0}},
      {0.0, 1.0, 1, 28.25, {28.25, 0, 28.25, 20, 0}}};  // one liquid, no vapour: the liquid still converted
  for (const auto& c : rows) {
    split(c.vf, c.beta);
    host().calls.clear();
    const char* total = c.ibas == KVT_BASIS_MASS ? "TEBU_TOTMAS" : "TEBU_TOTFLO";
    host().defaults[total] = c.total;
    for (int64_t iphs = 1; iphs <= 5; ++iphs) {
      const Answer a = ask(KVT_HXPMFL, iphs, c.ibas);
      EXPECT_NEAR(a.value, c.want[iphs - 1], 1e-12) << c.vf << " " << c.beta << " " << iphs << " " << c.ibas;
      EXPECT_EQ(a.ierr, KVT_OK);
    }
    EXPECT_EQ(host().count(total), 5u) << "one call each, and never the other total";
    EXPECT_EQ(host().calls.size(), 5u);
  }
}

// Enthalpies -100, -275, -250, -350 (vapour, liquid, first, second liquid); molar whatever IBAS.
TEST_F(Phases, HeatFlow) {
  // IPHS 2 to 5
  const struct { double vf, beta, flow, want[4]; } rows[] = {
      {0.5, 0.5, 10.0, {-500, -1375, -625, -875}}, {1.0, 0.5, 10.0, {-1000, 0, 0, 0}},
      {kHostMissing, 0.5, 10.0, {0, -2750, 0, 0}}, {0.5, 0.5, kMissing, {0, 0, 0, 0}}};
  for (const auto& c : rows) {
    split(c.vf, c.beta);
    slot(1) = c.flow;
    for (int64_t ibas : {0, 1}) {
      for (int64_t iphs = 2; iphs <= 5; ++iphs) EXPECT_EQ(ask(KVT_HXPQFL, iphs, ibas), of(c.want[iphs - 2])) << iphs;
    }
  }
  EXPECT_TRUE(host().calls.empty());
  host().defaults["TEBU_TOTENT"] = 3.0 * kMissing;
  for (int64_t iphs : {1, 0, 9}) EXPECT_EQ(ask(KVT_HXPQFL, iphs), (Answer{3.0 * kMissing, 0})) << iphs;
  EXPECT_EQ(host().count("TEBU_TOTENT"), 3u);
}

// ---- Physical properties -----------------------------------------------------------------------

// FV 0.25, FL1 0.5625, FL2 0.1875: whole stream 56.25 + 18 + 10, total liquid (56.25 + 18) / 0.75. The
// transport properties read no basis; on mass basis the heat capacity takes mass fractions and each
// phase's value divided by its own molecular weight (20, 48, 32).
TEST_F(Phases, PropertyWeighting) {
  // IPHS 1, 3, 2, 4, 5, 0, 6, -1
  const struct { Routine routine; const char *liquid, *vapour; int64_t ibas; double want[8]; } rows[] = {
      {KVT_HXPCPP, "GOSA_ENTHL", "GOSA_ENTHV", 2, {84.25, 99, 40, 100, 96, 84.25, 84.25, 84.25}},
      {KVT_HXPCPP, "GOSA_ENTHL", "GOSA_ENTHV", 1, {84.25 / 28.25, 74.25 / 20.25, 1.25, 5, 2, 84.25 / 28.25, 84.25 / 28.25, 84.25 / 28.25}},
      {KVT_HXPTHC, "GOSA_TCONL", "GOSA_TCONV", 1, {84.25, 99, 40, 100, 96, 84.25, 84.25, 84.25}},
      {KVT_HXPVIS, "GOSA_VISCL", "GOSA_VISCV", 7, {84.25, 99, 40, 100, 96, 84.25, 84.25, 84.25}},
      {KVT_HXPSFT, "GOSA_SRFTEN", "", -1, {99, 99, A, 100, 96, 99, 99, 99}}};
  const int64_t codes[] = {1, 3, 2, 4, 5, 0, 6, -1};
  for (const auto& r : rows) {
    for (int k = 0; k < 8; ++k) {  // the host's answers: first liquid 100, second 96, vapour 40, as asked
      host().outputs[r.liquid] = codes[k] == KVT_PHASE_LIQUID2 ? std::deque<double>{96} : std::deque<double>{100, 96};
      host().outputs[r.vapour] = {40.0};
      const Answer a = ask(r.routine, codes[k], r.ibas);
      EXPECT_DOUBLE_EQ(a.value, r.want[k]) << r.liquid << " IPHS " << codes[k] << " IBAS " << r.ibas;
      EXPECT_EQ(a.ierr, of(r.want[k]).ierr);
    }
  }
  host().outputs["GOSA_ENTHL"] = {0.1, 0.5};  // the liquid: each share divided by FL1 + FL2, to the last bit
  EXPECT_EQ(ask(KVT_HXPCPP, KVT_PHASE_LIQUID).value, 0.2);
}

// Which phases are absent: the missing value, IERR -1 and no call of the property monitor.
TEST_F(Phases, AbsentPhases) {
  // present, IPHS 1 to 5
  const struct { double vf, beta; bool all[5], liquid_only[5]; } splits[] = {
      {1.0, 0.75, {1, 1, 0, 0, 0}, {0, 0, 0, 0, 0}}, {0.0, 1.0, {1, 0, 1, 1, 0}, {1, 0, 1, 1, 0}},
      {0.0, 0.0, {1, 0, 1, 0, 1}, {1, 0, 1, 0, 1}},  {0.25, 1.0, {1, 1, 1, 1, 0}, {1, 0, 1, 1, 0}},
      {1 - 5e-11, 0.5, {1, 1, 0, 0, 0}, {0, 0, 0, 0, 0}}};
  const Routine routines[] = {KVT_HXPCPP, KVT_HXPTHC, KVT_HXPVIS, KVT_HXPDNS, KVT_HXPSFT, KVT_HXPTHV};
  for (const auto& s : splits) {
    split(s.vf, s.beta);
    for (std::size_t k = 0; k < std::size(routines); ++k) {
      for (int64_t iphs = 1; iphs <= 5; ++iphs) {
        host().calls.clear();
        const Answer a = ask(routines[k], iphs);
        const bool present = (k < 4 ? s.all : s.liquid_only)[iphs - 1];
        EXPECT_EQ(a.ierr, present ? KVT_OK : KVT_ERR_ABSENT) << k << " " << s.vf << " " << s.beta << " " << iphs;
        EXPECT_TRUE(present || (a.value == A && host().calls.empty()));
        // The whole stream evaluates each present phase once (one host call each), and no other.
        EXPECT_TRUE(iphs != 1 || k > 2 || host().calls.size() == 0u + s.all[1] + s.all[3] + s.all[4]) << k;
      }
    }
  }
  // Without any fraction: the whole stream and the liquid are 0.0 (density: missing), IERR 0.
  split(kHostMissing, 0.75);
  for (Routine r : routines) {
    for (int64_t iphs : {1, 3}) EXPECT_EQ(ask(r, iphs), (Answer{r == KVT_HXPDNS ? A : 0.0, 0})) << iphs;
  }
}

// The water rule: with the side's water switch at 1, a liquid of pure water (water is flash
// component 2 here) is evaluated with option word 5 in place of word 1, decided on the full
// composition (the packed one says otherwise here).
TEST_F(Phases, WaterRule) {
  // word 5 for the first / second liquid
  const struct { int64_t side, water, idxwat; double x1w, x2w; bool l1, l2; } rows[] = {
      {1, 1, 2, 1.0, 0.5, true, false},  {1, 1, 2, 0.9999999, 0.5, false, false}, {1, 0, 2, 1.0, 1.0, false, false},
      {1, 2, 2, 1.0, 1.0, false, false}, {1, 1, 0, 1.0, 1.0, false, false},       {1, 1, -1, 1.0, 1.0, false, false},
      {1, 1, 2, 0.5, 1.0, false, true},  {0, 1, 2, 1.0, 1.0, true, true},         {2, 1, 2, 1.0, 0.5, true, false},
      {-1, 1, 2, 0.5, 1.0, false, true}};
  for (const auto& c : rows) {
    const int64_t side = c.side == 1 ? 1 : 0;
    side_word(KVT_IHXPP_WATER, side) = c.water;
    side_word(KVT_IHXPP_WATER, 1 - side) = 1 - c.water;
    host().idxwat = c.idxwat;
    rec::set_plex_real(rec::comp_pos(rec::Comp::X1) + 1, c.x1w);
    rec::set_plex_real(rec::comp_pos(rec::Comp::X2) + 1, c.x2w);
    rec::set_plex_real(KVT_WORD(KVT_HXPKV, KVT_HXPKV_FRACTIONS + 1) + 1, 0.25);
    for (Routine r : {KVT_HXPCPP, KVT_HXPTHC, KVT_HXPVIS, KVT_HXPSFT, KVT_HXPTHV}) {
      for (int64_t iphs : {KVT_PHASE_LIQUID1, KVT_PHASE_LIQUID2, KVT_PHASE_VAPOUR}) {
        host().calls.clear();
        ask(r, iphs, KVT_BASIS_MOLE, c.side);
        const int w = (iphs == KVT_PHASE_LIQUID1 ? c.l1 : iphs == KVT_PHASE_LIQUID2 && c.l2) ? 5 : 1;
        for (const rec::Call& call : host().calls) {
          const bool gosa = call.name.starts_with("GOSA_");
          EXPECT_TRUE(!gosa || call[call.name.ends_with("THRM") ? 5 : 6].word == option_word(w, side)) << call.name;
        }
      }
    }
    EXPECT_EQ(side_word(1, side), option_word(1, side)) << "the option set itself is not changed";
  }
}

// Molar volumes 16, 0.109375, 0.125, 0.0625 (vapour, liquid, first, second); no host call; any side.
TEST_F(Phases, Density) {
  const struct { int64_t iphs, ibas; double want; } rows[] = {
      {1, 0, 1 / 4.08203125}, {3, 0, 1 / 0.109375}, {2, 0, 1 / 16.0}, {4, 0, 8.0},  {5, 0, 16.0},
      {7, 2, 1 / 4.08203125}, {1, 1, 28.25 / 4.08203125}, {3, 1, 20.25 / 0.08203125}, {2, 1, 2.0},
      {4, 1, 160.0},          {5, 1, 768.0}};
  for (const auto& c : rows) {
    for (int64_t side : {0, 1, 5}) EXPECT_DOUBLE_EQ(ask(KVT_HXPDNS, c.iphs, c.ibas, side).value, c.want) << c.iphs;
  }
  EXPECT_TRUE(host().calls.empty());
  // A volume at or below the bound, or at or above the missing value, has no density (IERR 0).
  const double v = 0.125, up = std::nextafter(v, 1.0), top = std::nextafter(kMissing, 0.0);
  const struct { double bound, volume; int64_t iphs; double want; } bounds[] = {
      {v, v, 4, A},         {up, v, 4, A},       {std::nextafter(v, 0.0), v, 4, 8.0},
      {v, up, 4, 1.0 / up}, {0.0, kMissing, 2, A}, {0.0, std::numeric_limits<double>::infinity(), 2, A},
      {0.0, top, 2, 1.0 / top}};
  for (const auto& c : bounds) {
    KVT_WORD(KVT_HXRMIN, KVT_HXRMIN_VOLUME) = c.bound;
    rec::set_stwork_real(c.iphs == 4 ? 57 : 55, c.volume);
    EXPECT_EQ(ask(KVT_HXPDNS, c.iphs), (Answer{c.want, 0})) << c.bound << " " << c.volume;
  }
}

// Heat of vaporisation: per flash component present in the vapour, its vapour minus liquid
// enthalpy, weighted by the liquid's composition: first liquid (50-10)*0.75 + (30-10)*0.25 = 35,
// second liquid (40-0)*0.5 + (70-10)*0.5 = 50.
TEST_F(Phases, HeatOfVaporisation) {
  const auto script_sums = [&](int liquids) {  // 1 first, 2 second, 3 both
    auto& v = host().outputs["GOSA_VTHRM"];
    auto& l = host().outputs["GOSA_LTHRM"];
    v = liquids & 1 ? std::deque<double>{50, 30, 100} : std::deque<double>{};
    l = liquids & 1 ? std::deque<double>{10, 10, 0} : std::deque<double>{};
    if (liquids & 2) v.insert(v.end(), {60, 40, 70}), l.insert(l.end(), {20, 0, 10});
  };
  const struct { int64_t iphs, ibas; int liquids; double want; } rows[] = {
      {4, 0, 1, 35.0}, {5, 0, 2, 50.0}, {3, 0, 3, 38.75}, {1, 0, 3, 38.75}, {9, 2, 3, 38.75}, {4, 1, 1, 35.0 / 20},
      {5, 1, 2, 50.0 / 48}, {3, 1, 3, (35.0 / 20 * 11.25 + 50.0 / 48 * 9) / 20.25}};
  for (const auto& c : rows) {
    script_sums(c.liquids);
    const Answer a = ask(KVT_HXPTHV, c.iphs, c.ibas);
    EXPECT_DOUBLE_EQ(a.value, c.want) << c.iphs << " " << c.ibas;
    EXPECT_EQ(a.ierr, KVT_OK);
  }
  // The pure component's log pressure is held within [-170, 80].
  for (const auto& [log_p, used] : {std::pair{200.0, 80.0}, {80.0, 80.0}, {79.5, 79.5}, {-500.0, -170.0}, {-169.5, -169.5}}) {
    host().calls.clear();
    host().defaults["LORI_PL001"] = log_p;
    ask(KVT_HXPTHV, KVT_PHASE_LIQUID1);
    EXPECT_EQ(host().count("GOSA_VTHRM") + host().count("GOSA_LTHRM"), 6u);
    for (const rec::Call& h : host().calls) EXPECT_TRUE(!h.name.ends_with("THRM") || h[2].real() == std::exp(used)) << log_p;
  }
  // Only components above 1e-10 in the vapour count, however abundant in the liquid.
  host().calls.clear();
  rec::set_composition(rec::Comp::Y, {1e-10, 1.1e-10, 0.5});
  host().outputs["GOSA_VTHRM"] = {30.0, 100.0};
  host().outputs["GOSA_LTHRM"] = {10.0, 0.0};
  EXPECT_DOUBLE_EQ(ask(KVT_HXPTHV, KVT_PHASE_LIQUID1).value, 5.0);
  EXPECT_EQ(host().count("LORI_PL001"), 2u);
  EXPECT_EQ(last("GOSA_LTHRM")[4].word, 7);
  // No component in the vapour, or no liquid fractions but not wholly vapour: 0.0, IERR 0.
  rec::set_composition(rec::Comp::Y, {0.0, -0.5, 1e-10});
  EXPECT_EQ(ask(KVT_HXPTHV, KVT_PHASE_LIQUID), of(0.0));
  rec::set_composition(rec::Comp::X1, {0.0, 0.0, 0.0});
  rec::set_composition(rec::Comp::X2, {0.0, 0.0, 0.0});
  EXPECT_EQ(ask(KVT_HXPTHV, KVT_PHASE_LIQUID, KVT_BASIS_MASS), of(0.0));
}

// ---- Critical temperature and pressure ----------------------------------------------------------

// Stream flows 1, 0, 3: the stand-in host packs components 1 and 3 as 0.25 and 0.75, over the
// component-number list and Z (their third entries stay).
TEST_F(Phases, CriticalPoint) {
  host().defaults["WEND_CRTCAL"] = 500.0;
  host().defaults["WEND_CRTCAL:PC"] = 4.0e6;
  strm[1] = 0.0;
  strm[2] = 3.0;
  const std::pair<int64_t, rec::Comp> compositions[] = {{1, rec::Comp::Z}, {2, rec::Comp::Y}, {3, rec::Comp::X},
                                                        {4, rec::Comp::X1}, {5, rec::Comp::X2}, {-1, rec::Comp::Z}};
  for (const auto& [routine, want] : {std::pair<Routine, double>{KVT_HXPTMC, 500.0}, {KVT_HXPPRC, 4.0e6}}) {
    for (const auto& [iphs, comp] : compositions) {
      host().calls.clear();
      EXPECT_EQ(ask(routine, iphs, KVT_BASIS_MASS), of(want)) << iphs;
      ASSERT_EQ(host().calls.size(), comp == rec::Comp::Z ? 2u : 1u);
      EXPECT_EQ(host().calls.back()[2].addr, rec::plex_addr(rec::comp_pos(comp)));
      EXPECT_EQ(host().calls.back()[1].word, comp == rec::Comp::Z ? 2 : 3) << "N, or the count the host packed";
    }
  }
  EXPECT_EQ(plex_words(rec::complist_pos(), 3), (std::vector<int64_t>{1, 3, 7}));
  EXPECT_EQ(plex_words<double>(rec::comp_pos(rec::Comp::Z), 3), (std::vector<double>{0.25, 0.75, 0.2}));
  // Absent phases; the fractions are molar whatever IBAS says.
  const struct { double vf, beta; bool present[5]; } splits[] = {
      {1.0, 0.75, {1, 1, 0, 0, 0}}, {0.0, 1.0, {1, 0, 1, 1, 0}}, {0.0, 0.0, {1, 0, 1, 0, 1}},
      {kHostMissing, 0.75, {1, 0, 1, 0, 0}}, {std::numeric_limits<double>::quiet_NaN(), 0.75, {1, 1, 1, 1, 1}}};
  for (const auto& s : splits) {
    split(s.vf, s.beta);
    for (int64_t iphs = 1; iphs <= 5; ++iphs) {
      EXPECT_EQ(ask(KVT_HXPPRC, iphs, KVT_BASIS_MASS), of(s.present[iphs - 1] ? 4.0e6 : A)) << s.vf << " " << iphs;
    }
  }
}

}  // namespace
}  // namespace kvt::test
