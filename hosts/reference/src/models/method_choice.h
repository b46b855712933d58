// The property method `Method::automatic` picks for a component set at a pressure, and why: the rules
// the host README states with the figures behind them.
#pragma once

#include <vector>

#include "data/databank.h"
#include "kvt_reference/reference_host.h"

namespace kvt::reference {

MethodChoice choose_method(const Databank& db, const std::vector<const Component*>& components, double pressure);

}  // namespace kvt::reference
