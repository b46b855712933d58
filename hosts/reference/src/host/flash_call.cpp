#include "host/flash_call.h"

#include <cmath>
#include <sstream>

#include "host/host_state.h"

namespace kvt::reference {

Feed feed_of(const double* flows) {
  const HostState& h = host();
  Feed f;
  f.z.resize(static_cast<std::size_t>(h.ncomp()));
  for (std::size_t i = 0; i < f.z.size(); ++i) {
    f.z[i] = load(flows, static_cast<std::int64_t>(i));
    if (!(f.z[i] >= 0.0) || !std::isfinite(f.z[i])) {
      std::ostringstream s;
      s << "flow of " << h.system.components[i]->name << " is " << f.z[i] << " kmol/s: flows must be 0 or more";
      f.problem = s.str();
      return f;
    }
    f.flow += f.z[i];
  }
  if (!(f.flow > 0.0)) {
    f.problem = "the stream has no flow";
    return f;
  }
  for (double& v : f.z) v /= f.flow;
  return f;
}

FlashRequest flash_request(const Feed& feed, std::int64_t kspec, double spec1, double spec2, double estimate,
                           bool free_water, PhaseModel model) {
  const HostState& h = host();
  std::vector<const Component*> present;
  for (std::size_t i = 0; i < feed.z.size(); ++i) {
    if (feed.z[i] > 0.0) present.push_back(h.system.components[i]);
  }
  const TRange r = set_range(present);
  FlashRequest req;
  req.kspec = static_cast<int>(kspec);
  req.spec1 = spec1;
  req.spec2 = spec2;
  req.estimate = estimate;
  req.free_water = free_water;
  req.model = model;
  req.t_min = r.min;
  req.t_max = r.max;
  req.p_min = kPressureMin;
  req.p_max = kPressureMax;
  return req;
}

}  // namespace kvt::reference
