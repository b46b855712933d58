// Write-set conformance of every routine. Each case lays out the recording host's store afresh, fills
// every laid-out word, the blocks and the stream vector with seeded random contents (so that a write
// cannot hide behind an equal value), calls one routine with random codes, and compares the words
// that changed with the words the routine may write:
//   setters      the one stream slot (NCOMP+2 temperature, +3 pressure, +4 enthalpy, +5 vapour fraction);
//   the flash    STRM(NCOMP+2), STRM(NCOMP+3); the retention mode; the estimate marker of its side for
//                KSPEC other than 2, 4, 5 and ISLOT 2; VOKA_FLSCM2 when the host had raised it; for a
//                liquid split of exactly 1.0, X1 (NCOMP words) and the first-liquid words 49, 53, 57,
//                61 of TEBU_STWORK; the four packed compositions (count and N entries of each list);
//                the status word of the retention record in use;
//   critical temperature and pressure of the whole stream: the component-number list and Z (what the
//                host's TEBU_CPACK packs there, at most NCOMP entries);
//   everything else: nothing at all.
#include <cstring>
#include <limits>
#include <random>
#include <set>

#include "support/scenario.h"

namespace kvt::test {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN(), kInf = std::numeric_limits<double>::infinity();
constexpr int64_t kMin = std::numeric_limits<int64_t>::min(), kMax = std::numeric_limits<int64_t>::max();

class Random {
 public:
  explicit Random(uint64_t seed) : g_(seed) {}
  int64_t in(int64_t lo, int64_t hi) { return std::uniform_int_distribution<int64_t>(lo, hi)(g_); }
  bool chance(double p) { return std::bernoulli_distribution(p)(g_); }
  template <class T> T pick(std::initializer_list<T> v) { return *(v.begin() + in(0, std::ssize(v) - 1)); }
  double unit() { return std::uniform_real_distribution<double>(0.0, 1.0)(g_); }
  int64_t word() { return static_cast<int64_t>(g_()); }
  // A fraction, often exactly at or near the bounds the library snaps.
  double fraction() { return chance(0.5) ? pick({0.0, 1e-10, 1.1e-10, 5e-11, 0.5, 0.9999999999, 0.99999999995, 1.0}) : unit(); }
  double real() { return chance(0.2) ? pick({kNaN, kInf, -kInf, 1e30, 1e35, -1.0, 0.0, 5e-324, 1e300}) : unit() * 2e3 - 500; }
  // A code: mostly the meaningful range and its neighbours, sometimes the edges of the type.
  int64_t code() { return chance(0.85) ? in(-1, 7) : pick<int64_t>({kMin, kMax, 100, -100}); }

 private:
  std::mt19937_64 g_;
};

// A changed word: its area and its number from 1.
struct Word {
  std::string area;
  int64_t word;
  auto operator<=>(const Word&) const = default;
};
using Snapshot = std::vector<std::pair<std::string, std::vector<int64_t>>>;

// Everything a routine could write: the laid-out part of the work array, the stream vector, the
// host's blocks and the library's.
Snapshot take_snapshot(const std::vector<double>& strm, int64_t plex_end) {
  const auto words = [](const void* p, std::size_t n) {
    std::vector<int64_t> w(n);
    std::memcpy(w.data(), p, n * sizeof(int64_t));
    return w;
  };
  Snapshot snap{{"PLEX", words(rec::plex_addr(1), static_cast<std::size_t>(plex_end - 1))},
                {"STRM", words(strm.data(), strm.size())}};
  for (const rec::Blocks& b : rec::host_blocks()) snap.emplace_back(b.name, words(b.data, b.words));
  const std::pair<const char*, std::pair<const void*, std::size_t>> library[] = {
      {"KVT_IHXPP", {KVT_IHXPP, 28}},  {"KVT_RHXPP", {KVT_RHXPP, 8}},   {"KVT_HXPKV", {KVT_HXPKV, 16}},
      {"KVT_HXRMSS", {KVT_HXRMSS, 4}}, {"KVT_HXRMIN", {KVT_HXRMIN, 4}}, {"KVT_HXSBD", {KVT_HXSBD, 4}},
      {"KVT_HXSTRB", {KVT_HXSTRB, 4}}, {"KVT_HXIMSS", {KVT_HXIMSS, 4}}, {"KVT_HXPDBG", {KVT_HXPDBG, 28}},
      {"KVT_HXOUTP", {KVT_HXOUTP, 4}}};
  for (const auto& [name, block] : library) snap.emplace_back(name, words(block.first, block.second));
  return snap;
}

enum class Kind { Flash, Property, Critical, Setter };
// slot: a setter's, STRM(NCOMP + slot).
struct Case { const char* name; Kind kind; Routine routine = nullptr; Setter setter = nullptr; int64_t slot = 0; };

TEST(WriteSet, EveryRoutineChangesOnlyWhatItMayWrite) {
  const Case routines[] = {
      {"HXFLSH", Kind::Flash},          {"HXPFRC", Kind::Property, KVT_HXPFRC}, {"HXPMWT", Kind::Property, KVT_HXPMWT},
      {"HXPMFL", Kind::Property, KVT_HXPMFL}, {"HXPQFL", Kind::Property, KVT_HXPQFL}, {"HXPCPP", Kind::Property, KVT_HXPCPP},
      {"HXPTHC", Kind::Property, KVT_HXPTHC}, {"HXPVIS", Kind::Property, KVT_HXPVIS}, {"HXPSFT", Kind::Property, KVT_HXPSFT},
      {"HXPDNS", Kind::Property, KVT_HXPDNS}, {"HXPTHV", Kind::Property, KVT_HXPTHV}, {"HXPTMC", Kind::Critical, KVT_HXPTMC},
      {"HXPPRC", Kind::Critical, KVT_HXPPRC}, {"HXPTMP", Kind::Property, KVT_HXPTMP}, {"HXPPRS", Kind::Property, KVT_HXPPRS},
      {"HXUTMP", Kind::Setter, nullptr, KVT_HXUTMP, 2}, {"HXUPRS", Kind::Setter, nullptr, KVT_HXUPRS, 3},
      {"HXUNTH", Kind::Setter, nullptr, KVT_HXUNTH, 4}, {"HXUVFR", Kind::Setter, nullptr, KVT_HXUVFR, 5}};
  rec::reset();
  for (const Case& r : routines) {
    for (uint64_t seed = 1; seed <= 250; ++seed) {
      Random rnd(seed * 7919u + std::hash<std::string>{}(r.name));
      rec::host() = rec::Host{};
      rec::Host& h = rec::host();
      clear_library_blocks();
      const int64_t ncomp = rnd.in(0, 10), n = rnd.in(-1, 10);
      const int64_t capacity = std::max({ncomp, n, int64_t{1}}) + rnd.in(0, 3);
      const rec::Layout layout = rec::lay_out(capacity);
      rec::bind_layout(layout);
      for (int64_t p = 1; p < layout.end; ++p) rec::set_plex_int(p, rnd.word());
      rec::set_ncomp(ncomp);
      rec::set_host_missing(rnd.pick({1e30, 1e35}));
      KVT_WORD(KVT_HXRMSS, KVT_HXRMSS_MISSING) = rnd.pick({1e35, 1e30, 100.0});
      KVT_WORD(KVT_HXRMIN, KVT_HXRMIN_VOLUME) = rnd.pick({0.0, 0.05, -1.0});
      for (int w = 1; w <= KVT_IHXPP_COMMON; ++w) KVT_WORD(KVT_IHXPP, w) = rnd.in(-2, 12);
      for (int64_t side : {0, 1}) side_word(KVT_IHXPP_WATER, side) = rnd.pick<int64_t>({0, 1, 2});
      KVT_WORD(KVT_IHXPP, KVT_IHXPP_NSUBS) = rnd.in(0, 3);
      const int64_t mode = KVT_WORD(KVT_IHXPP, KVT_IHXPP_RETENTION) = rnd.pick<int64_t>({-1, 0, 1, 2});
      KVT_WORD(KVT_IHXPP, 28) = rnd.word();
      for (double& w : KVT_RHXPP) w = rnd.chance(0.5) ? rnd.pick({0.0, 1e30, 1e35, -1.0}) : rnd.real();
      for (int64_t* block : {KVT_HXSBD, KVT_HXSTRB, KVT_HXIMSS}) std::generate_n(block, 4, [&] { return rnd.word(); });
      for (int64_t& w : KVT_HXPDBG) w = rnd.chance(0.3) ? rnd.pick<int64_t>({1, 2}) : 0;
      KVT_WORD(KVT_HXOUTP, KVT_HXOUTP_UNIT) = kUnit;
      // The last flash's results and the host's answers.
      rec::set_flash_count(n);
      for (int64_t i = 0; i < n; ++i) rec::set_plex_int(rec::complist_pos() + i, rnd.in(1, capacity));
      for (auto comp : {rec::Comp::X, rec::Comp::X1, rec::Comp::X2, rec::Comp::Y, rec::Comp::Z}) {
        for (int64_t i = 0; i < n; ++i) rec::set_plex_real(rec::comp_pos(comp) + i, rnd.fraction());
      }
      for (int64_t j = 0; j <= capacity; ++j) rec::set_molwt(j, 1.0 + 100.0 * rnd.unit());
      for (int w : {19, 20, 22}) rec::set_stwkwk_real(w, rnd.real());
      rec::set_stwkwk_real(21, rnd.fraction());
      const double split = rnd.chance(0.3) ? 1.0 : rnd.fraction();
      rec::set_stwkwk_real(23, split);
      for (int w = 47; w <= 62; ++w) rec::set_stwork_real(w, rnd.real());
      rec::set_flash_error(rnd.in(-3, 3));
      const int64_t failure_flag = rnd.pick<int64_t>({0, 1, 5});
      rec::set_failure_flag(failure_flag);
      h.default_output = rnd.real();
      h.flash_status = rnd.pick<int64_t>({1, 0, 2});
      h.idxwat = rnd.in(-1, std::max<int64_t>(n, 0));
      for (int i = 0; i < 3; ++i) h.error_flags.push_back(rnd.in(-2, 2));
      // The stream and the arguments.
      std::vector<double> strm(static_cast<std::size_t>(ncomp + 10));
      for (double& x : strm) x = rnd.real();
      strm[static_cast<std::size_t>(ncomp + 4)] = rnd.chance(0.2) ? rnd.pick({1e30, 1e35}) : rnd.fraction();
      strm[static_cast<std::size_t>(ncomp + 8)] = 1.0 + 100.0 * rnd.unit();
      const int64_t nstrm = rnd.in(-1, ncomp + 10), iside = rnd.code(), iphs = rnd.code(), ibas = rnd.code();
      const int64_t islot = rnd.code(), kspec = rnd.code(), kphs = rnd.code(), kpeq = rnd.code();
      const double value = rnd.real();

      // What the routine may write.
      std::set<Word> may;
      const auto plex_run = [&](int64_t first, int64_t count) {
        for (int64_t i = 0; i < count; ++i) may.insert({"PLEX", first + i});
      };
      const bool side_known = iside == 0 || iside == 1;
      switch (r.kind) {
        case Kind::Setter: may.insert({"STRM", ncomp + r.slot}); break;
        case Kind::Critical:
          if (iphs < 1 || iphs > 5 || iphs == KVT_PHASE_STREAM) plex_run(rec::complist_pos(), ncomp), plex_run(rec::comp_pos(rec::Comp::Z), ncomp);
          break;
        case Kind::Flash:
          may.insert({{"STRM", ncomp + 2}, {"STRM", ncomp + 3}, {"KVT_IHXPP", KVT_IHXPP_RETENTION}});
          if (kspec != KVT_SPEC_TP && kspec != KVT_SPEC_TH && kspec != KVT_SPEC_TV && islot == 2 && side_known) {
            may.insert({"KVT_RHXPP", KVT_RHXPP_ESTIMATE_MARKER + KVT_SIDE_STRIDE_R * iside});
          }
          if (failure_flag != 0) may.insert({"VOKA_FLSCM2", 1});
          if (split == 1.0) {
            plex_run(rec::comp_pos(rec::Comp::X1), ncomp);
            may.insert({{"TEBU_STWORK", 49}, {"TEBU_STWORK", 53}, {"TEBU_STWORK", 57}, {"TEBU_STWORK", 61}});
          }
          for (int g = 0; g < 4; ++g) {
            plex_run(layout.packed_count[g], 1);
            plex_run(layout.packed_numbers[g], std::max<int64_t>(n, 0));
            plex_run(layout.packed_fractions[g], std::max<int64_t>(n, 0));
          }
          if (mode != 0 && islot >= 1 && islot <= 5 && side_known) {
            const int64_t len = layout.int_record_len;
            plex_run(layout.int_records + (len + 1) * (islot + 5 * iside - 1) + len, 1);
          }
          break;
        case Kind::Property: break;
      }

      const Snapshot before = take_snapshot(strm, layout.end);
      double result = 0.0;
      int64_t ierr = 0;
      if (r.kind == Kind::Flash) KVT_HXFLSH(strm.data(), &nstrm, &iside, &islot, &kspec, &kphs, &kpeq, &ierr);
      if (r.kind == Kind::Setter) r.setter(strm.data(), nullptr, nullptr, &value);
      if (r.routine != nullptr) r.routine(strm.data(), &nstrm, &iside, &iphs, &ibas, &result, &ierr);
      const Snapshot after = take_snapshot(strm, layout.end);
      std::string stray;
      for (std::size_t a = 0; a < before.size(); ++a) {
        for (std::size_t i = 0; i < before[a].second.size(); ++i) {
          const Word w{before[a].first, static_cast<int64_t>(i + 1)};
          if (before[a].second[i] != after[a].second[i] && !may.contains(w)) stray += w.area + "(" + std::to_string(w.word) + ") ";
        }
      }
      ASSERT_EQ(stray, "") << r.name << " seed " << seed << " (NCOMP " << ncomp << ", N " << n << ", ISIDE " << iside
                           << ", IPHS " << iphs << ", ISLOT " << islot << ", KSPEC " << kspec << ")";
    }
  }
}

}  // namespace
}  // namespace kvt::test
