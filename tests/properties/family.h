// The phase-property family under test and the three-phase flash result that its tests start from.
#pragma once

#include <string>
#include <vector>

#include "support/fixture.h"

namespace kvt::test {

// How a member of the family treats the phases.
enum class Phases {
  All,      // vapour, liquids and whole stream
  Liquids,  // vapour always missing; the whole stream is the total liquid
};

struct Member {
  const char* name;
  PropertyRoutine routine;
  Phases phases;
  std::vector<std::string> liquid_calls;  // host routines that evaluate a liquid
  std::vector<std::string> vapour_calls;  // host routines that evaluate the vapour
  int option_arg;                         // argument number of the phase option copy (0: none)
  int trace_word;                         // switch word of KVT_HXPDBG
  bool trace_equals_one;                  // switch tested for equality with 1 (else at least 1)
};

inline const Member kCpp{"HXPCPP", KVT_HXPCPP, Phases::All, {"GOSA_ENTHL"}, {"GOSA_ENTHV"}, 6, 2, false};
inline const Member kThc{"HXPTHC", KVT_HXPTHC, Phases::All, {"GOSA_TCONL"}, {"GOSA_TCONV"}, 6, 13, false};
inline const Member kVis{"HXPVIS", KVT_HXPVIS, Phases::All, {"GOSA_VISCL"}, {"GOSA_VISCV"}, 6, 17, false};
inline const Member kSft{"HXPSFT", KVT_HXPSFT, Phases::Liquids, {"GOSA_SRFTEN"}, {}, 6, 12, false};
inline const Member kDns{"HXPDNS", KVT_HXPDNS, Phases::All, {}, {}, 0, 3, false};
inline const Member kThv{"HXPTHV", KVT_HXPTHV, Phases::Liquids, {"LORI_PL001", "GOSA_VTHRM", "GOSA_LTHRM"}, {}, 5,
                         14,       true};

// Names for TEST_P instantiations over members.
inline std::string member_name(const ::testing::TestParamInfo<const Member*>& info) { return info.param->name; }

// Every routine of the host's property monitor.
inline const std::vector<std::string> kMonitor = {"GOSA_ENTHL", "GOSA_ENTHV", "GOSA_TCONL",  "GOSA_TCONV",
                                                  "GOSA_VISCL", "GOSA_VISCV", "GOSA_SRFTEN", "GOSA_VTHRM",
                                                  "GOSA_LTHRM", "LORI_PL001"};

// Option lists: side 0 words 1-6 = 11..16, side 1 words 11-16 = 21..26; word 21 = 121, word 23 = 123.
inline constexpr int64_t kSide0Word1 = 11, kSide0Word5 = 15, kSide1Word1 = 21, kSide1Word5 = 25;

// Three flash components with host numbers 2, 5 and 7 (molecular weights 16, 32 and 64).
//   Y  = 0.5, 0.25, 0.25 -> vapour molecular weight 32
//   X1 = 0.75, 0.25, 0   -> first-liquid molecular weight 20
//   X2 = 0, 0.5, 0.5     -> second-liquid molecular weight 48
// Stream vapour fraction 0.25 and liquid split 0.75 give the mole fractions FV 0.25, FL1 0.5625,
// FL2 0.1875. With the stream molecular weight 32 the mass fractions are FV 0.25,
// FL1 0.5625 * 20 / 32 = 0.3515625 and FL2 0.1875 * 48 / 32 = 0.28125.
// Molar volumes: vapour 16, first liquid 0.125, second liquid 0.0625.
class FamilyTest : public KvtTest {
 protected:
  void SetUp() override {
    KvtTest::SetUp();
    FlashResult r = mixed_liquids_flash();
    r.molwt[0] = 32.0;
    r.molwt[1] = 26.0;
    r.molwt[2] = 20.0;
    r.molwt[3] = 48.0;
    r.volume[0] = 16.0;
    r.volume[1] = 1.0;
    r.volume[2] = 0.125;
    r.volume[3] = 0.0625;
    script_flash(r);
    rec::set_molwt(2, 16.0);
    rec::set_molwt(5, 32.0);
    rec::set_molwt(7, 64.0);
    // Packed compositions as the flash leaves them: group 1 liquid, 2 first liquid, 3 second
    // liquid, 4 vapour.
    pack(1, {2, 5, 7}, {0.5625, 0.3125, 0.125});
    pack(2, {2, 5}, {0.75, 0.25});
    pack(3, {5, 7}, {0.5, 0.5});
    pack(4, {2, 5, 7}, {0.5, 0.25, 0.25});
    for (int k = 0; k < 6; ++k) {
      KVT_IHXPP[k] = 11 + k;
      KVT_IHXPP[10 + k] = 21 + k;
    }
    KVT_IHXPP[20] = 121;
    KVT_IHXPP[22] = 123;
    stream().v[0] = 1.0;
    stream().v[1] = 2.0;
    stream().v[2] = 1.0;
    stream().slot(2) = 350.0;
    stream().slot(3) = 2.0e5;
    stream().slot(5) = 0.25;
    stream().slot(9) = 32.0;
  }

  void pack(int group, const std::vector<int64_t>& numbers, const std::vector<double>& fractions) {
    rec::set_plex_int(KVT_HXPKV[group - 1], static_cast<int64_t>(numbers.size()));
    for (std::size_t i = 0; i < numbers.size(); ++i) {
      rec::set_plex_int(KVT_HXPKV[group + 4] + static_cast<int64_t>(i), numbers[i]);
      rec::set_plex_real(KVT_HXPKV[group + 9] + static_cast<int64_t>(i), fractions[i]);
    }
  }

  // The stream's vapour fraction and the flash's liquid split.
  void set_split(double vf, double beta) {
    stream().slot(5) = vf;
    rec::set_stwkwk_real(23, beta);
  }

  // Calls to the host's property monitor, in order.
  std::vector<const rec::Call*> monitor_calls() const {
    std::vector<const rec::Call*> out;
    for (const rec::Call& c : rec::host().calls) {
      for (const std::string& n : kMonitor) {
        if (c.name == n) out.push_back(&c);
      }
    }
    return out;
  }

  const void* strm_slot(int64_t k) { return &stream().slot(k); }
};

}  // namespace kvt::test
