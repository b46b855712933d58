// One CSV file per side: a header row naming quantity, phase and unit of each column
// ("heat_capacity:liquid1 [kJ/(kg K)]"), then one row per point of the curve. An absent phase leaves
// its cells empty.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "curve.h"

namespace hxprops {

std::vector<std::string> csv_header(const SideCurve& curve);
std::string csv_text(const SideCurve& curve);
// The file name of a side's CSV inside the --csv directory: "side0.csv".
std::string csv_file_name(int side);
// Write csv_text() to `file`; throws RunError when it cannot be written.
void write_csv(const std::filesystem::path& file, const SideCurve& curve);

}  // namespace hxprops
