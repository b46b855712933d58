/* kvt: the symbols a host must define before it can load the library.
 *
 * The library imports these blocks and routines by name and defines none of them: a host that lacks
 * one fails when it loads the library ("undefined symbol"), never later and never silently.
 *
 * Conventions are those of kvt.h: every argument by address, integers int64_t, reals double, arrays
 * 1-based in the text below (element 1 is at index 0). Blocks are arrays of 64-bit words; a word of
 * VOKA_PLEX, VOKA_STWKWK, VOKA_RGLOB or TEBU_STWORK holds either an int64_t or the bits of a double,
 * as listed. Pointers the library hands to the host may point into VOKA_PLEX, into the caller's
 * stream vector, into the library's blocks or into its working storage; the host may write through
 * the ones marked "out" and must not keep any of them beyond the call. kvt/host_layout.h names every
 * word and slot below, and the words of the library's blocks the host fills (KVT_IHXPP, ...): a host
 * module, its kvt_hostcheck_setup included, needs this header alone.
 *
 * Units. The library converts nothing: it hands the host's numbers to the caller and forms mass-basis
 * values with the host's molecular weights. Whatever the host answers in is what the caller gets, and
 * what kvt-hostcheck's units check expects is SI on a kmol basis:
 *   temperature K, pressure Pa, flow kmol/s, molecular weight kg/kmol, molar enthalpy J/kmol, heat
 *   capacity J/(kmol K), molar volume m3/kmol, viscosity Pa s, thermal conductivity W/(m K), surface
 *   tension N/m, duty and enthalpy flow W.
 * A heat capacity per kg then comes out in J/(kg K), a density in kg/m3, a mass flow in kg/s.
 *
 * The stream vector (STRM, one double per slot, kvt_stream_slot names them): slots 1..NCOMP the
 * component mole flows in the host's component order; NCOMP+1 the total mole flow; NCOMP+2 the
 * temperature; NCOMP+3 the pressure; NCOMP+4 the stream's molar enthalpy (J/kmol: per mole of the
 * stream, not per unit of time); NCOMP+5 the vapour fraction (mole basis, 0..1); NCOMP+9 the stream's
 * molecular weight. Slots NCOMP+6..NCOMP+8 and those beyond NCOMP+9 are the host's own: the library
 * writes none of them and reads them only to print the whole vector in its trace. */
#ifndef KVT_HOST_H_
#define KVT_HOST_H_

#include <stdint.h>

#include "kvt/export.h"
#include "kvt/host_layout.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Data store -------------------------------------------------------------------------------- */

/* The host's work array. Word p (1-based) is VOKA_PLEX[p-1]; any length the host likes. */
KVT_HOST_API extern int64_t VOKA_PLEX[];
/* Word 1: NCOMP, the number of components of a stream vector. */
KVT_HOST_API extern int64_t VOKA_NCOMP[];
/* Word 1: base of the real work area in PLEX; 2: base of the integer work area; 3: N, the number of
 * flash components of the last flash; 19-22 (doubles): temperature (K), pressure (Pa), vapour fraction
 * and duty of the last flash, the duty being the heat (W) the flash added to the stream, its enthalpy
 * flow after minus before (shown in the trace, not used in any result); 23 (double): liquid split,
 * the first liquid's share (mole basis) of the liquid. At least 23 words. */
KVT_HOST_API extern int64_t VOKA_STWKWK[];
/* Word 306: position in PLEX of the component molecular weights (kg/kmol); MW of component j is
 * PLEX(w306+j). */
KVT_HOST_API extern int64_t VOKA_IPOFF1[];
/* Word 1 (double): the host's own missing value. */
KVT_HOST_API extern int64_t VOKA_RGLOB[];
/* Word 1: flash error code, taken as the flash's IERR after a flash judged good. */
KVT_HOST_API extern int64_t VOKA_FLSCOM[];
/* Word 1: flash failure flag; the library reports it as IERR 1 and resets it to 0. */
KVT_HOST_API extern int64_t VOKA_FLSCM2[];

/* ---- Stream utilities -------------------------------------------------------------------------- */

/* Offset table, at least 62 words. Integers: 1 length R of a real retention record, 2 length I of an
 * integer retention record (status word not counted), 15-20 and 25 offsets in the real work area
 * (15 Z, 16 X, 17 X1, 18 X2, 19 Y, 20 critical-point work space, 25 scratch real record), 26, 29, 30
 * offsets in the integer work area (26 component-number list, 29 substream descriptor lists,
 * 30 scratch integer record). Doubles, each in the phase order vapour, liquid, first liquid, second
 * liquid, describing the last flash's phases: 47-50 molar enthalpy (J/kmol), 51-54 a further per-phase
 * value (the host's, not read), 55-58 molar volume (m3/kmol), 59-62 molecular weight (kg/kmol). */
KVT_HOST_API extern int64_t TEBU_STWORK[];

/* Called before a pressure-enthalpy flash: bring the stream's temperature (and pressure) slots in line
 * with its molar enthalpy slot, as the host's first estimate. nsubs: NSUBS (word 26 of KVT_IHXPP);
 * desc1, desc2: the two substream descriptor lists in PLEX; zero: a word holding 0. */
KVT_HOST_API void TEBU_SETH(double* strm, int64_t* nsubs, int64_t* desc1, int64_t* desc2, int64_t* zero);
/* Total mole flow of the stream (kmol/s) into *total. Arguments 2-4 as for TEBU_SETH. */
KVT_HOST_API void TEBU_TOTFLO(double* strm, int64_t* nsubs, int64_t* desc1, int64_t* desc2, double* total);
/* Total mass flow of the stream (kg/s) into *total. */
KVT_HOST_API void TEBU_TOTMAS(double* strm, int64_t* nsubs, int64_t* desc1, int64_t* desc2, double* total);
/* Total enthalpy flow of the stream (W: the phases' molar enthalpies times their mole flows) into *total. */
KVT_HOST_API void TEBU_TOTENT(double* strm, int64_t* nsubs, int64_t* desc1, int64_t* desc2, double* total);
/* Pack the stream: out *npack the components kept (those with flow), their host component numbers at
 * idx[] (the component-number list), their mole fractions at z[] (Z); w: out, not read. */
KVT_HOST_API void TEBU_CPACK(double* strm, int64_t* npack, int64_t* idx, double* z, double* w);

/* ---- Flash ------------------------------------------------------------------------------------- */

/* Flash the stream. Arguments in order:
 *    1 strm            the stream vector (the library writes the flash's T and P into it afterwards)
 *    2 nsubs           NSUBS, word 26 of KVT_IHXPP
 *    3, 4 desc1, desc2 the two substream descriptor lists in PLEX
 *    5 options         the side's option list (KVT_IHXPP words 1-6 or 11-16: six words, an array)
 *    6 kspec           the specification kind: 1 P-H, 2 T-P, 3 P-vapour fraction, 4 T-H,
 *                      5 T-vapour fraction (the caller's KSPEC, unchanged; kvt_flash_spec)
 *    7 kind, 8 nphase  phase kind code and phase count (the side's words, or those KPHS gives)
 *    9 flash_option    flash option word; 10 real_option: flash real option (KVT_RHXPP)
 *   11 spec1, 12 spec2 the two specified values, from the stream vector:
 *                        kspec 1: pressure, molar enthalpy   2: temperature, pressure
 *                              3: pressure, vapour fraction  4: temperature, molar enthalpy
 *                              5: temperature, vapour fraction
 *                      (a vapour-fraction slot holding the host's missing value is handed as 0)
 *   13 estimate        a starting value of the quantity not specified: kspec 1 and 3 the temperature
 *                      (kspec 1 with NSUBS above 1: the host's missing value, no estimate), kspec 4 and
 *                      5 the pressure; kspec 2 none (what an earlier flash left there)
 *   14, 15             KVT_IHXPP words 22 and 23
 *   16 retention_mode  KVT_IHXPP word 27, which the flash may rewrite; 17 one: a word holding 1
 *   18, 19             the real and integer record for this flash (a retention record, or the
 *                      scratch records of TEBU_STWORK words 25 and 30): the flash's own warm start
 *   20 status          out: the flash's status word, judged by WEND_FLSTAT.
 * Leaves its results in the data store: VOKA_STWKWK words 3 and 19-23, the compositions X, X1, X2, Y
 * and the component-number list of N entries, the phase table (TEBU_STWORK words 47-62); it rewrites
 * the stream's enthalpy (unless specified) and vapour-fraction slots, and its error code in
 * VOKA_FLSCOM word 1; a failed flash raises VOKA_FLSCM2 word 1. */
KVT_HOST_API void WEND_FLASH(double* strm, int64_t* nsubs, int64_t* desc1, int64_t* desc2, int64_t* options,
                             int64_t* kspec, int64_t* kind, int64_t* nphase, int64_t* flash_option,
                             double* real_option, double* spec1, double* spec2, double* estimate,
                             int64_t* option22, int64_t* option23, int64_t* retention_mode, int64_t* one,
                             double* real_record, int64_t* int_record, int64_t* status);
/* Judge a flash status word: 1 means a good flash, any other value does not. one: a word holding 1. */
KVT_HOST_API int64_t WEND_FLSTAT(int64_t* one, int64_t* status);
/* Critical point of nc components (mole fractions comp, host component numbers idx): out tc (K) and
 * pc (Pa); work is the critical-point work space (TEBU_STWORK word 20); o7, o8, ierr: out, not read. */
KVT_HOST_API void WEND_CRTCAL(int64_t* nc, double* comp, int64_t* idx, double* work, double* tc, double* pc,
                              double* o7, double* o8, int64_t* ierr);
/* Host stream routine called after a flash when KPEQ is 1, with word 1 or 2 of KVT_HXSBD. */
KVT_HOST_API void MUTO_PEQPT1(int64_t* sbd);

/* ---- Property monitor -------------------------------------------------------------------------- */

/* The property monitor. Every routine takes a temperature t (K) and pressure p (Pa), then a mixture's
 * mole fractions x, their count n and the host component numbers idx (n entries, in the same order),
 * then the side's option list (six words) and KVT_IHXPP word 23 (option23), in the thermodynamic
 * routines also word 21 (option21).
 *
 * Liquid / vapour mixture molar enthalpy h (J/kmol, not read) and its temperature derivative dhdt at
 * fixed p and x (J/(kmol K), used as the molar heat capacity). code: calculation code, always 2;
 * ierr: out, not read. */
KVT_HOST_API void GOSA_ENTHL(double* t, double* p, double* x, int64_t* n, int64_t* idx, int64_t* options,
                             int64_t* option23, int64_t* option21, int64_t* code, double* h, double* dhdt,
                             int64_t* ierr);
KVT_HOST_API void GOSA_ENTHV(double* t, double* p, double* x, int64_t* n, int64_t* idx, int64_t* options,
                             int64_t* option23, int64_t* option21, int64_t* code, double* h, double* dhdt,
                             int64_t* ierr);
/* Transport properties of a liquid (L) or vapour (V) mixture into *value: thermal conductivity W/(m K),
 * viscosity Pa s, surface tension N/m (of a liquid). ierr, in and out: the caller's error code, 0 on
 * entry; a positive code the host leaves there reaches the caller as IERR (-1 would read as "phase
 * absent"); *value is used whatever the code. */
KVT_HOST_API void GOSA_TCONL(double* t, double* p, double* x, int64_t* n, int64_t* idx, int64_t* options,
                             int64_t* option23, double* value, int64_t* ierr);
KVT_HOST_API void GOSA_TCONV(double* t, double* p, double* x, int64_t* n, int64_t* idx, int64_t* options,
                             int64_t* option23, double* value, int64_t* ierr);
KVT_HOST_API void GOSA_VISCL(double* t, double* p, double* x, int64_t* n, int64_t* idx, int64_t* options,
                             int64_t* option23, double* value, int64_t* ierr);
KVT_HOST_API void GOSA_VISCV(double* t, double* p, double* x, int64_t* n, int64_t* idx, int64_t* options,
                             int64_t* option23, double* value, int64_t* ierr);
KVT_HOST_API void GOSA_SRFTEN(double* t, double* p, double* x, int64_t* n, int64_t* idx, int64_t* options,
                              int64_t* option23, double* value, int64_t* ierr);
/* Pure-component thermodynamics, vapour / liquid, for the heat of vaporisation: n is 1 and idx one
 * component number; p is that component's vapour pressure at t (from LORI_PL001); c1-c5 are codes
 * (each 1); of the eleven outputs o13-o23 only o14, the pure component's molar enthalpy (J/kmol) as
 * vapour / as liquid, is used: the heat of vaporisation is GOSA_VTHRM's minus GOSA_LTHRM's. */
KVT_HOST_API void GOSA_VTHRM(double* t, double* p, int64_t* n, int64_t* idx, int64_t* options, int64_t* option23,
                             int64_t* option21, int64_t* c1, int64_t* c2, int64_t* c3, int64_t* c4, int64_t* c5,
                             double* o13, double* o14, double* o15, double* o16, double* o17, double* o18,
                             double* o19, double* o20, double* o21, double* o22, double* o23);
KVT_HOST_API void GOSA_LTHRM(double* t, double* p, int64_t* n, int64_t* idx, int64_t* options, int64_t* option23,
                             int64_t* option21, int64_t* c1, int64_t* c2, int64_t* c3, int64_t* c4, int64_t* c5,
                             double* o13, double* o14, double* o15, double* o16, double* o17, double* o18,
                             double* o19, double* o20, double* o21, double* o22, double* o23);
/* Position (1-based) of water in the component-number list of n entries; 0 or less: no water. Returned
 * as the function value. */
KVT_HOST_API int64_t NERO_IDXWAT(int64_t* list, int64_t* n);
/* The vapour pressure of one component at t (K): out *lnp, its natural logarithm, ln(p / Pa). The
 * library clamps it to -170..80 and hands exp(*lnp) to GOSA_VTHRM / GOSA_LTHRM as their pressure.
 * one_a, one_b, one_c: words holding 1 (codes); component: a host component number; option23:
 * KVT_IHXPP word 23; second: out, not read. */
KVT_HOST_API void LORI_PL001(double* t, int64_t* one_a, int64_t* component, int64_t* one_b, int64_t* one_c,
                             int64_t* option23, double* lnp, double* second);

/* ---- Output ------------------------------------------------------------------------------------ */

/* Write one record of nchar characters (no terminator) to the connected unit *unit (word 1 of
 * KVT_HXOUTP, its low 32 bits). Used by the diagnostic trace only. */
KVT_HOST_API void UNIT_WRITE(const int32_t* unit, const char* text, const int64_t* nchar);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* KVT_HOST_H_ */
