// A number as text in messages, plot scripts and CSV cells: %g with the given significant digits.
#pragma once

#include <string>

namespace hxprops {

std::string number_text(double v, int significant = 6);

}  // namespace hxprops
