// Characterisation of a petroleum fraction known by its distillation curve and its gravity: the cut
// into pseudo-components, and each pseudo-component's constants and temperature correlations,
// estimated by published methods and written in the databank's own correlation forms, so that a
// pseudo-component is a Component like any other (docs/hxprops.md, "Assays", cites the methods).
#pragma once

#include <array>
#include <string>
#include <vector>

#include "data/databank.h"

namespace kvt::reference {

// One cut: its cut points (K), its normal boiling point (K) and specific gravity (60/60 degF) and
// what the methods make of them. The volume share is the cut's share of the sample's liquid volume.
struct PseudoCut {
  double t_from = 0.0, t_to = 0.0, tb = 0.0, sg = 0.0, volume_share = 0.0;
};

// The component of a cut, named `name`. Throws Error naming the cut when a method leaves its range
// (a boiling point outside 250-1000 K, a gravity outside 0.55-1.2).
Component pseudo_component(const std::string& name, double tb, double sg);

// The cuts of a true-boiling-point curve ((% volume distilled, K) rising) of a sample of the given
// bulk specific gravity. The cut points are the curve's own points, each interval between them
// divided into equal temperature steps: steps of at most `cut_width` K when it is positive, else
// `cuts` steps in all, each added to the interval whose steps are widest (fewer cuts than intervals
// divide the whole range equally). Each cut boils at the temperature of its mid volume and has the
// gravity a constant Watson characterisation factor gives, the factor chosen so that the cuts'
// volumes add to the bulk gravity. Throws Error naming the field.
std::vector<PseudoCut> cut_curve(const std::vector<std::array<double, 2>>& tbp, double sg, int cuts, double cut_width);

}  // namespace kvt::reference
