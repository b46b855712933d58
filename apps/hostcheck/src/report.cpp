#include "report.h"

#include "kvt/kvt.h"

#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

namespace kvt::hostcheck {

namespace {

struct CheckText {
  const char* name;
  const char* title;
};

constexpr std::array<CheckText, kChecks> kTexts{{
    {"setup", "the setup's lengths: work array and stream vectors within what the host owns and writes"},
    {"positions", "work-area positions and packed lists lie inside the work array"},
    {"host-areas", "the host's work areas (VOKA_STWKWK, TEBU_STWORK, VOKA_IPOFF1) do not overlap"},
    {"packed-lists", "packed lists (KVT_HXPKV) apart from each other, the host's areas and the records"},
    {"retention", "retention records hold their declared lengths"},
    {"flash-status", "WEND_FLSTAT, VOKA_FLSCOM and VOKA_FLSCM2 as the library reads them"},
    {"flash-conditions", "VOKA_STWKWK words 19, 20: the flash's temperature and pressure, specs met"},
    {"flash-writes", "every word a flash must write rewritten, no word it must leave changed"},
    {"component-list", "flash count and component-number list"},
    {"phase-split", "vapour fraction and liquid split of the flash and of the stream vector"},
    {"compositions", "compositions X, X1, X2, Y: non-negative, normalised, in balance with the stream"},
    {"phase-table", "phase property table: molecular weights, volumes, enthalpies"},
    {"flash-specs", "each flash kind agrees with a T-P flash at its result and follows its specification"},
    {"stream-totals", "TEBU_TOTFLO, TEBU_TOTMAS, TEBU_TOTENT agree with the stream and phase table"},
    {"heat-capacity", "GOSA_ENTHL, GOSA_ENTHV: heat capacity is the slope of the enthalpy"},
    {"property-values", "property monitor values finite and positive where they must be"},
    {"error-flags", "property monitor error flags as the library hands them through"},
    {"after-failure", "a flash after a failed flash: the same words and properties as the flash alone"},
    {"composition-use", "property monitor answers follow their composition argument"},
    {"units", "units and roles: ideal gas, heat of vaporisation, bands by phase and size, at two pressures"},
    {"sweep", "every property routine finite and in its band over a temperature sweep"},
    {"coverage", "every routine and phase the library calls exercised by the setup's streams"},
    {"trace", "a switched-on trace reaches UNIT_WRITE on the configured unit (KVT_HXOUTP word 1)"},
}};

constexpr std::size_t kShownFindings = 8;

}  // namespace

const char* check_name(Check c) { return kTexts[static_cast<std::size_t>(c)].name; }
const char* check_title(Check c) { return kTexts[static_cast<std::size_t>(c)].title; }

std::vector<Check> depends_on(Check c) {
  // Every check that flashes needs stream vectors and a work array the host's flash stays within.
  std::vector<Check> on;
  if (c >= Check::Retention && c <= Check::Coverage) on.push_back(Check::Setup);
  const auto more = [&](std::vector<Check> also) {
    on.insert(on.end(), also.begin(), also.end());
    return on;
  };
  switch (c) {
    case Check::Compositions: return more({Check::ComponentList, Check::PhaseSplit});
    case Check::PhaseTable: return more({Check::ComponentList, Check::Compositions});
    case Check::FlashSpecs: return more({Check::FlashConditions, Check::FlashWrites, Check::PhaseSplit});
    case Check::StreamTotals: return more({Check::PhaseSplit, Check::PhaseTable});
    case Check::HeatCapacity:
    case Check::PropertyValues: return more({Check::ComponentList, Check::Compositions});
    case Check::ErrorFlags: return more({Check::PropertyValues});
    case Check::Units: return more({Check::PhaseTable, Check::HeatCapacity, Check::PropertyValues});
    case Check::Sweep: return more({Check::PropertyValues, Check::Units});
    // Overlapping areas make a flash's writes land in areas it must leave.
    case Check::FlashWrites: return more({Check::HostAreas, Check::PackedLists});
    // Without good flashes the setup's phases are unknown.
    case Check::Coverage: return more({Check::FlashStatus});
    case Check::AfterFailure: return more({Check::FlashStatus, Check::FlashWrites, Check::PropertyValues});
    case Check::CompositionUse: return more({Check::ComponentList, Check::Compositions, Check::PropertyValues});
    default: return on;
  }
}

std::vector<Check> follows_from(Check c) {
  if (c < Check::FlashStatus || c == Check::Trace) return {};
  return {Check::HostAreas, Check::PackedLists, Check::Retention};
}

void Report::fail(Check c, std::string finding) { findings_[index(c)].push_back(std::move(finding)); }

std::string Report::serialise(Check c) const {
  std::string s;
  for (const auto& f : findings_[index(c)]) s += "F" + f + "\n";
  for (const auto& r : remarks_[index(c)]) s += "R" + r + "\n";
  if (!skipped_[index(c)].empty()) s += "S" + skipped_[index(c)] + "\n";
  s += "E" + num(exercised_[index(c)]) + "\n";
  return s;
}

void Report::merge(Check c, const std::string& text) {
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (line.empty()) continue;
    const std::string rest = line.substr(1);
    switch (line[0]) {
      case 'F': fail(c, rest); break;
      case 'R': remark(c, rest); break;
      case 'S': skip(c, rest); break;
      case 'E': exercised(c, std::stoll(rest)); break;
      default: break;
    }
  }
}

void Report::write_line(const std::string& line, kvt_hostcheck_writer out, void* context) {
  if (out != nullptr) {
    out(context, line.c_str());
  } else {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
  }
}

namespace {

const char* verdict(const Report& r, Check c) {
  return r.folded(c) ? "FOLD" : r.failed(c) ? "FAIL" : r.skipped(c) ? "SKIP" : "PASS";
}

}  // namespace

void Report::write_check(Check c, kvt_hostcheck_writer out, void* context) const {
  const auto& found = findings_[index(c)];
  char line[256];
  std::snprintf(line, sizeof line, "%s %-17s %s", verdict(*this, c), check_name(c), check_title(c));
  std::string text = line;
  if (exercised_[index(c)] > 0) text += " (" + num(exercised_[index(c)]) + " cases)";
  write_line(text, out, context);
  if (skipped(c)) write_line("       skipped: " + skipped_[index(c)], out, context);
  for (const auto& r : remarks_[index(c)]) write_line("       note: " + r, out, context);
  if (folded(c)) {
    // One mistake, one finding: these follow from the earlier check's, and are shown as its consequence.
    write_line("       folded under " + std::string(check_name(static_cast<Check>(folded_under_[index(c)]))) + ": " +
                   num(static_cast<int64_t>(found.size())) + " findings that follow from its finding; the first: " +
                   found.front(),
               out, context);
    return;
  }
  for (std::size_t i = 0; i < found.size() && i < kShownFindings; ++i) write_line("       " + found[i], out, context);
  if (found.size() > kShownFindings) {
    write_line("       ... and " + num(static_cast<int64_t>(found.size() - kShownFindings)) + " more", out, context);
  }
}

int64_t Report::write_summary(kvt_hostcheck_writer out, void* context) const {
  int64_t failures = 0, skips = 0, folds = 0;
  for (int k = 0; k < kChecks; ++k) {
    const auto c = static_cast<Check>(k);
    failures += failed(c);
    folds += folded(c);
    skips += !failed(c) && !folded(c) && skipped(c);
  }
  std::string line = "summary: " + num(static_cast<int64_t>(kChecks - failures - skips - folds)) + " of " +
                     num(kChecks) + " checks passed, " + num(failures) + " failed";
  if (folds > 0) line += ", " + num(folds) + " folded";
  if (skips > 0) line += ", " + num(skips) + " skipped";
  write_line(line, out, context);
  return failures;
}

bool Report::write_json(const std::string& path, const kvt_hostcheck_input& in) const {
  using nlohmann::json;
  json checks = json::array();
  json summary = {{"passed", 0}, {"failed", 0}, {"folded", 0}, {"skipped", 0}};
  for (int k = 0; k < kChecks; ++k) {
    const auto c = static_cast<Check>(k);
    std::string v = verdict(*this, c);
    for (char& ch : v) ch = static_cast<char>(ch - 'A' + 'a');
    const std::string key = v == "pass" ? "passed" : v == "fail" ? "failed" : v == "fold" ? "folded" : "skipped";
    summary[key] = summary[key].get<int64_t>() + 1;
    json check = {{"name", check_name(c)},     {"title", check_title(c)},        {"verdict", v},
                  {"cases", exercised_[index(c)]}, {"findings", findings_[index(c)]}, {"notes", remarks_[index(c)]}};
    if (skipped(c)) check["skipped"] = skipped_[index(c)];
    if (folded(c)) check["folded_under"] = check_name(static_cast<Check>(folded_under_[index(c)]));
    checks.push_back(std::move(check));
  }
  const json report = {{"format", "kvt-hostcheck report"}, {"version", 1},
                       {"ncomp", KVT_WORD(VOKA_NCOMP, KVT_NCOMP_COUNT)}, {"plex_words", in.plex_words},
                       {"streams", in.nstreams}, {"checks", std::move(checks)}, {"summary", std::move(summary)}};
  std::ofstream file(path, std::ios::binary);
  file << report.dump(2) << "\n";
  return static_cast<bool>(file);
}

std::string num(double v) {
  char b[40];
  std::snprintf(b, sizeof b, "%.10g", v);
  return b;
}

std::string num(int64_t v) { return std::to_string(v); }

}  // namespace kvt::hostcheck
