// libFuzzer entry for hxprops's case files: the bytes are a case file's text. A text the reader
// refuses must be refused with an InputError naming the file, the line and (past the TOML syntax)
// the field; a text it accepts must hold to every rule the case-file documentation states, and the
// case must write as case text (--dump-case) that reads back to the same case and writes the same
// text.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "case/case_file.h"

namespace hxprops::fuzz {

namespace {

constexpr const char* kOrigin = "fuzz.toml";

void require(bool ok, const char* rule, const std::string& text) {
  if (ok) return;
  std::fprintf(stderr, "case file fuzz: accepted a case that breaks a rule: %s\n%s\n", rule, text.c_str());
  std::abort();
}

bool positive(double v) { return std::isfinite(v) && v > 0.0; }

// The rules of the case-file documentation, stated here on their own rather than through the reader.
void check_documented(const Case& c, const std::string& text) {
  require(c.points >= 2 && c.points <= 1000, "points lie between 2 and 1000", text);
  require(c.side_count == 1 || c.side_count == 2, "one or two sides", text);
  require(c.side_count == 2 ? c.sides[0].outlet.kind != EndKind::Balance || c.sides[1].outlet.kind != EndKind::Balance
                            : c.sides[0].outlet.kind != EndKind::Balance,
          "at most one side on balance, and none without a second side", text);
  for (int i = 0; i < c.side_count; ++i) {
    const Side& s = c.sides[static_cast<std::size_t>(i)];
    require(positive(s.inlet_pressure) && positive(s.outlet_pressure), "pressures are positive and finite", text);
    require(s.inlet.kind == EndKind::Temperature || s.inlet.kind == EndKind::VapourFraction,
            "an inlet is a temperature or a vapour fraction", text);
    for (const EndState& e : {s.inlet, s.outlet}) {
      switch (e.kind) {
        case EndKind::Temperature: require(positive(e.value), "temperatures are positive and finite", text); break;
        case EndKind::VapourFraction: require(e.value >= 0.0 && e.value <= 1.0, "vapour fractions lie in 0..1", text); break;
        case EndKind::Duty: require(std::isfinite(e.value) && e.value != 0.0, "a duty is finite and not zero", text); break;
        case EndKind::Balance: break;
      }
    }
    require(!s.flows.empty() || s.assay, "a side has component flows or an assay", text);
    double sum = 0.0;
    for (const ComponentFlow& f : s.flows) {
      require(std::isfinite(f.amount) && f.amount >= 0.0, "flows are finite and not negative", text);
      sum += f.amount;
    }
    require(sum > 0.0 || s.assay, "a side's flows add up to more than zero, or it has an assay", text);
    if (s.total) {
      require(positive(s.total->amount), "a total flow is positive and finite", text);
      require(std::fabs(sum - 1.0) <= 1.0e-3, "fractions add up to 1 within 0.001", text);
    }
    require(std::isfinite(s.options.flash_real_option), "flash_real_option is finite", text);
  }
}

}  // namespace

}  // namespace hxprops::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace hxprops;
  const std::string text(reinterpret_cast<const char*>(data), size);
  Case c;
  try {
    c = parse_case(text, fuzz::kOrigin);
  } catch (const InputError& e) {
    const std::string_view what = e.what();
    fuzz::require(e.where().file == fuzz::kOrigin && what.starts_with(fuzz::kOrigin), "a refusal names the file", what.data());
    // Every refusal points at a line, but for a side's table that is missing altogether.
    const bool syntax = what.find(": malformed TOML: ") != std::string_view::npos;
    const bool no_table = what.find(": missing table [") != std::string_view::npos;
    fuzz::require(syntax || !e.field().empty(), "a refusal names the field, but for bad TOML", what.data());
    fuzz::require(no_table || e.where().line > 0, "a refusal names the line, but for a missing table", what.data());
    return 0;
  }
  fuzz::check_documented(c, text);
  const std::string written = write_case(c);
  Case again;
  try {
    again = parse_case(written, "written");
  } catch (const InputError& e) {
    fuzz::require(false, "the written case reads back", written + "\n" + e.what());
  }
  fuzz::require(again.same_content(c), "the written case reads back to the same case", written);
  fuzz::require(write_case(again) == written, "the case read back writes the same text", written);
  return 0;
}
