// What every host routine is handed: one table of each routine's argument roles, checked on every
// call that the library makes while every routine runs over every side, phase and basis and the
// flash over its specification kinds and retention records.
#include <map>
#include <set>
#include <vector>

#include "support/scenario.h"

namespace kvt::test {
namespace {

// Argument roles. Strm, T, P: the caller's stream vector and its temperature and pressure slots;
// TValue, PValue: a word holding the stream temperature, a positive pressure; Nsubs, Desc1, Desc2:
// KVT_IHXPP word 26 and the two substream descriptor lists, NSUBS words apart; Zero, One, Two: a word
// holding that; Word: a value the flash's own table checks; Options: a copy of the side's option list
// (word 1 may be the water rule's word 5); Monitor, FlashWord, Common: KVT_IHXPP words 21, 22, 23;
// Ncpm: VOKA_STWKWK word 3; Complist, Component: the component-number list, one of its words; Z,
// Liquid (X1 or X2), Vapour (Y): full compositions; PackedL, PackedV: a liquid's or the vapour's
// packed fractions, then PackedN (a copy of that group's count) and PackedNum (its numbers);
// CritCount: N or the count the host's packing just wrote; CritWork: the critical-point work space;
// Record: a retention or scratch record; Sbd: the side's word of KVT_HXSBD; Status: the status word
// the host's flash filled; CallerIerr: the caller's IERR; Out: any word the host may write.
enum Role {
  Strm, T, P, TValue, PValue, Nsubs, Desc1, Desc2, Zero, One, Two, Word, Options, Monitor, FlashWord, Common, Ncpm,
  Complist, Component, Z, Liquid, Vapour, PackedL, PackedV, PackedN, PackedNum, CritCount, CritWork, Record, Sbd,
  Status, CallerIerr, Out
};

const std::vector<Role> kLiquidTransport = {T, P, PackedL, PackedN, PackedNum, Options, Common, Out, CallerIerr};
const std::vector<Role> kVapourTransport = {T, P, PackedV, PackedN, PackedNum, Options, Common, Out, CallerIerr};
const std::vector<Role> kPure = {TValue, PValue, One, Component, Options, Common, Monitor, One, One, One, One, One,
                                 Out, Out, Out, Out, Out, Out, Out, Out, Out, Out, Out};
const std::map<std::string, std::vector<Role>, std::less<>> kContract = {
    {"TEBU_SETH", {Strm, Nsubs, Desc1, Desc2, Zero}},
    {"TEBU_TOTFLO", {Strm, Nsubs, Desc1, Desc2, Out}},
    {"TEBU_TOTMAS", {Strm, Nsubs, Desc1, Desc2, Out}},
    {"TEBU_TOTENT", {Strm, Nsubs, Desc1, Desc2, Out}},
    {"TEBU_CPACK", {Strm, Out, Complist, Z, Out}},
    {"WEND_FLASH", {Strm, Nsubs, Desc1, Desc2, Word, Word, Word, Word, Word, Word, Word, Word, Word, FlashWord,
                    Common, Word, One, Record, Record, Out}},
    {"WEND_FLSTAT", {One, Status}},
    {"WEND_CRTCAL", {CritCount, Out, Complist, CritWork, Out, Out, Out, Out, Out}},
    {"MUTO_PEQPT1", {Sbd}},
    {"GOSA_ENTHL", {T, P, Liquid, Ncpm, Complist, Options, Common, Monitor, Two, Out, Out, Out}},
    {"GOSA_ENTHV", {T, P, Vapour, Ncpm, Complist, Options, Common, Monitor, Two, Out, Out, Out}},
    {"GOSA_TCONL", kLiquidTransport},
    {"GOSA_TCONV", kVapourTransport},
    {"GOSA_VISCL", kLiquidTransport},
    {"GOSA_VISCV", kVapourTransport},
    {"GOSA_SRFTEN", kLiquidTransport},
    {"GOSA_VTHRM", kPure}, {"GOSA_LTHRM", kPure},
    {"NERO_IDXWAT", {Complist, Ncpm}},
    {"LORI_PL001", {TValue, One, Component, One, One, Common, Out, Out}},
};

class HostCalls : public Scenario {
 protected:
  const void* plex(int64_t pos) { return rec::plex_addr(pos); }
  const void* comp(rec::Comp c) { return plex(rec::comp_pos(c)); }
  bool in_plex(const void* p, int64_t first, int64_t words) { return p >= plex(first) && p < plex(first + words); }
  // The group among `groups` whose packed fractions are at p, else 0.
  int group_of(const void* p, std::initializer_list<int> groups) {
    for (int g : groups) if (p == plex(KVT_WORD(KVT_HXPKV, KVT_HXPKV_FRACTIONS + g - 1))) return g;
    return 0;
  }

  // Checks every call recorded since `from` against the table; side: the option set in use.
  void check_calls(std::size_t from, int64_t side, const int64_t* ierr) {
    const int64_t descriptors = layout.int_base + rec::stwork_int(29);
    const int64_t nsubs = KVT_WORD(KVT_IHXPP, KVT_IHXPP_NSUBS);
    const int64_t* last_count = nullptr;
    const void* last_status = nullptr;
    const void* pressure_code = nullptr;
    for (std::size_t k = from; k < host().calls.size(); ++k) {
      const rec::Call& c = host().calls[k];
      seen.insert(c.name);
      const auto it = kContract.find(c.name);
      ASSERT_NE(it, kContract.end()) << c.name;
      const std::vector<Role>& roles = it->second;
      ASSERT_EQ(c.args.size(), roles.size()) << c.name;
      int group = 0;
      std::set<const void*> addresses;
      for (std::size_t a = 1; a <= roles.size(); ++a) {
        const rec::Arg& arg = c[a];
        const void* p = arg.addr;
        SCOPED_TRACE(c.name + " argument " + std::to_string(a));
        EXPECT_TRUE(addresses.insert(p).second) << "every argument is a word of its own";
        switch (roles[a - 1]) {
          case Strm: EXPECT_EQ(p, strm.data()); break;
          case T: EXPECT_EQ(p, &slot(2)); break;
          case P: EXPECT_EQ(p, &slot(3)); break;
          case TValue: EXPECT_EQ(arg.real(), slot(2)); break;
          case PValue: EXPECT_GT(arg.real(), 0.0); break;
          case Nsubs: EXPECT_EQ(p, &KVT_WORD(KVT_IHXPP, KVT_IHXPP_NSUBS)); break;
          case Desc1: EXPECT_EQ(p, plex(descriptors)); break;
          case Desc2: EXPECT_EQ(p, plex(descriptors + nsubs)); break;
          case Zero: EXPECT_EQ(arg.word, 0); break;
          case One: EXPECT_EQ(arg.word, 1); break;
          case Two: EXPECT_EQ(arg.word, 2); break;
          case Options:
            EXPECT_TRUE(p < static_cast<const void*>(KVT_IHXPP) || p >= static_cast<const void*>(KVT_IHXPP + 28));
            EXPECT_TRUE(arg.word == option_word(1, side) || arg.word == option_word(5, side)) << arg.word;
            break;
          case Monitor: EXPECT_EQ(p, &KVT_WORD(KVT_IHXPP, KVT_IHXPP_MONITOR)); break;
          case FlashWord: EXPECT_EQ(p, &KVT_WORD(KVT_IHXPP, KVT_IHXPP_FLASH)); break;
          case Common: EXPECT_EQ(p, &KVT_WORD(KVT_IHXPP, KVT_IHXPP_COMMON)); break;
          case Ncpm: EXPECT_EQ(p, &VOKA_STWKWK[2]); break;
          case Complist: EXPECT_EQ(p, plex(rec::complist_pos())); break;
          case Component: EXPECT_TRUE(in_plex(p, rec::complist_pos(), VOKA_STWKWK[2])); break;
          case Z: EXPECT_EQ(p, comp(rec::Comp::Z)); break;
          case Liquid: EXPECT_TRUE(p == comp(rec::Comp::X1) || p == comp(rec::Comp::X2)); break;
          case Vapour: EXPECT_EQ(p, comp(rec::Comp::Y)); break;
          case PackedL: EXPECT_NE(group = group_of(p, {KVT_GROUP_LIQUID1, KVT_GROUP_LIQUID2}), 0); break;
          case PackedV: EXPECT_NE(group = group_of(p, {KVT_GROUP_VAPOUR}), 0); break;
          case PackedN:
            EXPECT_EQ(arg.word, rec::plex_int(KVT_WORD(KVT_HXPKV, KVT_HXPKV_COUNT + group - 1)));
            EXPECT_NE(p, plex(KVT_WORD(KVT_HXPKV, KVT_HXPKV_COUNT + group - 1))) << "the host gets a copy of the count";
            break;
          case PackedNum: EXPECT_EQ(p, plex(KVT_WORD(KVT_HXPKV, KVT_HXPKV_NUMBERS + group - 1))); break;
          case CritCount: EXPECT_TRUE(p == &VOKA_STWKWK[2] || p == last_count); break;
          case CritWork: EXPECT_EQ(p, plex(layout.real_base + rec::stwork_int(20))); break;
          case Record: EXPECT_TRUE(in_plex(p, layout.real_base, layout.end - layout.real_base)); break;
          case Sbd: EXPECT_EQ(p, &KVT_HXSBD[side]); break;
          case Status: EXPECT_EQ(p, last_status); break;
          case CallerIerr: EXPECT_EQ(p, ierr); break;
          case Word: case Out: break;
        }
      }
      // the pressure function's code word is its own, not one the enthalpy calls after it are handed
      if (c.name == "LORI_PL001") pressure_code = c[5].addr;
      for (std::size_t a = 8; a <= 12 && c.name.ends_with("THRM"); ++a) EXPECT_NE(c[a].addr, pressure_code) << c.name << " " << a;
      if (c.name == "TEBU_CPACK") last_count = static_cast<const int64_t*>(c[2].addr);
      if (c.name == "WEND_FLASH") last_status = c[20].addr;
    }
  }
  std::set<std::string> seen;
};

TEST_F(HostCalls, EveryCallKeepsItsRoutinesContract) {
  host().idxwat = 2;
  KVT_WORD(KVT_IHXPP, KVT_IHXPP_NSUBS) = 2;
  const Routine routines[] = {KVT_HXPFRC, KVT_HXPMWT, KVT_HXPMFL, KVT_HXPQFL, KVT_HXPCPP, KVT_HXPTHC, KVT_HXPVIS,
                              KVT_HXPSFT, KVT_HXPDNS, KVT_HXPTHV, KVT_HXPTMC, KVT_HXPPRC, KVT_HXPTMP, KVT_HXPPRS};
  for (int64_t side : {0, 1}) {
    for (int64_t kspec = 0; kspec <= 6; ++kspec) {
      KVT_WORD(KVT_IHXPP, KVT_IHXPP_RETENTION) = kspec % 3;
      const std::size_t from = host().calls.size();
      flash(side, kspec, kspec, kspec % 4, KVT_PEQ_ON);
      check_calls(from, side, nullptr);
    }
    // A first liquid of pure water: with side 1's water switch, its option copy takes word 5.
    rec::set_composition(rec::Comp::X1, {0.0, 1.0, 0.0});
    for (Routine r : routines) {
      for (int64_t iphs = 1; iphs <= 5; ++iphs) {
        for (int64_t ibas : {0, 1}) {
          const std::size_t from = host().calls.size();
          Answer a{0.0, 0};
          r(strm.data(), &nstrm, &side, &iphs, &ibas, &a.value, &a.ierr);
          check_calls(from, side, &a.ierr);
        }
      }
    }
  }
  for (const auto& [name, roles] : kContract) EXPECT_TRUE(seen.contains(name)) << name << " never called";
}

}  // namespace
}  // namespace kvt::test
