// The composite curves of the exchanger through gnuplot: both sides' temperatures against the heat
// exchanged, counted from the hot side's outlet end (counter-current: the cold side's inlet; both
// curves then rise from left to right) or from the common inlet end (co-current), with the phase
// boundaries marked and labelled inside the plot.
#pragma once

#include <filesystem>
#include <vector>
#include <optional>
#include <string>
#include <string_view>

#include "case/case_model.h"
#include "compute/curve.h"
#include "case/units.h"

namespace hxprops {

enum class PlotFormat { Png, Svg };
// The image format a file name asks for by its extension (.png, .svg); none for any other.
std::optional<PlotFormat> plot_format(const std::filesystem::path& file);

// The gnuplot script that draws the curves into `image`.
std::string gnuplot_script(const Case& c, const std::vector<SideCurve>& curves, const std::filesystem::path& image,
                           PlotFormat format, UnitSystem units);

// Run gnuplot (found on PATH) on that script. Throws RunError when gnuplot is missing, fails, or
// leaves no image of the format behind.
void render_plot(const Case& c, const std::vector<SideCurve>& curves, const std::filesystem::path& image,
                 PlotFormat format, UnitSystem units);

// Run gnuplot on a script that draws into `image`; throws as render_plot does.
void run_gnuplot(const std::string& script, const std::filesystem::path& image, PlotFormat format);
// The script lines that choose the terminal (pngcairo, else png; svg) of that size and the output.
std::string gnuplot_terminal(PlotFormat format, int width, int height, const std::filesystem::path& image);
// A gnuplot single-quoted string (no escapes but '' for a quote; line breaks dropped).
std::string gp_string(std::string_view s);

// Whether `file` holds an image of the format (PNG signature; an SVG document).
bool is_image(const std::filesystem::path& file, PlotFormat format);

}  // namespace hxprops
