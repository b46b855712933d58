// Critical temperature and pressure of one phase's composition, from the host flash library's
// critical-point routine. The two routines differ only in which output they return.
#pragma once

#include <cstdint>

#include "frame/trace_table.h"

namespace kvt::critical {

enum class Output { Temperature, Pressure };

// For the whole stream the stream vector is packed first (TEBU_CPACK writes the component-number
// list and Z of the data store); for a single phase its composition of the last flash is used.
void critical_point(Output which, const trace::Routine& routine, double* strm, const int64_t* nstrm,
                    const int64_t* iphs, double* result, int64_t* ierr);

}  // namespace kvt::critical
