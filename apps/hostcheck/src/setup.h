// The setup's lengths against what the host owns and writes, before any other check flashes: the work
// array's declared length (plex_words) against the host's VOKA_PLEX, and each stream vector's declared
// length (nstrm) against the slots the host's flash writes (guard words past it); the time of the first
// flash, as an estimate of the whole run. And the trace path: the unit the setup gives for KVT_HXOUTP
// reaches UNIT_WRITE.
#pragma once

#include "layout.h"

namespace kvt::hostcheck {

void check_setup(Context& cx, const Layout& layout);
void check_trace(Context& cx);
// Words of the host's VOKA_PLEX where the platform tells (the size of its symbol); 0 where it does not.
int64_t owned_plex_words();

}  // namespace kvt::hostcheck
