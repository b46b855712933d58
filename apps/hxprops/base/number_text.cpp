#include "base/number_text.h"

#include <cstdio>

namespace hxprops {

std::string number_text(double v, int significant) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*g", significant, v);
  return buf;
}

}  // namespace hxprops
