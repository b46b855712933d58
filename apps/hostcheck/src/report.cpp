#include "report.h"

#include <cstdio>

namespace kvt::hostcheck {

namespace {

struct CheckText {
  const char* name;
  const char* title;
};

constexpr std::array<CheckText, kChecks> kTexts{{
    {"positions", "work-area positions and packed lists lie inside the work array"},
    {"host-areas", "the host's work areas (VOKA_STWKWK, TEBU_STWORK, VOKA_IPOFF1) do not overlap"},
    {"packed-lists", "packed lists (KVT_HXPKV) apart from each other, the host's areas and the records"},
    {"retention", "retention records hold their declared lengths"},
    {"flash-status", "WEND_FLSTAT, VOKA_FLSCOM and VOKA_FLSCM2 as the library reads them"},
    {"flash-conditions", "VOKA_STWKWK words 19, 20: the flash's temperature and pressure, specs met"},
    {"component-list", "flash count and component-number list"},
    {"compositions", "compositions X, X1, X2, Y: non-negative, normalised, in balance with the stream"},
    {"phase-split", "vapour fraction and liquid split of the flash and of the stream vector"},
    {"phase-table", "phase property table: molecular weights, volumes, enthalpies"},
    {"stream-totals", "TEBU_TOTFLO, TEBU_TOTMAS, TEBU_TOTENT agree with the stream and phase table"},
    {"heat-capacity", "GOSA_ENTHL, GOSA_ENTHV: heat capacity is the slope of the enthalpy"},
    {"property-values", "property monitor values finite and positive where they must be"},
    {"error-flags", "property monitor error flags as the library hands them through"},
}};

constexpr std::size_t kShownFindings = 8;

void emit(kvt_hostcheck_writer out, void* context, const std::string& line) {
  if (out != nullptr) {
    out(context, line.c_str());
  } else {
    std::printf("%s\n", line.c_str());
  }
}

}  // namespace

const char* check_name(Check c) { return kTexts[static_cast<std::size_t>(c)].name; }
const char* check_title(Check c) { return kTexts[static_cast<std::size_t>(c)].title; }

void Report::fail(Check c, std::string finding) { findings_[index(c)].push_back(std::move(finding)); }

int64_t Report::write(const std::string& heading, kvt_hostcheck_writer out, void* context) const {
  emit(out, context, heading);
  int64_t failures = 0;
  for (int k = 0; k < kChecks; ++k) {
    const auto c = static_cast<Check>(k);
    const auto& found = findings_[index(c)];
    char line[256];
    std::snprintf(line, sizeof line, "%s %-17s %s", found.empty() ? "PASS" : "FAIL", check_name(c), check_title(c));
    std::string text = line;
    if (exercised_[index(c)] > 0) text += " (" + num(exercised_[index(c)]) + " cases)";
    emit(out, context, text);
    for (const auto& r : remarks_[index(c)]) emit(out, context, "       note: " + r);
    for (std::size_t i = 0; i < found.size() && i < kShownFindings; ++i) emit(out, context, "       " + found[i]);
    if (found.size() > kShownFindings) {
      emit(out, context, "       ... and " + num(static_cast<int64_t>(found.size() - kShownFindings)) + " more");
    }
    if (!found.empty()) ++failures;
  }
  emit(out, context, "summary: " + num(static_cast<int64_t>(kChecks - failures)) + " of " + num(kChecks) +
                         " checks passed, " + num(failures) + " failed");
  return failures;
}

std::string num(double v) {
  char b[40];
  std::snprintf(b, sizeof b, "%.10g", v);
  return b;
}

std::string num(int64_t v) { return std::to_string(v); }

}  // namespace kvt::hostcheck
