#include "numerics/linear_solve.h"

#include <cmath>
#include <cstddef>
#include <utility>

namespace kvt::reference {

bool linear_solve(std::vector<double>& a, std::vector<double>& b) {
  const std::size_t n = b.size();
  for (std::size_t c = 0; c < n; ++c) {
    std::size_t piv = c;
    for (std::size_t r = c + 1; r < n; ++r) {
      if (std::abs(a[r * n + c]) > std::abs(a[piv * n + c])) piv = r;
    }
    if (!(std::abs(a[piv * n + c]) > 1e-300)) return false;
    if (piv != c) {
      for (std::size_t k = 0; k < n; ++k) std::swap(a[c * n + k], a[piv * n + k]);
      std::swap(b[c], b[piv]);
    }
    for (std::size_t r = c + 1; r < n; ++r) {
      const double f = a[r * n + c] / a[c * n + c];
      for (std::size_t k = c; k < n; ++k) a[r * n + k] -= f * a[c * n + k];
      b[r] -= f * b[c];
    }
  }
  for (std::size_t c = n; c-- > 0;) {
    for (std::size_t k = c + 1; k < n; ++k) b[c] -= a[c * n + k] * b[k];
    b[c] /= a[c * n + c];
  }
  return true;
}

}  // namespace kvt::reference
