/* A host in C for kvt, on a toy model of two components (a light and a heavy paraffin): ideal gas,
 * ideal solution (Raoult's law), a vapour pressure ln(p / Pa) = A - B / T per component, constant heat
 * capacities and a constant heat of vaporisation R B (so that it obeys Clausius-Clapeyron exactly).
 * Units as kvt/host.h gives them: K, Pa, kmol/s, J/kmol, m3/kmol, Pa s, W/(m K), N/m.
 *
 * c_host.c defines every symbol of kvt/host.h; c_host_setup.c adds kvt_hostcheck_setup for
 * kvt-hostcheck; request.c is a program on the library and this host. */
#ifndef C_HOST_H_
#define C_HOST_H_

#include <stdint.h>

#define C_HOST_NCOMP 2
/* Length of a stream vector: the component flows and the nine slots kvt reads. */
#define C_HOST_NSTRM (C_HOST_NCOMP + 9)

/* What the host gives the library's blocks: KVT_IHXPP, KVT_RHXPP, KVT_HXPKV and the missing value
 * (word 1 of KVT_HXRMSS); both sides flash vapour-liquid, retention on. */
void c_host_blocks(int64_t ihxpp[28], double rhxpp[8], int64_t hxpkv[16], double* missing);

/* A stream vector of the given component flows (kmol/s) at t (K) and p (Pa), in the state the host's
 * flash leaves it (flashed, enthalpy, vapour fraction and molecular weight filled). Returns 0, or 1
 * when the flash fails. */
int c_host_stream(const double flows[C_HOST_NCOMP], double t, double p, double strm[C_HOST_NSTRM]);

/* Length of VOKA_PLEX, the host's work array. */
int64_t c_host_plex_words(void);

#endif /* C_HOST_H_ */
