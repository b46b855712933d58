// Write-set conformance of every routine. Each case lays out the recording host's store afresh, fills
// every laid-out word, the blocks and the stream vector with seeded random contents (so that a write
// cannot hide behind an equal value), calls one routine with random codes, and compares the words
// that changed with the words the routine may write, as its documented behaviour states:
//   setters      the one stream slot (NCOMP+2 temperature, +3 pressure, +4 enthalpy, +5 vapour fraction);
//   the flash    STRM(NCOMP+2), STRM(NCOMP+3); word 27 of KVT_IHXPP; the estimate marker of its side
//                (word 2 or 5 of KVT_RHXPP) for KSPEC other than 2, 4, 5 and ISLOT 2; VOKA_FLSCM2 when
//                the host had raised it; for a liquid split of exactly 1.0, X1 (NCOMP words) and the
//                first-liquid words 49, 53, 57, 61 of TEBU_STWORK; the four packed compositions (count
//                and N entries of each list); the status word of the retention record in use;
//   critical temperature and pressure, phase code 1: the component-number list and Z (what the
//                host's TEBU_CPACK packs there, at most NCOMP entries);
//   everything else: nothing at all.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <ostream>
#include <random>
#include <set>
#include <string>

#include "support/scenario.h"

namespace kvt::test {
namespace {

constexpr int kCasesPerRoutine = 250;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// The phase code as the routines take it: 1..5, any other value is the whole stream.
int64_t phase_code(int64_t iphs) { return iphs >= 1 && iphs <= 5 ? iphs : 1; }

class Random {
 public:
  explicit Random(uint64_t seed) : g_(seed) {}
  int64_t in(int64_t lo, int64_t hi) { return std::uniform_int_distribution<int64_t>(lo, hi)(g_); }
  bool chance(double p) { return std::bernoulli_distribution(p)(g_); }
  template <class T>
  T pick(std::initializer_list<T> v) {
    return *(v.begin() + in(0, static_cast<int64_t>(v.size()) - 1));
  }
  double unit() { return std::uniform_real_distribution<double>(0.0, 1.0)(g_); }
  int64_t word() { return static_cast<int64_t>(g_()); }
  // A mole fraction, vapour fraction or split, often exactly at or near the bounds the library snaps.
  double fraction() {
    return chance(0.5) ? pick({0.0, 1e-10, 1.1e-10, 5e-11, 0.5, 0.9999999999, 0.99999999995, 1.0}) : unit();
  }
  double real() {
    return chance(0.2) ? pick({kNaN, kInf, -kInf, 1e30, 1e35, -1.0, 0.0, 5e-324, 1e300})
                       : (unit() * 2.0 - 0.5) * 1000.0;
  }
  // A code: mostly the meaningful range and its neighbours, sometimes the edges of the type.
  int64_t code() {
    return chance(0.85) ? in(-1, 7)
                        : pick<int64_t>({std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max(),
                                         100, -100});
  }

 private:
  std::mt19937_64 g_;
};

// Every word a routine could write: the laid-out part of the host's work array, the host's blocks,
// the stream vector and the library's blocks; each area by name, words numbered from 1.
struct Word {
  std::string area;
  int64_t word;
  auto operator<=>(const Word&) const = default;
};
using Snapshot = std::vector<std::pair<std::string, std::vector<int64_t>>>;

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
      {"KVT_IHXPP", {KVT_IHXPP, 28}}, {"KVT_RHXPP", {KVT_RHXPP, 8}},   {"KVT_HXPKV", {KVT_HXPKV, 16}},
      {"KVT_HXRMSS", {KVT_HXRMSS, 4}}, {"KVT_HXRMIN", {KVT_HXRMIN, 4}}, {"KVT_HXSBD", {KVT_HXSBD, 4}},
      {"KVT_HXSTRB", {KVT_HXSTRB, 4}}, {"KVT_HXIMSS", {KVT_HXIMSS, 4}}, {"KVT_HXPDBG", {KVT_HXPDBG, 28}},
      {"KVT_HXOUTP", {KVT_HXOUTP, 4}}};
  for (const auto& [name, block] : library) snap.emplace_back(name, words(block.first, block.second));
  return snap;
}

// The changed words that `allowed` does not hold, as text ("" when none).
std::string stray_writes(const Snapshot& before, const Snapshot& after, const std::set<Word>& allowed) {
  std::string out;
  for (std::size_t a = 0; a < before.size(); ++a) {
    for (std::size_t i = 0; i < before[a].second.size(); ++i) {
      const Word w{before[a].first, static_cast<int64_t>(i + 1)};
      if (before[a].second[i] != after[a].second[i] && !allowed.contains(w)) {
        out += w.area + "(" + std::to_string(w.word) + ") ";
      }
    }
  }
  return out;
}

enum class Kind { Flash, Property, Critical, Setter, Getter };

struct RoutineCase {
  const char* name;
  Kind kind;
  Routine property = nullptr;  // Property, Critical and Getter routines
  Setter setter = nullptr;
  int64_t slot = 0;  // a setter's slot: STRM(NCOMP + slot)
};

void PrintTo(const RoutineCase& r, std::ostream* os) { *os << r.name; }

// One random setup: the store, the blocks, the last flash's results, the host's answers, the stream.
struct Case {
  rec::Layout layout;
  std::vector<double> strm;
  int64_t ncomp = 0;
  int64_t n = 0;  // flash components of the last flash
  int64_t nstrm = 0, iside = 0, iphs = 0, ibas = 0, islot = 0, kspec = 0, kphs = 0, kpeq = 0;
  double value = 0.0;
  // Words read before the call that the allowed set depends on.
  double split = 0.0;
  int64_t failure_flag = 0;
  int64_t retention_mode = 0;
};

Case make_case(Random& rnd) {
  Case c;
  rec::host() = rec::Host{};
  rec::Host& h = rec::host();
  clear_library_blocks();
  c.ncomp = rnd.in(0, 10);
  c.n = rnd.in(-1, 10);
  const int64_t capacity = std::max({c.ncomp, c.n, int64_t{1}}) + rnd.in(0, 3);
  c.layout = rec::lay_out(capacity);
  bind_layout(c.layout);
  for (int64_t p = 1; p < c.layout.end; ++p) rec::set_plex_int(p, rnd.word());

  rec::set_ncomp(c.ncomp);
  rec::set_host_missing(rnd.pick({1e30, 1e35}));
  KVT_WORD(KVT_HXRMSS, KVT_HXRMSS_MISSING) = rnd.pick({1e35, 1e30, 100.0});
  KVT_WORD(KVT_HXRMIN, KVT_HXRMIN_VOLUME) = rnd.pick({0.0, 0.05, -1.0});
  for (int w = 1; w <= KVT_IHXPP_COMMON; ++w) KVT_WORD(KVT_IHXPP, w) = rnd.in(-2, 12);
  for (int64_t side : {0, 1}) side_word(KVT_IHXPP_WATER, side) = rnd.pick<int64_t>({0, 1, 2});
  KVT_WORD(KVT_IHXPP, KVT_IHXPP_NSUBS) = rnd.in(0, 3);
  KVT_WORD(KVT_IHXPP, KVT_IHXPP_RETENTION) = rnd.pick<int64_t>({-1, 0, 1, 2});
  KVT_WORD(KVT_IHXPP, 28) = rnd.word();
  for (double& w : KVT_RHXPP) w = rnd.chance(0.5) ? rnd.pick({0.0, 1e30, 1e35, -1.0}) : rnd.real();
  for (int64_t* block : {KVT_HXSBD, KVT_HXSTRB, KVT_HXIMSS}) {
    for (int i = 0; i < 4; ++i) block[i] = rnd.word();
  }
  for (int64_t& w : KVT_HXPDBG) w = rnd.chance(0.3) ? rnd.pick<int64_t>({1, 2}) : 0;
  KVT_WORD(KVT_HXOUTP, KVT_HXOUTP_UNIT) = kUnit;

  // The last flash's results over random positions of the store.
  rec::set_flash_count(c.n);
  for (int64_t i = 0; i < c.n; ++i) rec::set_plex_int(rec::complist_pos() + i, rnd.in(1, capacity));
  for (auto comp : {rec::Comp::X, rec::Comp::X1, rec::Comp::X2, rec::Comp::Y, rec::Comp::Z}) {
    for (int64_t i = 0; i < c.n; ++i) rec::set_plex_real(rec::comp_pos(comp) + i, rnd.fraction());
  }
  for (int64_t j = 0; j <= capacity; ++j) rec::set_molwt(j, 1.0 + 100.0 * rnd.unit());
  rec::set_stwkwk_real(19, rnd.real());
  rec::set_stwkwk_real(20, rnd.real());
  rec::set_stwkwk_real(21, rnd.fraction());
  rec::set_stwkwk_real(22, rnd.real());
  c.split = rnd.chance(0.3) ? 1.0 : rnd.fraction();
  rec::set_stwkwk_real(23, c.split);
  for (int w = 47; w <= 62; ++w) rec::set_stwork_real(w, rnd.real());
  rec::set_flash_error(rnd.in(-3, 3));
  c.failure_flag = rnd.pick<int64_t>({0, 1, 5});
  rec::set_failure_flag(c.failure_flag);
  c.retention_mode = KVT_WORD(KVT_IHXPP, KVT_IHXPP_RETENTION);

  // The host's answers.
  h.default_output = rnd.real();
  h.flash_status = rnd.pick<int64_t>({1, 0, 2});
  h.idxwat = rnd.in(-1, std::max<int64_t>(c.n, 0));
  for (int i = 0; i < 3; ++i) h.error_flags.push_back(rnd.in(-2, 2));

  // The stream and the arguments.
  c.strm.assign(static_cast<std::size_t>(c.ncomp + 10), 0.0);
  for (double& x : c.strm) x = rnd.real();
  c.strm[static_cast<std::size_t>(c.ncomp + 4)] = rnd.chance(0.2) ? rnd.pick({1e30, 1e35}) : rnd.fraction();
  c.strm[static_cast<std::size_t>(c.ncomp + 8)] = 1.0 + 100.0 * rnd.unit();
  c.nstrm = rnd.in(-1, c.ncomp + 10);
  c.iside = rnd.code();
  c.iphs = rnd.code();
  c.ibas = rnd.code();
  c.islot = rnd.code();
  c.kspec = rnd.code();
  c.kphs = rnd.code();
  c.kpeq = rnd.code();
  c.value = rnd.real();
  return c;
}

// The words `r` may write in case `c`.
std::set<Word> may_write(const RoutineCase& r, const Case& c) {
  std::set<Word> w;
  const auto plex_run = [&](int64_t first, int64_t count) {
    for (int64_t i = 0; i < count; ++i) w.insert({"PLEX", first + i});
  };
  const int64_t n = std::max<int64_t>(c.n, 0);
  switch (r.kind) {
    case Kind::Setter:
      w.insert({"STRM", c.ncomp + r.slot});
      break;
    case Kind::Critical:
      if (phase_code(c.iphs) == 1) {
        plex_run(rec::complist_pos(), c.ncomp);
        plex_run(rec::comp_pos(rec::Comp::Z), c.ncomp);
      }
      break;
    case Kind::Flash: {
      w.insert({"STRM", c.ncomp + 2});
      w.insert({"STRM", c.ncomp + 3});
      w.insert({"KVT_IHXPP", KVT_IHXPP_RETENTION});
      const bool side_known = c.iside == 0 || c.iside == 1;
      if (c.kspec != KVT_SPEC_TP && c.kspec != KVT_SPEC_TH && c.kspec != KVT_SPEC_TV && c.islot == 2 && side_known) {
        w.insert({"KVT_RHXPP", KVT_RHXPP_ESTIMATE_MARKER + KVT_SIDE_STRIDE_R * c.iside});
      }
      if (c.failure_flag != 0) w.insert({"VOKA_FLSCM2", 1});
      if (c.split == 1.0) {
        plex_run(rec::comp_pos(rec::Comp::X1), c.ncomp);
        for (int word : {49, 53, 57, 61}) w.insert({"TEBU_STWORK", word});
      }
      for (int g = 0; g < 4; ++g) {
        w.insert({"PLEX", c.layout.packed_count[g]});
        plex_run(c.layout.packed_numbers[g], n);
        plex_run(c.layout.packed_fractions[g], n);
      }
      if (c.retention_mode != 0 && c.islot >= 1 && c.islot <= 5 && side_known) {
        const int64_t record = c.islot + 5 * c.iside - 1;
        const int64_t ilen = c.layout.int_record_len;
        w.insert({"PLEX", c.layout.int_records + (ilen + 1) * record + ilen});
      }
      break;
    }
    case Kind::Property:
    case Kind::Getter:
      break;
  }
  return w;
}

void call(const RoutineCase& r, Case& c) {
  double result = 0.0;
  int64_t ierr = 0;
  switch (r.kind) {
    case Kind::Flash:
      KVT_HXFLSH(c.strm.data(), &c.nstrm, &c.iside, &c.islot, &c.kspec, &c.kphs, &c.kpeq, &ierr);
      break;
    case Kind::Setter:
      r.setter(c.strm.data(), nullptr, nullptr, &c.value);
      break;
    default:
      r.property(c.strm.data(), &c.nstrm, &c.iside, &c.iphs, &c.ibas, &result, &ierr);
      break;
  }
}

class WriteSet : public ::testing::TestWithParam<RoutineCase> {
 protected:
  void SetUp() override { rec::reset(); }
};

TEST_P(WriteSet, ChangesOnlyWhatTheRoutineMayWrite) {
  const RoutineCase& r = GetParam();
  for (int seed = 1; seed <= kCasesPerRoutine; ++seed) {
    Random rnd(static_cast<uint64_t>(seed) * 7919u + std::hash<std::string>{}(r.name));
    Case c = make_case(rnd);
    const Snapshot before = take_snapshot(c.strm, c.layout.end);
    call(r, c);
    const Snapshot after = take_snapshot(c.strm, c.layout.end);
    const std::string stray = stray_writes(before, after, may_write(r, c));
    ASSERT_EQ(stray, "") << r.name << " seed " << seed << " (NCOMP " << c.ncomp << ", N " << c.n << ", ISIDE "
                         << c.iside << ", IPHS " << c.iphs << ", ISLOT " << c.islot << ", KSPEC " << c.kspec << ")";
  }
}

const RoutineCase kRoutines[] = {
    {"HXFLSH", Kind::Flash},
    {"HXPFRC", Kind::Property, KVT_HXPFRC},
    {"HXPMWT", Kind::Property, KVT_HXPMWT},
    {"HXPMFL", Kind::Property, KVT_HXPMFL},
    {"HXPQFL", Kind::Property, KVT_HXPQFL},
    {"HXPCPP", Kind::Property, KVT_HXPCPP},
    {"HXPTHC", Kind::Property, KVT_HXPTHC},
    {"HXPVIS", Kind::Property, KVT_HXPVIS},
    {"HXPSFT", Kind::Property, KVT_HXPSFT},
    {"HXPDNS", Kind::Property, KVT_HXPDNS},
    {"HXPTHV", Kind::Property, KVT_HXPTHV},
    {"HXPTMC", Kind::Critical, KVT_HXPTMC},
    {"HXPPRC", Kind::Critical, KVT_HXPPRC},
    {"HXPTMP", Kind::Getter, KVT_HXPTMP},
    {"HXPPRS", Kind::Getter, KVT_HXPPRS},
    {"HXUTMP", Kind::Setter, nullptr, KVT_HXUTMP, 2},
    {"HXUPRS", Kind::Setter, nullptr, KVT_HXUPRS, 3},
    {"HXUNTH", Kind::Setter, nullptr, KVT_HXUNTH, 4},
    {"HXUVFR", Kind::Setter, nullptr, KVT_HXUVFR, 5},
};

INSTANTIATE_TEST_SUITE_P(EveryRoutine, WriteSet, ::testing::ValuesIn(kRoutines),
                         [](const ::testing::TestParamInfo<RoutineCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kvt::test
