/* kvt: stream-property routines for a flowsheet host's heat-exchanger calculations.
 *
 * The host loads the library (libkvt.so, or kvt.dll on 64-bit Windows) and binds the routines and
 * blocks below by name; the library in turn binds the host's data store, stream utilities, flash and
 * property monitor by name (kvt/host.h, included at the end: a host must define every symbol there).
 *
 * Conventions
 *  - Every routine is a subroutine: every argument is passed by address, integers are int64_t, reals
 *    are double, arrays are 1-based in the notes below (element 1 is at index 0). Results and error
 *    codes travel only through output arguments.
 *  - STRM is the host's stream vector for one stream: component flows in slots 1..NCOMP, then total
 *    flow (NCOMP+1), temperature (NCOMP+2), pressure (NCOMP+3), enthalpy (NCOMP+4), vapour fraction
 *    (NCOMP+5) and molecular weight (NCOMP+9); NCOMP is word 1 of VOKA_NCOMP. NSTRM, its length, is
 *    used only by the trace.
 *  - Codes. ISIDE 0 or 1 selects an option set; any other value means 0 (the flash: see KVT_HXFLSH).
 *    IPHS 1 whole stream, 2 vapour, 3 total liquid, 4 first liquid, 5 second liquid; any other value
 *    means 1. IBAS 0 mole basis, 1 mass basis; any other value means 0. Out-of-range codes are
 *    clamped, never reported, and the caller's arguments are never written.
 *  - An argument that means nothing to a routine is never read (the host may pass any address there).
 *  - The property routines share the argument list (STRM, NSTRM, ISIDE, IPHS, IBAS, result, IERR).
 *    IERR is 0 unless the phase is absent from the stream: then result is the missing value (word 1
 *    of KVT_HXRMSS) and IERR is -1. A value at or above the missing value counts as missing.
 *  - The property routines do not flash: they read what the host's last flash left in its data store,
 *    so the host flashes a stream (KVT_HXFLSH) before it asks for that stream's phase properties.
 *  - The library allocates nothing, keeps no files or threads and prints nothing but the optional
 *    diagnostic trace (KVT_HXPDBG). It is not re-entrant: calls must never overlap, and the blocks
 *    must not change during a call.
 *
 * What a host must do, once: define the symbols of kvt/host.h; fill KVT_IHXPP, KVT_RHXPP, KVT_HXPKV,
 * KVT_HXRMSS, KVT_HXRMIN, KVT_HXOUTP and KVT_HXPDBG; then set up a stream (setters), flash it and ask.
 */
#ifndef KVT_KVT_H_
#define KVT_KVT_H_

#include <stdint.h>

#include "kvt/export.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Codes a caller passes --------------------------------------------------------------------- */

/* IPHS: which phase of the stream a routine answers for. */
enum kvt_phase {
  KVT_PHASE_STREAM = 1,  /* the whole stream */
  KVT_PHASE_VAPOUR = 2,
  KVT_PHASE_LIQUID = 3,  /* all liquid together */
  KVT_PHASE_LIQUID1 = 4, /* first liquid */
  KVT_PHASE_LIQUID2 = 5  /* second liquid */
};
/* IBAS: mole or mass basis. */
enum kvt_basis { KVT_BASIS_MOLE = 0, KVT_BASIS_MASS = 1 };
/* ISIDE: which option set of KVT_IHXPP / KVT_RHXPP a routine uses. */
enum kvt_side { KVT_SIDE_0 = 0, KVT_SIDE_1 = 1 };
/* KSPEC of KVT_HXFLSH: the two quantities the flash holds fixed. */
enum kvt_flash_spec {
  KVT_SPEC_PH = 1, /* pressure and enthalpy */
  KVT_SPEC_TP = 2, /* temperature and pressure */
  KVT_SPEC_PV = 3, /* pressure and vapour fraction */
  KVT_SPEC_TH = 4, /* temperature and enthalpy */
  KVT_SPEC_TV = 5  /* temperature and vapour fraction */
};
/* KPHS of KVT_HXFLSH: the phases the flash may form; any other value: as the side's option set says.
 * The library turns a code into the flash's phase count and phase kind code (2 and kind 1, 1 and kind
 * 2, 1 and kind 1); what a kind code means lies with the host. The names say what the reference host
 * does with them: one phase of kind 2 is liquid only, one phase of kind 1 vapour only. */
enum kvt_flash_phases {
  KVT_PHASES_OPTION_SET = 0,
  KVT_PHASES_VAPOUR_LIQUID = 1,
  KVT_PHASES_LIQUID = 2,
  KVT_PHASES_VAPOUR = 3
};
/* KPEQ of KVT_HXFLSH: 1 has the flash call MUTO_PEQPT1 afterwards; any other value does not. */
enum kvt_flash_peq { KVT_PEQ_OFF = 0, KVT_PEQ_ON = 1 };
/* IERR values the library itself sets. The flash also hands the host's flash error code through, and
 * the conductivity, viscosity and surface-tension routines the property monitor's error flag. */
enum kvt_error {
  KVT_OK = 0,
  KVT_ERR_ABSENT = -1,      /* the phase is absent (or the quantity does not exist for it) */
  KVT_ERR_FLASH_FAILED = 1  /* KVT_HXFLSH: the host raised VOKA_FLSCM2 */
};

/* The words of the configuration blocks below (KVT_WORD, KVT_IHXPP_NSUBS, KVT_TRACE_HXPCPP, ...) are
 * named in kvt/host_layout.h, beside the host's own words: a host fills them. */

/* ---- Configuration blocks (zero at load; the host writes them) -------------------------------- */

/* Integer options. Words 1-10 option set of side 0, 11-20 option set of side 1 (same layout):
 *   1-6 / 11-16  option list handed to the host's flash and property monitor
 *   7 / 17       phase count for the flash        8 / 18   phase kind code for the flash
 *   9 / 19       flash option word                10 / 20  water switch (1: water rule on)
 * Common words: 21 and 23 handed to the property monitor (23 also to the flash), 22 handed to the
 * flash, 24 PLEX position of the first integer retention record, 25 of the first real retention
 * record, 26 NSUBS (substreams per stream vector), 27 retention mode (0 off, 1 or 2 on; the flash
 * rewrites it), 28 not read. */
KVT_EXPORT extern int64_t KVT_IHXPP[28];
/* Real options. Word 1 / 4: flash real option of side 0 / 1; word 2 / 5: estimate marker of side
 * 0 / 1 (the flash raises it to the missing value when it drops the retention-slot-2 estimate).
 * Words 3, 6, 7, 8 are not read. */
KVT_EXPORT extern double KVT_RHXPP[8];
/* PLEX positions of the packed compositions the flash writes, for phase group k (1 liquid, 2 first
 * liquid, 3 second liquid, 4 vapour): word k the count, word k+5 the first component number, word
 * k+10 the first mole fraction. Each list needs room for N entries (word 3 of VOKA_STWKWK). Words 5,
 * 10, 15, 16 are not read. A position below 1 is never read or written: the count reads as 0. */
KVT_EXPORT extern int64_t KVT_HXPKV[16];
/* Word 1: the library's missing value (set it to a large positive number). Words 2-4 not read. */
KVT_EXPORT extern double KVT_HXRMSS[4];
/* Word 1: lower bound on a molar volume; the density of a volume at or below it is missing. */
KVT_EXPORT extern double KVT_HXRMIN[4];
/* Words 1 and 2: handed to MUTO_PEQPT1 by a side-0 / side-1 flash called with KPEQ 1. */
KVT_EXPORT extern int64_t KVT_HXSBD[4];
/* Exported for the host; not read by the library. */
KVT_EXPORT extern int64_t KVT_HXSTRB[4];
KVT_EXPORT extern int64_t KVT_HXIMSS[4];
/* Diagnostic trace switches, one word per routine; "= 1" traces only for exactly 1, ">= 1" for any
 * positive value. 1 HXFLSH (= 1), 2 HXPCPP (>= 1), 3 HXPDNS (>= 1), 4 HXPFRC (= 1), 5 HXPMFL (>= 1),
 * 6 HXPMWT (>= 1), 9 HXPPRC (= 1), 10 HXPPRS (= 1), 11 HXPQFL (>= 1), 12 HXPSFT (>= 1),
 * 13 HXPTHC (>= 1), 14 HXPTHV (= 1), 15 HXPTMC (= 1), 16 HXPTMP (= 1), 17 HXPVIS (>= 1). Words 7, 8
 * and 18-28 switch nothing. The setters never trace. */
KVT_EXPORT extern int64_t KVT_HXPDBG[28];
/* Word 1: the trace unit, handed to UNIT_WRITE as a 32-bit integer (its low half). Words 2-4 not read. */
KVT_EXPORT extern int64_t KVT_HXOUTP[4];

/* ---- Flash ------------------------------------------------------------------------------------- */

/* Flash STRM with the option set of side ISIDE (0 or 1; any other value reuses the option set of the
 * previous flash) and leave the results where the property routines find them; STRM's temperature
 * and pressure are overwritten with the flash's. KSPEC: 1 P-H, 2 T-P, 3 P-vapour fraction, 4 T-H,
 * 5 T-vapour fraction. KPHS: 1 vapour-liquid, 2 liquid only, 3 vapour only (kvt_flash_phases), other:
 * as the option set says. KPEQ 1 calls MUTO_PEQPT1 after the flash. ISLOT 1..5 selects the side's retention record when
 * the retention mode (word 27 of KVT_IHXPP) is not 0; any other ISLOT, or ISIDE other than 0 and 1,
 * uses the flash's scratch records and writes no record status word, so a flash never addresses
 * memory beyond the ten retention records. IERR: the host's flash error code (VOKA_FLSCOM) after a
 * good flash; otherwise 1 when the host raised VOKA_FLSCM2 (which is then reset), else 0. */
KVT_EXPORT void KVT_HXFLSH(double* STRM, const int64_t* NSTRM, const int64_t* ISIDE, const int64_t* ISLOT,
                           const int64_t* KSPEC, const int64_t* KPHS, const int64_t* KPEQ, int64_t* IERR);

/* Fraction of the stream in phase IPHS, mole or mass basis. ISIDE is not read. 0.0 when the stream's
 * vapour fraction is at or above the host's missing value (VOKA_RGLOB). IERR is always 0. */
KVT_EXPORT void KVT_HXPFRC(double* STRM, const int64_t* NSTRM, const int64_t* ISIDE, const int64_t* IPHS,
                           const int64_t* IBAS, double* FRC, int64_t* IERR);

/* ---- Stream quantities of one phase ------------------------------------------------------------- */

/* Molecular weight of the phase (whole stream: STRM(NCOMP+9)). */
KVT_EXPORT void KVT_HXPMWT(double* STRM, const int64_t* NSTRM, const int64_t* ISIDE, const int64_t* IPHS,
                           const int64_t* IBAS, double* MWT, int64_t* IERR);
/* Mass (IBAS 1) or mole flow of the phase; an absent phase has flow 0.0. IERR is always 0. */
KVT_EXPORT void KVT_HXPMFL(double* STRM, const int64_t* NSTRM, const int64_t* ISIDE, const int64_t* IPHS,
                           const int64_t* IBAS, double* MFL, int64_t* IERR);
/* Heat (enthalpy) flow of the phase; mole basis only, IBAS is not read. IERR is always 0. */
KVT_EXPORT void KVT_HXPQFL(double* STRM, const int64_t* NSTRM, const int64_t* ISIDE, const int64_t* IPHS,
                           const int64_t* IBAS, double* QFL, int64_t* IERR);

/* ---- Physical properties of one phase ---------------------------------------------------------- */

/* Heat capacity, per mole or per unit mass. */
KVT_EXPORT void KVT_HXPCPP(double* STRM, const int64_t* NSTRM, const int64_t* ISIDE, const int64_t* IPHS,
                           const int64_t* IBAS, double* CPP, int64_t* IERR);
/* Thermal conductivity. The fifth argument is not read. IERR may carry the host's error flag. */
KVT_EXPORT void KVT_HXPTHC(double* STRM, const int64_t* NSTRM, const int64_t* ISIDE, const int64_t* IPHS,
                           const int64_t* IBAS, double* THC, int64_t* IERR);
/* Viscosity. The fifth argument is not read. IERR may carry the host's error flag. */
KVT_EXPORT void KVT_HXPVIS(double* STRM, const int64_t* NSTRM, const int64_t* ISIDE, const int64_t* IPHS,
                           const int64_t* IBAS, double* VIS, int64_t* IERR);
/* Surface tension of the liquid (whole stream = total liquid; vapour: missing). The fifth argument is
 * not read. IERR may carry the host's error flag. */
KVT_EXPORT void KVT_HXPSFT(double* STRM, const int64_t* NSTRM, const int64_t* ISIDE, const int64_t* IPHS,
                           const int64_t* IBAS, double* SFT, int64_t* IERR);
/* Density, molar or mass, from the flash's molar volumes; missing (IERR 0) when the mixture volume is
 * at or below word 1 of KVT_HXRMIN. */
KVT_EXPORT void KVT_HXPDNS(double* STRM, const int64_t* NSTRM, const int64_t* ISIDE, const int64_t* IPHS,
                           const int64_t* IBAS, double* DNS, int64_t* IERR);
/* Heat of vaporisation of the liquid (whole stream = total liquid; vapour: missing), per mole or per
 * unit mass. A stream without liquid fractions but not wholly vapour gives 0.0 with IERR 0. */
KVT_EXPORT void KVT_HXPTHV(double* STRM, const int64_t* NSTRM, const int64_t* ISIDE, const int64_t* IPHS,
                           const int64_t* IBAS, double* THV, int64_t* IERR);

/* ---- Critical properties of one phase's composition ------------------------------------------- */

/* Critical temperature / pressure. IBAS is not read; ISIDE has no effect. For the whole stream the
 * stream is packed by TEBU_CPACK over the component-number list and Z of the data store. */
KVT_EXPORT void KVT_HXPTMC(double* STRM, const int64_t* NSTRM, const int64_t* ISIDE, const int64_t* IPHS,
                           const int64_t* IBAS, double* TMC, int64_t* IERR);
KVT_EXPORT void KVT_HXPPRC(double* STRM, const int64_t* NSTRM, const int64_t* ISIDE, const int64_t* IPHS,
                           const int64_t* IBAS, double* PRC, int64_t* IERR);

/* ---- Stream slots ------------------------------------------------------------------------------ */

/* The stream's temperature / pressure. ISIDE, IPHS and IBAS are not read. IERR is 0. */
KVT_EXPORT void KVT_HXPTMP(double* STRM, const int64_t* NSTRM, const int64_t* ISIDE, const int64_t* IPHS,
                           const int64_t* IBAS, double* TMP, int64_t* IERR);
KVT_EXPORT void KVT_HXPPRS(double* STRM, const int64_t* NSTRM, const int64_t* ISIDE, const int64_t* IPHS,
                           const int64_t* IBAS, double* PRS, int64_t* IERR);
/* Store VALUE, unchecked, as the stream's temperature / pressure / enthalpy / vapour fraction. The
 * second and third arguments are not read. No error code, no trace. */
KVT_EXPORT void KVT_HXUTMP(double* STRM, const void* UNUSED2, const void* UNUSED3, const double* VALUE);
KVT_EXPORT void KVT_HXUPRS(double* STRM, const void* UNUSED2, const void* UNUSED3, const double* VALUE);
KVT_EXPORT void KVT_HXUNTH(double* STRM, const void* UNUSED2, const void* UNUSED3, const double* VALUE);
KVT_EXPORT void KVT_HXUVFR(double* STRM, const void* UNUSED2, const void* UNUSED3, const double* VALUE);

#ifdef __cplusplus
} /* extern "C" */
#endif

#include "kvt/host.h"

#endif /* KVT_KVT_H_ */
