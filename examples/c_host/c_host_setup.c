/* The toy host as a host module for kvt-hostcheck: kvt_hostcheck_setup gives the checker the blocks
 * the host fills and three streams of the two components, a liquid, a vapour and one of both. */
#include <kvt/hostcheck.h>

#include "c_host.h"

static double streams[3][C_HOST_NSTRM];
static struct kvt_hostcheck_stream described[3];

KVT_HOSTCHECK_SETUP_EXPORT int kvt_hostcheck_setup(struct kvt_hostcheck_input* input) {
  static const double flows[C_HOST_NCOMP] = {0.006, 0.004}; /* kmol/s */
  static const struct { const char* name; double t, p; int64_t side; } states[3] = {
      {"liquid", 300.0, 1.0e5, 0}, {"vapour", 420.0, 1.0e5, 1}, {"vapour and liquid", 350.0, 0.85e5, 0}};
  for (int k = 0; k < 3; ++k) {
    if (c_host_stream(flows, states[k].t, states[k].p, streams[k]) != 0) return 1;
    described[k].name = states[k].name;
    described[k].strm = streams[k];
    described[k].nstrm = C_HOST_NSTRM;
    described[k].side = states[k].side;
  }
  *input = (struct kvt_hostcheck_input){0};
  input->plex_words = c_host_plex_words();
  c_host_blocks(input->ihxpp, input->rhxpp, input->hxpkv, &input->missing);
  input->nstreams = 3;
  input->streams = described;
  return 0;
}
