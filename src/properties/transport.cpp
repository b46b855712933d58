#include <initializer_list>

#include "properties/transport.h"

#include "frame/stream.h"
#include "frame/trace.h"
#include "host/packed.h"
#include "kvt/kvt.h"
#include "properties/skeleton.h"

namespace kvt::props {

namespace {

constexpr host::Group group(Phase ph) {
  return ph == Phase::Vapour ? host::Group::Vapour : ph == Phase::Liquid1 ? host::Group::Liquid1 : host::Group::Liquid2;
}

}  // namespace

void transport_property(const TransportProperty& p, double* strm, const int64_t* nstrm, const int64_t* iside,
                        const int64_t* iphs, double* result, int64_t* ierr) {
  const PhaseRequest r = begin_request(strm, nstrm, iphs, nullptr, ierr);
  // The host receives the routine's own copies of the packed counts.
  int64_t counts[3] = {};  // vapour, first liquid, second liquid
  const auto count = [&](Phase ph) -> int64_t& { return counts[ph == Phase::Vapour ? 0 : ph == Phase::Liquid1 ? 1 : 2]; };
  for (Phase ph : {Phase::Liquid1, Phase::Liquid2, Phase::Vapour}) {
    if (ph != Phase::Vapour || p.vapour != nullptr) count(ph) = host::packed_count(group(ph));
  }
  OptionCopies options(clamp_side(*iside));
  const Mixing mixing = p.vapour != nullptr ? Mixing::AllPhases : Mixing::Liquids;
  combine(r, mixing, result, ierr, [&](Phase ph, double* dest) {
    const MixtureRoutine routine = ph == Phase::Vapour ? p.vapour : p.liquid;
    routine(&slot(strm, Slot::Temperature), &slot(strm, Slot::Pressure), host::packed_fractions(group(ph)),
            &count(ph), host::packed_numbers(group(ph)), options.of(ph), option23(), dest, ierr);
  });
  if (trace::enabled(p.trace)) {
    trace::write(p.trace, {.strm = strm, .nstrm = *nstrm, .phase = r.phase, .result = *result});
  }
}

}  // namespace kvt::props
