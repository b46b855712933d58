// The figures of a curve as columns: name, heading and dimension (the unit follows from the unit
// system), shared by the printed tables, the CSV files and the JSON document.
#pragma once

#include <span>
#include <string_view>

#include "compute/curve.h"
#include "case/units.h"

namespace hxprops {

// A figure of the whole stream at one point, in SI.
struct StreamColumn {
  std::string_view quantity;  // CSV and JSON name
  std::string_view heading;   // table heading
  Dimension dimension;
  int decimals;  // fixed decimals in the table; negative: six significant digits
  double (*get)(const CurvePoint&);
};

// A figure of one phase at one point, in SI.
struct PhaseColumn {
  std::string_view quantity;
  std::string_view heading;
  Dimension dimension;
  bool liquids_only;
  Figure (*get)(const PhaseFigures&);  // no value: shown blank or "-"
};

std::span<const StreamColumn> stream_columns();
std::span<const PhaseColumn> phase_columns();
bool applies(const PhaseColumn& col, Phase ph);
// The phase's name in CSV headers and JSON: "vapour", "liquid1", "liquid2".
std::string_view csv_phase_name(Phase p);

}  // namespace hxprops
