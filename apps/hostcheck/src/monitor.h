// The property monitor, called for every phase of each stream the way the library's property routines
// call it, after a temperature-pressure flash.
#pragma once

#include "store.h"

namespace kvt::hostcheck {

void check_monitor(Context& cx);

}  // namespace kvt::hostcheck
