// The property monitor, called for every phase of each stream the way the library's property routines
// call it, after a temperature-pressure flash: its values, error flags, units and roles, a temperature
// sweep, and what the setup's streams leave unexercised.
#pragma once

#include "store.h"

namespace kvt::hostcheck {

// `only`: heat-capacity, property-values, error-flags, units, sweep or coverage.
void check_monitor(Context& cx, Check only);

}  // namespace kvt::hostcheck
