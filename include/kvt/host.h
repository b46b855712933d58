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
 * word and slot below. */
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
 * flash components of the last flash; 19-22 (doubles): T, P, vapour fraction and duty of the last
 * flash; 23 (double): liquid split, the first liquid's share of the liquid. At least 23 words. */
KVT_HOST_API extern int64_t VOKA_STWKWK[];
/* Word 306: position in PLEX of the component molecular weights; MW of component j is PLEX(w306+j). */
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
 * liquid: 47-50 molar enthalpy, 51-54 a further per-phase value, 55-58 molar volume,
 * 59-62 molecular weight. */
KVT_HOST_API extern int64_t TEBU_STWORK[];

/* Recompute the stream's T (and P) from its enthalpy. zero: a word holding 0. */
KVT_HOST_API void TEBU_SETH(double* strm, int64_t* nsubs, int64_t* desc1, int64_t* desc2, int64_t* zero);
/* Total mole flow of the stream into *total. */
KVT_HOST_API void TEBU_TOTFLO(double* strm, int64_t* nsubs, int64_t* desc1, int64_t* desc2, double* total);
/* Total mass flow of the stream into *total. */
KVT_HOST_API void TEBU_TOTMAS(double* strm, int64_t* nsubs, int64_t* desc1, int64_t* desc2, double* total);
/* Total enthalpy flow of the stream into *total. */
KVT_HOST_API void TEBU_TOTENT(double* strm, int64_t* nsubs, int64_t* desc1, int64_t* desc2, double* total);
/* Pack the stream: *npack components kept, their numbers at idx[], mole fractions at z[]; w: out, unused. */
KVT_HOST_API void TEBU_CPACK(double* strm, int64_t* npack, int64_t* idx, double* z, double* w);

/* ---- Flash ------------------------------------------------------------------------------------- */

/* Flash the stream. Arguments in order: stream, NSUBS, the two substream descriptor lists, option list
 * (6 words), KSPEC, phase kind code, phase count, flash option word, flash real option, spec 1,
 * spec 2, estimate, common options 22 and 23, retention mode, a word holding 1, real record,
 * integer record, out: status word (judged by WEND_FLSTAT). Leaves its results in the data store. */
KVT_HOST_API void WEND_FLASH(double* strm, int64_t* nsubs, int64_t* desc1, int64_t* desc2, int64_t* options,
                             int64_t* kspec, int64_t* kind, int64_t* nphase, int64_t* flash_option,
                             double* real_option, double* spec1, double* spec2, double* estimate,
                             int64_t* option22, int64_t* option23, int64_t* retention_mode, int64_t* one,
                             double* real_record, int64_t* int_record, int64_t* status);
/* Judge a flash status word: 1 means a good flash, any other value does not. one: a word holding 1. */
KVT_HOST_API int64_t WEND_FLSTAT(int64_t* one, int64_t* status);
/* Critical point of nc components (fractions comp, numbers idx): tc and pc out; work, o7, o8, ierr
 * are the host's. */
KVT_HOST_API void WEND_CRTCAL(int64_t* nc, double* comp, int64_t* idx, double* work, double* tc, double* pc,
                              double* o7, double* o8, int64_t* ierr);
/* Host stream routine called after a flash when KPEQ is 1, with word 1 or 2 of KVT_HXSBD. */
KVT_HOST_API void MUTO_PEQPT1(int64_t* sbd);

/* ---- Property monitor -------------------------------------------------------------------------- */

/* Liquid / vapour mixture enthalpy h and its temperature derivative dhdt. code: calculation code (2). */
KVT_HOST_API void GOSA_ENTHL(double* t, double* p, double* x, int64_t* n, int64_t* idx, int64_t* options,
                             int64_t* option23, int64_t* option21, int64_t* code, double* h, double* dhdt,
                             int64_t* ierr);
KVT_HOST_API void GOSA_ENTHV(double* t, double* p, double* x, int64_t* n, int64_t* idx, int64_t* options,
                             int64_t* option23, int64_t* option21, int64_t* code, double* h, double* dhdt,
                             int64_t* ierr);
/* Transport properties of a mixture into *value; ierr is the caller's own error code (in and out). */
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
/* Pure-component thermodynamics, vapour / liquid: n is 1 and idx one component number; c1-c5 are
 * codes (each 1); of the eleven outputs o13-o23 only o14, the molar enthalpy, is used. */
KVT_HOST_API void GOSA_VTHRM(double* t, double* p, int64_t* n, int64_t* idx, int64_t* options, int64_t* option23,
                             int64_t* option21, int64_t* c1, int64_t* c2, int64_t* c3, int64_t* c4, int64_t* c5,
                             double* o13, double* o14, double* o15, double* o16, double* o17, double* o18,
                             double* o19, double* o20, double* o21, double* o22, double* o23);
KVT_HOST_API void GOSA_LTHRM(double* t, double* p, int64_t* n, int64_t* idx, int64_t* options, int64_t* option23,
                             int64_t* option21, int64_t* c1, int64_t* c2, int64_t* c3, int64_t* c4, int64_t* c5,
                             double* o13, double* o14, double* o15, double* o16, double* o17, double* o18,
                             double* o19, double* o20, double* o21, double* o22, double* o23);
/* Position (1-based) of water in the component-number list of n entries; 0 or less: no water. */
KVT_HOST_API int64_t NERO_IDXWAT(int64_t* list, int64_t* n);
/* Pure-component pressure function at t: *lnp receives the natural logarithm of a pressure. */
KVT_HOST_API void LORI_PL001(double* t, int64_t* one_a, int64_t* component, int64_t* one_b, int64_t* one_c,
                             int64_t* option23, double* lnp, double* second);

/* ---- Output ------------------------------------------------------------------------------------ */

/* Write one record of nchar characters (no terminator) to the connected unit *unit. Used by the
 * diagnostic trace only. */
KVT_HOST_API void UNIT_WRITE(const int32_t* unit, const char* text, const int64_t* nchar);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* KVT_HOST_H_ */
