// Dense linear systems of the host's Newton iterations (a few unknowns: one per component, and two
// more on a phase envelope).
#pragma once

#include <vector>

namespace kvt::reference {

// Solve a x = b in place (a row-major n x n, b of size n, x left in b) by Gaussian elimination with
// partial pivoting; false when a is singular to working precision.
bool linear_solve(std::vector<double>& a, std::vector<double>& b);

// A relative step for a Jacobian by forward differences: about the square root of the double's precision.
inline constexpr double kDifferenceStep = 1e-7;

}  // namespace kvt::reference
