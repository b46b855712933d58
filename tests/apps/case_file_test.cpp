// Units and case files: values with units read as their SI value and print back in either unit
// system; a case written out reads back to the same content.
#include <gtest/gtest.h>

#include <cmath>

#include "case/case_file.h"
#include "case/default_case.h"
#include "test_support.h"
#include "base/text_encoding.h"
#include "case/units.h"

namespace hxprops {
namespace {

using D = Dimension;

TEST(Units, CaseValuesRoundTripThroughSi) {
  struct Row {
    const char* text;
    D dimension;
    double si;  // exact by definition of the unit (psi: 6894.757293168 Pa)
  };
  for (const Row& r : {Row{"120 degC", D::Temperature, 393.15}, Row{"212 degF", D::Temperature, 373.15},
                       Row{"2.5 bar", D::Pressure, 2.5e5}, Row{"250 kPa", D::Pressure, 2.5e5},
                       Row{"1 psi", D::Pressure, 6894.757293168}, Row{"36 t/h", D::MassFlow, 10.0},
                       Row{"10 kg/s", D::MassFlow, 10.0}, Row{"3600 kmol/h", D::MoleFlow, 1.0},
                       Row{"1.4 MW", D::Power, 1.4e6}}) {
    const std::optional<QuantityText> q = split_quantity(r.text);
    ASSERT_TRUE(q) << r.text;
    const std::optional<Unit> u = find_unit(q->unit, r.dimension);
    ASSERT_TRUE(u) << r.text;
    EXPECT_NEAR(from_unit(q->value, *u), r.si, 1.0e-12 * r.si) << r.text;
    EXPECT_NEAR(to_unit(r.si, *u), q->value, 1.0e-12 * std::fabs(q->value)) << r.text;
  }
  for (const char* bad : {"120", "degC", "120degC", "1e400 K"}) EXPECT_FALSE(split_quantity(bad)) << bad;
  EXPECT_FALSE(find_unit("bar", D::Temperature));
}

TEST(Units, PrintedInEitherSystem) {
  EXPECT_EQ(quantity_text(373.15, D::Temperature, UnitSystem::Engineering), "100.00 degC");
  EXPECT_EQ(quantity_text(373.15, D::Temperature, UnitSystem::SI), "373.15 K");
  EXPECT_EQ(quantity_text(2.5e5, D::Pressure, UnitSystem::Engineering, -1), "2.5 bar");
  EXPECT_EQ(quantity_text(1.4e6, D::Power, UnitSystem::Engineering), "1400.00 kW");
  EXPECT_EQ(quantity_text(4180.0, D::SpecificHeat, UnitSystem::Engineering), "4.18 kJ/(kg K)");
  EXPECT_EQ(quantity_text(1.0e-3, D::Viscosity, UnitSystem::Engineering), "1.00 mPa s");
  EXPECT_EQ(quantity_text(0.072, D::SurfaceTension, UnitSystem::Engineering), "72.00 mN/m");
  EXPECT_EQ(quantity_text(2.26e6, D::SpecificEnergy, UnitSystem::Engineering), "2260.00 kJ/kg");
  EXPECT_EQ(quantity_text(2.5e4, D::ThermalConductance, UnitSystem::Engineering), "25.00 kW/K");
}

TEST(CaseFile, WrittenCaseReadsBackToTheSameContent) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"default", std::string(default_case_text())},
      {"partial_vaporiser", test::case_text("partial_vaporiser.toml")},
      {"steam_condenser", test::case_text("steam_condenser.toml")},
      {"methanol_condenser", test::case_text("methanol_condenser.toml")},
      {"crude_preheat", test::case_text("crude_preheat.toml")},
      {"outlet_vapour_fraction", test::case_text("outlet_vapour_fraction.toml")},
      {"glide_with_rows_of_its_own", test::case_text("glide.toml")},
      {"one_stream_with_tables", "balance_tolerance = 0.01\ntable_pressures = \"1.4 bar, 150 kPa\"\n" +
                                     test::case_text("steam_condenser.toml").substr(0, test::case_text("steam_condenser.toml").find("[side1]"))}};
  for (const auto& [name, text] : cases) {
    const Case c = parse_case(text, name);
    const std::string written = write_case(c);
    EXPECT_TRUE(parse_case(written, "written").same_content(c)) << written;
    EXPECT_EQ(written.find("e+"), std::string::npos) << written;  // 420 is 420.0, not 4.2e+02
  }
  const Case one = parse_case(cases.back().second, "one");
  EXPECT_EQ(one.side_count, 1);
  EXPECT_EQ(one.table_levels(0), (std::vector<double>{1.4e5, 1.5e5}));
  const Case glide = parse_case(test::case_text("glide.toml"), "glide");
  EXPECT_EQ(glide.sides[0].method, Method::Nrtl);
  EXPECT_EQ(glide.spacing_of(1), Spacing::Duty);
  EXPECT_EQ(glide.table_levels(1), (std::vector<double>{3.75e5}));
  EXPECT_EQ(glide.table_levels(0), (std::vector<double>{}));
  const Case c = default_case();
  EXPECT_NEAR(c.sides[0].inlet.value, 420.0, 1.0e-9);
  EXPECT_NEAR(c.sides[0].flows[0].amount, 0.012, 1.0e-15);
  EXPECT_EQ(c.sides[1].outlet.kind, EndKind::Balance);
}

// Case files as Windows tools save them: UTF-16 with a byte-order mark either way round (surrogate
// pairs included) and UTF-8 with one read as UTF-8; broken UTF-16 is refused by name.
TEST(CaseFile, ByteOrderMarksAndUtf16) {
  const std::string text = "title = \"Micha\u0142 \u71B1 \U0001F525\"\n";
  std::string le = "\xFF\xFE", be = "\xFE\xFF";
  for (const char16_t u : std::u16string(u"title = \"Micha\u0142 \u71B1 \U0001F525\"\n")) {
    le += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
    be += {static_cast<char>(u >> 8), static_cast<char>(u & 0xFF)};
  }
  for (const std::string& saved : {le, be, "\xEF\xBB\xBF" + text, text}) EXPECT_EQ(utf8_text(saved, "c.toml"), text);
  const std::string lone_high_surrogate = le.substr(0, le.size() - 6) + std::string("\"\0\n\0", 4);
  for (const std::string& broken : {le.substr(0, le.size() - 1), lone_high_surrogate}) {
    try {
      utf8_text(broken, "c.toml");
      ADD_FAILURE() << "accepted";
    } catch (const InputError& e) {
      EXPECT_NE(std::string(e.what()).find("c.toml: saved as UTF-16, with "), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(": save it as UTF-8"), std::string::npos) << e.what();
    }
  }
}

}  // namespace
}  // namespace hxprops
