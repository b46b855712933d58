// The heat-release curve of both sides through gnuplot: temperature against the heat exchanged,
// counted from the cold end of each side so that both curves rise from left to right as in a
// counter-current exchanger, with the phase boundaries marked and labelled.
#pragma once

#include <array>
#include <filesystem>
#include <string>

#include "case_model.h"
#include "curve.h"

namespace hxprops {

// The gnuplot script that draws the curves into `png` (pngcairo terminal, png when pngcairo is
// missing).
std::string gnuplot_script(const Case& c, const std::array<SideCurve, 2>& curves, const std::filesystem::path& png);

// Run gnuplot (found on PATH) on that script. Throws RunError when gnuplot is missing, fails, or
// leaves no PNG image behind.
void render_plot(const Case& c, const std::array<SideCurve, 2>& curves, const std::filesystem::path& png);

// Whether `file` starts with the PNG signature.
bool is_png(const std::filesystem::path& file);

}  // namespace hxprops
