// The property plots through gnuplot: per side a row of panels, heat capacity, viscosity, thermal
// conductivity and density of each phase and the stream's vapour fraction against temperature, one
// line per phase (by colour) and pressure level (by dash: the side's own path, then each of its
// property tables), every phase boundary a marked point, the side's own boundaries a dotted line.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "compute/curve.h"
#include "output/plot.h"
#include "case/units.h"

namespace hxprops {

// `columns`: panels side by side (5: a side's row; fewer: a side's panels over several rows).
std::string property_plot_script(const std::string& title, const std::vector<SideCurve>& curves, const std::filesystem::path& image,
                                 PlotFormat format, UnitSystem units, int columns = 5);

// Draw them into `image`; throws as render_plot does.
void render_property_plot(const std::string& title, const std::vector<SideCurve>& curves, const std::filesystem::path& image,
                          PlotFormat format, UnitSystem units, int columns = 5);

}  // namespace hxprops
