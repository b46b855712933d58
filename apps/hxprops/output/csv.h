// One CSV file per side: a header row naming quantity, phase and unit of each column
// ("heat_capacity:liquid1 [kJ/(kg K)]"), then one row per point of the curve, phase boundaries
// included: the boundary column names the boundary, the flags column every figure the host flagged
// (a correlation used outside its range). An absent phase leaves its cells empty.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "case/case_model.h"
#include "compute/curve.h"
#include "case/units.h"

namespace hxprops {

struct TableOptions {
  UnitSystem units = UnitSystem::Engineering;
  std::vector<std::string> components;  // per-phase composition columns when not empty
};

// The header; the notes column's cell explains the codes of `notes` (a side's), the method column's
// why "auto" picked the method its rows name.
std::vector<std::string> csv_header(const TableOptions& o, const std::vector<SideNote>& notes = {}, const SideMethod& method = {});
std::string csv_text(const SideCurve& curve, const TableOptions& o);
// A side's assay, one row per pseudo-component: its name, its shares of the assay (volume, mass,
// moles) and of the side (in the assay's basis), NBP, SG, MW, Tc, Pc and acentric factor.
std::string csv_assay_text(const Side& side, UnitSystem units);
// A cell as written: quoted when it holds a comma or a quote.
std::string csv_cell(const std::string& s);
// The file name of a side's CSV inside the --csv directory: "side0.csv".
std::string csv_file_name(int side);
// The file of a side's assay: "side0_assay.csv".
std::string csv_assay_file_name(int side);
// A side's property table at a pressure: "side0_2.5bar.csv" (the pressure in the printed unit).
std::string csv_table_file_name(int side, double pressure, UnitSystem units);

}  // namespace hxprops
