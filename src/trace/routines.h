// Every routine's trace: its switch word in KVT_HXPDBG and how the word is tested, and the lines it
// writes after the heading. Labels are written with their exact length, trailing blanks included.
#pragma once

#include <cstdint>
#include <string_view>

#include "kvt/kvt.h"

namespace kvt::trace {

enum class Test { EqualsOne, AtLeastOne };

// Which compositions of the last flash a trace lists.
enum class Comps {
  None,
  ByPhase,           // X for codes 1 and 3, Y for 1 and 2, X1 for 4, X2 for 5
  ByPhaseNoVapour,   // as ByPhase, never Y
  Overall,           // Z
};

struct Routine {
  std::string_view name;  // heading name: the exported name without "KVT_"
  int switch_word;
  Test test;
  bool phase_line;            // integer "IPHS " = normalised phase code
  bool basis_line;            // integer "IBAS " = normalised basis
  std::string_view count_label;  // integer = N (flash components); empty: no such line
  bool conditions;            // reals "T" and "P" of the stream
  Comps comps;
  std::string_view volume_label;  // real = mixture volume; empty: no such line
  std::string_view result_label;
};

// Lines after the heading, in order: "NSTRM"; phase; basis; count; elements "STRM"; "T"; "P";
// compositions; volume; result.
inline constexpr Routine kHxpfrc{"HXPFRC", KVT_TRACE_HXPFRC, Test::EqualsOne, false, false, "", true, Comps::ByPhase, "", "FRC"};
inline constexpr Routine kHxpmwt{"HXPMWT", KVT_TRACE_HXPMWT, Test::AtLeastOne, false, false, "", true, Comps::ByPhase, "", "MWT"};
inline constexpr Routine kHxpmfl{"HXPMFL", KVT_TRACE_HXPMFL, Test::AtLeastOne, false, false, "", true, Comps::ByPhase, "", "MFL"};
inline constexpr Routine kHxpqfl{"HXPQFL", KVT_TRACE_HXPQFL, Test::AtLeastOne, false, false, "", true, Comps::ByPhase, "", "QFL"};
inline constexpr Routine kHxpcpp{"HXPCPP", KVT_TRACE_HXPCPP, Test::AtLeastOne, true, true, "NCPM  ", true, Comps::ByPhase, "", "CPP"};
inline constexpr Routine kHxpthc{"HXPTHC", KVT_TRACE_HXPTHC, Test::AtLeastOne, true, false, "NCPM  ", true, Comps::ByPhase, "", "THC"};
inline constexpr Routine kHxpvis{"HXPVIS", KVT_TRACE_HXPVIS, Test::AtLeastOne, true, false, "NCPM  ", true, Comps::ByPhase, "", "VIS"};
inline constexpr Routine kHxpsft{"HXPSFT", KVT_TRACE_HXPSFT, Test::AtLeastOne, true, false, "NCPM  ", true, Comps::ByPhaseNoVapour, "", "SFT"};
inline constexpr Routine kHxpdns{"HXPDNS", KVT_TRACE_HXPDNS, Test::AtLeastOne, true, false, "NCPM ", true, Comps::ByPhase, "VOL", "DNS"};
inline constexpr Routine kHxpthv{"HXPTHV", KVT_TRACE_HXPTHV, Test::EqualsOne, false, false, "", false, Comps::None, "", "THV"};
inline constexpr Routine kHxptmc{"HXPTMC", KVT_TRACE_HXPTMC, Test::EqualsOne, false, false, "NCPM ", true, Comps::Overall, "", "TMC"};
inline constexpr Routine kHxpprc{"HXPPRC", KVT_TRACE_HXPPRC, Test::EqualsOne, false, false, "NCPM", true, Comps::Overall, "", "PRC"};
inline constexpr Routine kHxptmp{"HXPTMP", KVT_TRACE_HXPTMP, Test::EqualsOne, false, false, "", false, Comps::None, "", "TMP"};
inline constexpr Routine kHxpprs{"HXPPRS", KVT_TRACE_HXPPRS, Test::EqualsOne, false, false, "", false, Comps::None, "", "PRS"};

// The flash writes three parts of its own under word 1, tested for equality with 1: at entry
// "NSTRM", "NCC" (NCOMP) and "STRM"; before the flash "NSUBS" (no heading); at the end "NCPM",
// "TCALC", "PCALC", "VCALC", "QCALC", "X", "Y", "VL", "VV" (no heading). Its integers take 3 positions.
inline constexpr std::string_view kFlashName = "HXFLSH";
inline constexpr int kFlashSwitch = KVT_TRACE_HXFLSH;
inline constexpr int kFlashIntWidth = 3;

inline bool enabled(int switch_word, Test test) {
  const int64_t w = KVT_HXPDBG[switch_word - 1];
  return test == Test::EqualsOne ? w == 1 : w >= 1;
}
inline bool enabled(const Routine& r) { return enabled(r.switch_word, r.test); }

}  // namespace kvt::trace
