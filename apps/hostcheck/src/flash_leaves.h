// The checks on what one flash leaves for the library to read: its status and verdict, its
// conditions, its phase split, the component list, the compositions, the phase property table, the
// stream's totals, and the words it must write. check_flashes (flash_probe.h) runs them.
#pragma once

#include "flash_probe.h"

namespace kvt::hostcheck {

void check_status(Context& cx, const FlashOutcome& f);
void check_conditions(Context& cx, const FlashOutcome& f);
void check_split(Context& cx, const FlashOutcome& f);
// The flash count and component-number list; true when the checks that read through the list can run.
bool check_component_list(Context& cx, const FlashOutcome& f, const kvt_hostcheck_stream& s);
void check_compositions(Context& cx, const FlashOutcome& f, const kvt_hostcheck_stream& s, const Split& sp);
void check_table(Context& cx, const FlashOutcome& f, const Split& sp);
void check_totals(Context& cx, const FlashOutcome& f, const Split& sp);
// Words a flash must write left holding the marker, and words it must leave changed.
void check_writes(Context& cx, const FlashOutcome& f);

}  // namespace kvt::hostcheck
