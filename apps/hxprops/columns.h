// The figures of a curve as columns: name, unit and scale from SI, shared by the printed tables and
// the CSV files so that both show the same figures in the same units.
#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "curve.h"

namespace hxprops {

// A figure of the whole stream at one point.
struct StreamColumn {
  std::string_view quantity;  // CSV name
  std::string_view heading;   // table heading
  std::string_view unit;
  int decimals;  // fixed decimals in the table
  double (*get)(const CurvePoint&);  // in the unit above
};

// A figure of one phase at one point.
struct PhaseColumn {
  std::string_view quantity;
  std::string_view heading;
  std::string_view unit;
  bool liquids_only;
  Figure (*get)(const PhaseFigures&);  // in the unit above; no value: shown blank or "-"
};

std::span<const StreamColumn> stream_columns();
std::span<const PhaseColumn> phase_columns();
// The phase's name in CSV headers: "vapour", "liquid1", "liquid2".
std::string_view csv_phase_name(Phase p);

}  // namespace hxprops
