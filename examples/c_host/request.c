/* A program on kvt and the toy C host: it fills the library's blocks as the host gives them, flashes a
 * stream of the two components at 350 K and 0.85 bar on side 0, and prints each phase's fraction and
 * properties per unit mass, with the heat capacity call traced. */
#include <stdio.h>
#include <string.h>

#include <kvt/kvt.h>

#include "c_host.h"

int main(void) {
  static const double flows[C_HOST_NCOMP] = {0.006, 0.004}; /* kmol/s */
  double strm[C_HOST_NSTRM];
  c_host_blocks(KVT_IHXPP, KVT_RHXPP, KVT_HXPKV, &KVT_WORD(KVT_HXRMSS, KVT_HXRMSS_MISSING));
  KVT_WORD(KVT_HXRMIN, KVT_HXRMIN_VOLUME) = 1e-10;
  KVT_WORD(KVT_HXOUTP, KVT_HXOUTP_UNIT) = 6;
  if (c_host_stream(flows, 300.0, 1.0e5, strm) != 0) return 1;

  const double t = 350.0, p = 0.85e5;
  const int64_t nstrm = C_HOST_NSTRM, side = KVT_SIDE_0, slot = 1, kspec = KVT_SPEC_TP, kphs = KVT_PHASES_VAPOUR_LIQUID,
                kpeq = KVT_PEQ_OFF, mass = KVT_BASIS_MASS;
  int64_t ierr = 0;
  KVT_HXUTMP(strm, NULL, NULL, &t);
  KVT_HXUPRS(strm, NULL, NULL, &p);
  KVT_HXFLSH(strm, &nstrm, &side, &slot, &kspec, &kphs, &kpeq, &ierr);
  if (ierr != 0) {
    printf("flash failed: IERR %lld\n", (long long)ierr);
    return 1;
  }
  static const struct { int64_t code; const char* name; } phases[] = {
      {KVT_PHASE_STREAM, "stream"}, {KVT_PHASE_VAPOUR, "vapour"}, {KVT_PHASE_LIQUID, "liquid"}};
  printf("%-8s %10s %12s %12s %12s %12s\n", "phase", "kg/kg", "Cp J/(kg K)", "rho kg/m3", "mu Pa s", "k W/(m K)");
  for (size_t k = 0; k < sizeof phases / sizeof phases[0]; ++k) {
    double frc, cp, rho, mu, thc;
    KVT_WORD(KVT_HXPDBG, KVT_TRACE_HXPCPP) = phases[k].code == KVT_PHASE_LIQUID;
    KVT_HXPFRC(strm, &nstrm, &side, &phases[k].code, &mass, &frc, &ierr);
    KVT_HXPCPP(strm, &nstrm, &side, &phases[k].code, &mass, &cp, &ierr);
    KVT_HXPDNS(strm, &nstrm, &side, &phases[k].code, &mass, &rho, &ierr);
    KVT_HXPVIS(strm, &nstrm, &side, &phases[k].code, &mass, &mu, &ierr);
    KVT_HXPTHC(strm, &nstrm, &side, &phases[k].code, &mass, &thc, &ierr);
    printf("%-8s %10.4f %12.1f %12.2f %12.4e %12.4f\n", phases[k].name, frc, cp, rho, mu, thc);
  }
  return 0;
}
