// kvt-hostcheck proven on both sides: the reference host passes every check with its one-, two- and
// three-phase streams, and the reference host with one fault fails exactly the check for that fault.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <cstring>
#include <functional>
#include <regex>
#include <set>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "faulty_host.h"
#include "kvt/host.h"
#include "kvt/hostcheck.h"
#include "kvt/kvt.h"
#include "kvt_reference/reference_host.h"

extern "C" int kvt_hostcheck_setup(kvt_hostcheck_input* input);

namespace {

struct Outcome {
  std::set<std::string> failed;         // names of the failed checks
  std::set<std::string> folded;         // names of the checks whose findings follow from a failed one's
  std::vector<std::string> findings;    // the lines under them
  std::vector<std::string> folds;       // "folded under <check>: ..." lines
  std::string summary;
  std::vector<std::string> lines;       // every line, in order
};

Outcome run(const kvt_hostcheck_input& in) {
  Outcome out;
  kvt_hostcheck_run(&in, [](void* context, const char* line) {
    auto& o = *static_cast<Outcome*>(context);
    const std::string text = line;
    o.lines.push_back(text);
    if (text.rfind("FAIL ", 0) == 0) o.failed.insert(text.substr(5, text.find(' ', 5) - 5));
    if (text.rfind("FOLD ", 0) == 0) o.folded.insert(text.substr(5, text.find(' ', 5) - 5));
    const bool aside = text.find("note:") != std::string::npos || text.find("skipped:") != std::string::npos;
    const bool fold = text.rfind("       folded under ", 0) == 0;
    if (text.rfind("       ", 0) == 0 && !aside) (fold ? o.folds : o.findings).push_back(text);
    if (text.rfind("summary:", 0) == 0) o.summary = text;
  }, &out);
  return out;
}

int phases(const kvt_hostcheck_stream& s) {
  const int64_t n = VOKA_NCOMP[0];
  const double vf = s.strm[n + 4], split = s.strm[n + 5];  // slots NCOMP+5, NCOMP+6 of the reference host
  return (vf > 0.0) + (vf < 1.0) * ((split > 0.0) + (split < 1.0));
}

// The coverage check names the routines it leaves uncalled, whatever else it notes or finds.
bool names_uncalled(const Outcome& out) {
  return std::find(out.lines.begin(), out.lines.end(),
                   "       note: not called by the checker: WEND_CRTCAL, TEBU_CPACK, MUTO_PEQPT1 (UNIT_WRITE: by trace)") !=
         out.lines.end();
}

// The setup's components in the reverse order (nitrogen, water, n-heptane, n-hexane): the same streams, their
// flows reversed, the packed lists and records laid out again.
void reverse_components(kvt_hostcheck_input& in) {
  namespace reference = kvt::reference;
  static std::vector<std::vector<double>> vectors;
  static std::vector<kvt_hostcheck_stream> streams;
  vectors.clear();
  for (int64_t k = 0; k < in.nstreams; ++k) {
    const kvt_hostcheck_stream& s = in.streams[k];
    const int64_t n = VOKA_NCOMP[0];
    std::vector<double> flows(s.strm, s.strm + n);
    std::reverse(flows.begin(), flows.end());
    vectors.push_back({flows.begin(), flows.end()});
    vectors.back().push_back(s.strm[n + 1]), vectors.back().push_back(s.strm[n + 2]);  // T, P
  }
  reference::select_components({"nitrogen", "water", "n-heptane", "n-hexane"});
  const reference::RetentionPositions records = reference::allocate_retention_records(10);
  in.ihxpp[KVT_IHXPP_INT_RECORDS - 1] = records.integer_records, in.ihxpp[KVT_IHXPP_REAL_RECORDS - 1] = records.real_records;
  const std::array<int64_t, 16> packed = reference::allocate_packed_lists();
  std::copy(packed.begin(), packed.end(), in.hxpkv);
  streams.assign(in.streams, in.streams + in.nstreams);
  for (std::size_t k = 0; k < streams.size(); ++k) {
    std::vector<double>& v = vectors[k];
    const double t = v[4], p = v[5];
    v = reference::make_stream(std::span(v.data(), 4), t, p, streams[k].side == 0);
    streams[k].strm = v.data(), streams[k].nstrm = static_cast<int64_t>(v.size());
  }
  in.streams = streams.data();
}

// The last work-array word the reference host's setup uses: its packed lists come last.
int64_t words_in_use(const kvt_hostcheck_input& in) { return in.hxpkv[13] + VOKA_NCOMP[0] - 1; }

// Empty when v meets the schema s, else where it does not: the part of JSON Schema the documented schema uses
// (type, enum, required, properties, items), with no member beyond its properties.
std::string invalid(const nlohmann::json& v, const nlohmann::json& s, const std::string& at = "$") {
  const std::string type = s.value("type", "");
  if (!((type == "object" && v.is_object()) || (type == "array" && v.is_array()) ||
        (type == "string" && v.is_string()) || (type == "integer" && v.is_number_integer()))) {
    return at + ": not of type " + type;
  }
  if (s.contains("enum") && std::find(s["enum"].begin(), s["enum"].end(), v) == s["enum"].end()) return at + ": " + v.dump();
  for (const auto& r : s.value("required", nlohmann::json::array())) {
    if (!v.contains(r.get<std::string>())) return at + ": lacks " + r.get<std::string>();
  }
  for (const auto& [key, value] : v.items()) {
    if (!v.is_object()) break;
    if (!s["properties"].contains(key)) return at + "." + key + ": not in the schema";
    if (std::string why = invalid(value, s["properties"][key], at + "." + key); !why.empty()) return why;
  }
  for (std::size_t i = 0; v.is_array() && i < v.size(); ++i) {
    if (std::string why = invalid(v[i], s["items"], at + "[" + std::to_string(i) + "]"); !why.empty()) return why;
  }
  return {};
}

// The schema of the JSON report: the json block after its heading in docs/hostcheck.md.
nlohmann::json report_schema() {
  std::ifstream doc(HOSTCHECK_DOC);
  const std::string text((std::istreambuf_iterator<char>(doc)), std::istreambuf_iterator<char>());
  const std::size_t from = text.find("```json\n", text.find("## The JSON report")) + 8;
  return nlohmann::json::parse(text.substr(from, text.find("```", from) - from));
}

// The reference host passes every check as set up; as a host without retention records (mode 0, no
// record positions) or surface tensions (0 is allowed); as one whose pure water has no liquid enthalpy
// where no stream holds water (the library asks only for components in the vapour); as one that
// insists on the arguments the library hands it (its flash tolerance from the side's real option, three
// phases with free water, codes of 1); as hosts that write no more than the library reads or list only
// the components with flow; and with layouts at the edges of what is allowed.
struct Passing {
  const char* name;
  Fault fault;
  std::function<void(kvt_hostcheck_input&)> layout;
};
const Passing kPassing[] = {
    {"as set up", Fault::none, nullptr},
    {"without retention or surface tension", Fault::no_surface_tension,
     [](kvt_hostcheck_input& in) {
       for (int w : {KVT_IHXPP_RETENTION, KVT_IHXPP_INT_RECORDS, KVT_IHXPP_REAL_RECORDS}) in.ihxpp[w - 1] = 0;
     }},
    {"with water's liquid enthalpy from 310 K, above the streams without water", Fault::water_from_310_k, nullptr},
    {"insisting on its arguments", Fault::strict_arguments,
     [](kvt_hostcheck_input& in) {
       for (int side : {0, 1}) in.rhxpp[side * KVT_SIDE_STRIDE_R + KVT_RHXPP_FLASH_REAL - 1] = 1e-9;
     }},
    {"keeping a flash's specified enthalpy or vapour fraction in its slot as given", Fault::specified_slots_kept,
     nullptr},
    {"leaving the first liquid's words alone where it is the only liquid", Fault::one_liquid_alone, nullptr},
    {"with one liquid's split a rounding short of 1, no second liquid's composition", Fault::split_short_of_one,
     nullptr},
    {"computing heat capacities only when asked", Fault::heat_capacity_on_request, nullptr},
    {"refusing flashes in a vacuum", Fault::vacuum_refused, nullptr},
    {"without the liquid's packed lists (group 1)", Fault::none,
     [](kvt_hostcheck_input& in) { in.hxpkv[0] = in.hxpkv[5] = in.hxpkv[10] = 0; }},
    {"with the liquid's count word at PLEX 1", Fault::none, [](kvt_hostcheck_input& in) { in.hxpkv[0] = 1; }},
    {"with real retention records of no words", Fault::none, [](kvt_hostcheck_input&) { TEBU_STWORK[0] = 0; }},
    {"with a work array of the few hundred words it uses", Fault::none,
     [](kvt_hostcheck_input& in) { in.plex_words = words_in_use(in); }},
    {"with its packed lists and records at the far end of the work array", Fault::none,
     [](kvt_hostcheck_input& in) {
       const int64_t shift = in.plex_words - words_in_use(in);
       for (int64_t& w : in.hxpkv) w += w > 0 ? shift : 0;
       for (int w : {KVT_IHXPP_INT_RECORDS, KVT_IHXPP_REAL_RECORDS}) in.ihxpp[w - 1] += shift;
     }},
    {"with a slow flash", Fault::slow_flash, nullptr},
    {"with its components in another order", Fault::none, reverse_components},
    {"listing only components with flow, pure water needing the water method (water last in the list)",
     Fault::present_components_water_method,
     [](kvt_hostcheck_input& in) {
       in.ihxpp[KVT_IHXPP_OPTION_LIST - 1] = 1, in.ihxpp[KVT_IHXPP_OPTION_LIST + 3] = 2;
       const_cast<double*>(in.streams[3].strm)[3] = 0.0;  // no nitrogen in the free-water stream (the host's vector)
     }},
};

TEST(Hostcheck, ReferenceHostPassesEveryCheckWithOneTwoAndThreePhases) {
  for (const Passing& c : kPassing) {
    SCOPED_TRACE(c.name);
    kvt_hostcheck_input in{};
    ASSERT_EQ(kvt_hostcheck_setup(&in), 0);
    std::multiset<int> counts;
    for (int64_t k = 0; k < in.nstreams; ++k) counts.insert(phases(in.streams[k]));
    EXPECT_EQ(counts, (std::multiset<int>{1, 1, 2, 3}));
    if (c.layout) c.layout(in);
    const std::string json = testing::TempDir() + "hostcheck_report.json";
    in.json_file = json.c_str();
    fault = c.fault;
    const Outcome out = run(in);
    fault = Fault::none;
    EXPECT_EQ(out.failed, std::set<std::string>{});
    // the JSON report meets its documented schema and says what the text says
    std::ifstream file(json);
    const nlohmann::json report = nlohmann::json::parse(file);
    EXPECT_EQ(invalid(report, report_schema()), "");
    EXPECT_EQ(report["summary"]["passed"], 23);
    std::remove(json.c_str());
    EXPECT_EQ(out.lines.front(),
              "kvt-hostcheck: NCOMP 4, work array of " + std::to_string(in.plex_words) + " words, 4 streams");
    EXPECT_EQ(out.summary, "summary: 23 of 23 checks passed, 0 failed");
    // the time of the first flash and an estimate of the whole run, up front
    EXPECT_TRUE(std::regex_match(out.lines[2], std::regex(R"( +note: the first flash took [0-9]+ m?s; the checks )"
                                                          R"(make about [0-9]+ flashes: about [0-9]+ m?s .*)")))
        << out.lines[2];
    // each check says how many cases it ran (retention none without records); the coverage check names the
    // routines it leaves uncalled
    int passed = 0;
    for (const std::string& l : out.lines) {
      if (l.rfind("PASS ", 0) != 0) continue;
      ++passed;
      const bool counted = std::regex_search(l, std::regex(R"( \([1-9][0-9]* cases\)$)"));
      EXPECT_EQ(counted, in.ihxpp[KVT_IHXPP_RETENTION - 1] != 0 || l.rfind("PASS retention ", 0) != 0) << l;
    }
    EXPECT_EQ(passed, 23);
    // every flash check counts at least the five flash kinds of each stream
    static const std::regex flash_check(R"(^PASS (flash-[a-z]+|component-list|phase-split|compositions|phase-table|)"
                                        R"(stream-totals) .* \(([0-9]+) cases\)$)");
    for (const std::string& l : out.lines) {
      std::smatch m;
      if (std::regex_match(l, m, flash_check)) {
        EXPECT_GE(std::stoll(m[2]), 5 * in.nstreams) << l;
      }
    }
    EXPECT_TRUE(names_uncalled(out));
  }
}

struct FaultCase {
  const char* name;
  const char* check;  // the one check that must fail
  Fault fault;
  std::function<void(kvt_hostcheck_input&)> layout;  // a layout fault, made after the setup
  const char* says = nullptr;  // what a finding of the check says ('#': a number); none: "expected ...; found ..."
  std::function<std::string()> names = nullptr;  // what the first finding names (a position from the host's blocks)
};

bool says(const std::string& finding, const std::string& text) {
  std::string pattern;
  for (char ch : text) {
    const bool special = std::strchr(".^$|()[]{}*+?\\", ch) != nullptr;
    pattern += ch == '#' ? std::string("[0-9]+") : special ? std::string("\\") + ch : std::string(1, ch);
  }
  return std::regex_search(finding, std::regex(pattern));
}

bool verdict(const std::string& line) {
  return line.rfind("PASS ", 0) == 0 || line.rfind("FAIL ", 0) == 0 || line.rfind("SKIP ", 0) == 0;
}

const FaultCase kFaults[] = {
    {"packed list past the end of the work array", "positions", Fault::none,
     [](kvt_hostcheck_input& in) { in.hxpkv[8] = in.plex_words - 1; }},
    {"scratch integer record on the descriptor lists", "host-areas", Fault::none,
     [](kvt_hostcheck_input&) { TEBU_STWORK[29] = TEBU_STWORK[28]; }},
    {"vapour fractions list over the liquid composition", "packed-lists", Fault::none,
     [](kvt_hostcheck_input& in) { in.hxpkv[13] = VOKA_STWKWK[0] + TEBU_STWORK[15]; }},
    {"integer record length declared one short", "retention", Fault::none,
     [](kvt_hostcheck_input&) { --TEBU_STWORK[1]; }},
    {"status word one past argument 20", "flash-status", Fault::status_beside_argument, nullptr},
    {"failed flash not flagged", "flash-status", Fault::failure_not_flagged, nullptr},
    {"flash temperature off by half a kelvin", "flash-conditions", Fault::hot_flash, nullptr},
    {"T-H flash temperature off by half a kelvin", "flash-conditions", Fault::hot_th_flash, nullptr, "specified temperature"},
    {"P-VF flash beside its vapour fraction", "phase-split", Fault::vf_beside_spec, nullptr, "specified vapour fraction"},
    {"liquid split above 1", "phase-split", Fault::split_above_one, nullptr, "liquid split from 0 to 1"},
    {"component named twice", "component-list", Fault::duplicate_number, nullptr, nullptr,
     [] { return "entry 2 (PLEX " + std::to_string(component_list_position() + 1) + "), "; }},
    {"vapour composition not normalised", "compositions", Fault::vapour_not_normalised, nullptr},
    {"stream vapour fraction not rewritten", "phase-split", Fault::stale_vapour_fraction, nullptr},
    {"vapour molecular weight off", "phase-table", Fault::heavy_vapour, nullptr},
    {"mass flow that is the mole flow", "stream-totals", Fault::mole_flow_as_mass, nullptr},
    {"heat capacity not the enthalpy's slope", "heat-capacity", Fault::steep_liquid, nullptr},
    {"vapour viscosity not a number", "property-values", Fault::nan_viscosity, nullptr},
    {"conductivity flag -1", "error-flags", Fault::negative_flag, nullptr},
    {"surface tension that crashes", "property-values", Fault::crashing_surface_tension, nullptr,
     "GOSA_SRFTEN: killed by SIGSEGV during property-values, stream 1 (liquid), first liquid at 300 K"},
    {"vapour-fraction flash that never returns", "flash-status", Fault::hanging_vf_flash,
     [](kvt_hostcheck_input& in) { in.call_seconds = 0.5; }, "WEND_FLASH: no return within 0.5 s during flash-status"},
    {"temperature word stale after P-H and P-VF flashes", "flash-writes", Fault::stale_temperature, nullptr},
    {"P-H flash that ignores its enthalpy", "flash-specs", Fault::ignored_enthalpy, nullptr},
    {"enthalpies per kg", "units", Fault::enthalpy_per_kg, nullptr},
    {"molar volumes in m3/mol", "units", Fault::volume_per_mol, nullptr},
    {"vapour and liquid pure-component enthalpies swapped", "units", Fault::swapped_pure, nullptr},
    {"vapour viscosity in cP", "units", Fault::viscosity_in_cp, nullptr},
    {"liquid viscosity NaN above 345 K", "sweep", Fault::nan_hot_liquid_viscosity, nullptr},
    {"a setup of one vapour stream", "coverage", Fault::none,
     [](kvt_hostcheck_input& in) { in.streams += 1, in.nstreams = 1; }},
    {"NERO_IDXWAT always 0", "property-values", Fault::no_water, nullptr},
    {"stray word past the component-number list", "flash-writes", Fault::stray_word, nullptr},
    {"liquid split of the second liquid", "phase-split", Fault::split_of_second_liquid, nullptr, "word 23"},
    {"stream enthalpy stale after a T-P flash", "flash-writes", Fault::stale_enthalpy, nullptr, "(enthalpy)"},
    {"error code 1 after a good flash", "flash-status", Fault::ierr_one_after_good, nullptr, "found 1"},
    {"vapour conductivity 0", "property-values", Fault::zero_conductivity, nullptr},
    {"pressure word 0 after T-H and T-VF flashes", "flash-conditions", Fault::zero_pressure_t_flash, nullptr,
     "expected a positive pressure"},
    {"pressure word in bar after T-H and T-VF flashes", "flash-specs", Fault::pressure_in_bar, nullptr,
     "expected a good flash"},
    {"second liquid's phase-table words stale after a P-VF flash", "flash-writes", Fault::stale_second_liquid_row,
     nullptr, "(second liquid)"},
    {"three-phase flash of a stream without flow judged good", "flash-status", Fault::dry_flash_good,
     [](kvt_hostcheck_input& in) {  // the streams in reverse order: the free-water one first
       static std::vector<kvt_hostcheck_stream> reversed;
       reversed.assign(std::make_reverse_iterator(in.streams + in.nstreams), std::make_reverse_iterator(in.streams));
       in.streams = reversed.data();
     },
     "a verdict other than 1"},
    {"vapour count word without a position", "positions", Fault::none,
     [](kvt_hostcheck_input& in) { in.hxpkv[3] = 0; },
     "KVT_HXPKV word 4 (vapour): expected a work-array position; found 0",
     [] { return std::string("KVT_HXPKV word 4 (vapour) count, PLEX 0: expected inside the work array"); }},
    {"negative vapour mole fraction", "compositions", Fault::negative_vapour_entry, nullptr,
     "a mole fraction of 0 or more at entry 4;"},
    {"first liquid's composition that is the whole liquid's", "compositions", Fault::first_liquid_as_liquid, nullptr,
     "split x X1"},
    {"liquid viscosity NaN for one component", "property-values", Fault::one_component_viscosity, nullptr},
    {"two-phase flashes refused", "flash-status", Fault::two_phases_refused, nullptr},
    {"free-water side without the water rule, pure water needing option word 5", "property-values",
     Fault::water_method_needed,
     [](kvt_hostcheck_input& in) {
       in.ihxpp[KVT_IHXPP_OPTION_LIST - 1] = 1, in.ihxpp[KVT_IHXPP_OPTION_LIST + 3] = 2, in.ihxpp[KVT_IHXPP_WATER - 1] = 0;
     },
     "GOSA_VISCL, second liquid of stream 4"},
    {"scratch integer record before word 1", "positions", Fault::none,
     [](kvt_hostcheck_input&) { TEBU_STWORK[29] = -VOKA_STWKWK[1]; }, "it starts before word 1"},
    {"real record length declared negative", "retention", Fault::none, [](kvt_hostcheck_input&) { TEBU_STWORK[0] = -1; }},
    {"vapour composition in reverse order", "compositions", Fault::reversed_vapour, nullptr,
     "the stream's mole fraction 0.6666666667; found"},
    {"liquid's mole-fraction list without a position", "positions", Fault::none,
     [](kvt_hostcheck_input& in) { in.hxpkv[10] = 0; }, "KVT_HXPKV word 11 (liquid) mole fractions, PLEX 0.."},
    {"critical-point work space on the scratch real record", "host-areas", Fault::none,
     [](kvt_hostcheck_input&) { TEBU_STWORK[KVT_STWORK_CRITICAL_WORK - 1] = TEBU_STWORK[KVT_STWORK_SCRATCH_REAL - 1]; },
     "critical-point work space"},
    {"retained flashes counted in the first record", "retention", Fault::status_in_first_record,
     [](kvt_hostcheck_input& in) { first_record = in.ihxpp[KVT_IHXPP_INT_RECORDS - 1]; },
     "(word 1 of integer record 0): expected unchanged by a flash into record 1"},
    {"TEBU_SETH that only heats, under P-H flashes that trust it", "flash-specs", Fault::heating_only_seth, nullptr,
     "at enthalpy 5 % down"},
    {"vapour enthalpy NaN, liquid heat capacity negative", "property-values", Fault::enthalpy_nan_cp_negative,
     nullptr},
    {"liquid viscosity's error flag cleared", "error-flags", Fault::flag_cleared, nullptr, "found it cleared to 0"},
    {"vapour molar volume per kg", "units", Fault::vapour_volume_per_kg, nullptr, "of the ideal gas's RT/P"},
    {"vapour viscosity NaN above 430 K", "sweep", Fault::nan_hot_vapour_viscosity, nullptr, "GOSA_VISCV"},
    {"liquid viscosity in cP", "units", Fault::liquid_viscosity_in_cp, nullptr,
     "GOSA_VISCL, first liquid of stream 1 (liquid) at 300 K: expected at most 0.05 Pa s for a liquid of light"},
    {"vapour viscosity in cP above 10 bar", "units", Fault::dense_viscosity_in_cp, nullptr,
     "GOSA_VISCV, vapour of stream # (vapour and liquid) flashed at 30 bar at 340 K: expected 1e-06..0.0001 Pa s"},
    {"compositions stale after a failed flash", "after-failure", Fault::stale_after_failure, nullptr,
     "the flash after a failed one left it stale"},
    {"liquid enthalpy of the last flash's liquid, whatever its composition argument", "composition-use",
     Fault::enthalpy_of_flash_liquid, nullptr, "GOSA_ENTHL, first liquid of stream 4 (vapour, liquid and free water)"},
    {"work array declared twice its real length, records at its declared top", "setup", Fault::none,
     [](kvt_hostcheck_input& in) {
       in.plex_words *= 2;
       in.ihxpp[KVT_IHXPP_INT_RECORDS - 1] = in.plex_words - 200, in.ihxpp[KVT_IHXPP_REAL_RECORDS - 1] = in.plex_words - 100;
     },
     "plex_words: expected at most the 131072 words of the host's VOKA_PLEX"},
    {"stream vectors one slot shorter than the host's flash writes", "setup", Fault::none,
     [](kvt_hostcheck_input& in) {
       static std::vector<kvt_hostcheck_stream> shorter;
       shorter.assign(in.streams, in.streams + in.nstreams);
       for (kvt_hostcheck_stream& s : shorter) --s.nstrm;
       in.streams = shorter.data();
     },
     "wrote slot 14 (NCOMP+10), past the 13 slots the setup gives"},
    {"real retention records on the component-number list", "retention", Fault::none,
     [](kvt_hostcheck_input& in) { in.ihxpp[KVT_IHXPP_REAL_RECORDS - 1] = component_list_position(); }},
    {"scratch real record on the component-number list", "host-areas", Fault::none,
     [](kvt_hostcheck_input&) { TEBU_STWORK[KVT_STWORK_SCRATCH_REAL - 1] = VOKA_STWKWK[1] - VOKA_STWKWK[0]; },
     "folded under host-areas: # findings that follow from its finding; the first: component-number list entry 1 (PLEX "
     "#), stream 1 (liquid), P-H flash (KSPEC 1): expected a component number 1..4; found # (the bits of the double "},
    {"vapour composition over the second liquid's", "host-areas", Fault::none,
     [](kvt_hostcheck_input&) { TEBU_STWORK[KVT_STWORK_Y - 1] = TEBU_STWORK[KVT_STWORK_X2 - 1]; },
     "folded under host-areas"},
    {"trace unit in KVT_HXOUTP word 2", "trace", Fault::none,
     [](kvt_hostcheck_input& in) { std::swap(in.hxoutp[0], in.hxoutp[1]); }, "found 0 while word 2 holds 6"},
};

TEST(Hostcheck, EachFaultFailsExactlyItsCheckWithFindingsThatSayWhere) {
  int skipped_in_all = 0;
  for (const FaultCase& c : kFaults) {
    SCOPED_TRACE(c.name);
    kvt_hostcheck_input in{};
    ASSERT_EQ(kvt_hostcheck_setup(&in), 0);
    if (c.layout) c.layout(in);
    fault = c.fault;
    const Outcome out = run(in);
    fault = Fault::none;
    EXPECT_EQ(out.failed, std::set<std::string>{c.check});
    ASSERT_FALSE(out.findings.empty());
    const std::string& first = out.findings[0];
    if (c.names) {
      EXPECT_NE(first.find(c.names()), std::string::npos) << first;
    }
    if (c.says != nullptr) {
      const auto said = [&](const std::string& f) { return says(f, c.says); };
      EXPECT_TRUE(std::any_of(out.findings.begin(), out.findings.end(), said) ||
                  std::any_of(out.folds.begin(), out.folds.end(), said)) << first;
    } else {
      const bool said = first.find(" disagree") != std::string::npos ||
                        (first.find(": expected ") != std::string::npos && first.find("; found ") != std::string::npos);
      EXPECT_TRUE(said) << first;
    }
    // a check skipped names the failed or skipped check it depends on (or whose routine broke), and the summary counts the verdicts
    // a check whose finding is a routine that broke leaves the checks after it running, without that routine
    const bool broke = first.find(": killed by ") != std::string::npos || first.find(": no return within ") != std::string::npos;
    std::set<std::string> down = out.failed;
    down.insert(out.folded.begin(), out.folded.end());
    EXPECT_EQ(out.folds.size(), out.folded.size());
    int passed = 0, skipped = 0;
    for (std::size_t i = 0; i + 1 < out.lines.size(); ++i) {
      const std::string& l = out.lines[i];
      passed += l.rfind("PASS ", 0) == 0;
      if (l.rfind("SKIP ", 0) != 0) continue;
      ++skipped;
      EXPECT_FALSE(l.ends_with("cases)")) << "a skipped check ran none: " << l;
      const std::string& why = out.lines[i + 1];
      EXPECT_TRUE(why.rfind("       skipped: ", 0) == 0 &&
                  std::any_of(down.begin(), down.end(), [&](const std::string& d) { return why.find(" " + d) != std::string::npos; }))
          << why;
      EXPECT_FALSE(broke && why.find(std::string("depends on ") + c.check) != std::string::npos) << why;
      down.insert(l.substr(5, l.find(' ', 5) - 5));
    }
    skipped_in_all += skipped;
    EXPECT_TRUE(names_uncalled(out) || std::any_of(out.lines.begin(), out.lines.end(), [](const std::string& l) {
                  return l.rfind("SKIP coverage ", 0) == 0;
                }));
    if (broke) {  // the check after it leaves the routine out, and says so
      const auto failed = std::find_if(out.lines.begin(), out.lines.end(),
                                       [&](const std::string& l) { return l.rfind(std::string("FAIL ") + c.check + " ", 0) == 0; });
      const auto next = std::find_if(failed + 1, out.lines.end(), verdict);
      EXPECT_TRUE(std::any_of(next, std::find_if(next + 1, out.lines.end(), verdict), [&](const std::string& l) {
        return l.find(std::string(" not called: it broke during ") + c.check) != std::string::npos;
      })) << *next;
    }
    const std::size_t folds = out.folded.size();
    EXPECT_EQ(out.summary, "summary: " + std::to_string(passed) + " of 23 checks passed, " + std::to_string(out.failed.size()) +
                               " failed" + (folds > 0 ? ", " + std::to_string(folds) + " folded" : "") +
                               (skipped > 0 ? ", " + std::to_string(skipped) + " skipped" : ""));
    // at most eight findings are shown, then how many more there are
    EXPECT_LE(out.findings.size(), 9u);
    EXPECT_TRUE(out.findings.size() < 9u || out.findings.back().rfind("       ... and ", 0) == 0) << out.findings.back();
  }
  EXPECT_GT(skipped_in_all, 0);
}

}  // namespace
