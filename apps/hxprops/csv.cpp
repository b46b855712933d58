#include "csv.h"

#include <cstdio>
#include <fstream>

#include "columns.h"
#include "errors.h"
#include "number_text.h"

namespace hxprops {

namespace {

std::string header_cell(std::string_view quantity, std::string_view phase, std::string_view unit) {
  return std::string(quantity) + ":" + std::string(phase) + " [" + std::string(unit) + "]";
}

bool applies(const PhaseColumn& col, Phase ph) { return !col.liquids_only || is_liquid(ph); }

}  // namespace

std::vector<std::string> csv_header(const SideCurve&) {
  std::vector<std::string> cells;
  for (const StreamColumn& col : stream_columns()) cells.push_back(header_cell(col.quantity, "stream", col.unit));
  for (Phase ph : kCurvePhases) {
    for (const PhaseColumn& col : phase_columns()) {
      if (applies(col, ph)) cells.push_back(header_cell(col.quantity, csv_phase_name(ph), col.unit));
    }
  }
  return cells;
}

std::string csv_text(const SideCurve& curve) {
  std::string out;
  const std::vector<std::string> header = csv_header(curve);
  for (std::size_t i = 0; i < header.size(); ++i) out += (i ? "," : "") + header[i];
  out += "\n";
  for (const CurvePoint& p : curve.points) {
    std::string row;
    for (const StreamColumn& col : stream_columns()) row += (row.empty() ? "" : ",") + number_text(col.get(p), 10);
    for (int k = 0; k < kCurvePhaseCount; ++k) {
      for (const PhaseColumn& col : phase_columns()) {
        if (!applies(col, kCurvePhases[k])) continue;
        const Figure v = col.get(p.phases[k]);
        row += "," + (v.value ? number_text(*v.value, 10) : std::string());
      }
    }
    out += row + "\n";
  }
  return out;
}

std::string csv_file_name(int side) { return "side" + std::to_string(side) + ".csv"; }

void write_csv(const std::filesystem::path& file, const SideCurve& curve) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << csv_text(curve);
  out.close();
  if (!out) throw RunError("cannot write " + file.string());
}

}  // namespace hxprops
