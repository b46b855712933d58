/* The recording stand-in host from C and from languages that call C (a Fortran host through
 * bind(C)): lay out its store, script what its flash leaves and what its routines answer, and read
 * back the trace records a unit received. Every argument is passed by address, as the library's. */
#ifndef KVT_RECORDING_HOST_C_H_
#define KVT_RECORDING_HOST_C_H_

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Zero every host block and the work array; forget calls, trace records and scripts. */
void kvt_rec_reset(void);

/* Lay out the work areas for *capacity flash components. Out: hxpkv, the 16 words for KVT_HXPKV (the
 * packed-composition positions), and records, the 2 words for KVT_IHXPP words 24 and 25 (first
 * integer and first real retention record). */
void kvt_rec_lay_out(const int64_t* capacity, int64_t* hxpkv, int64_t* records);

void kvt_rec_set_ncomp(const int64_t* ncomp);                         /* VOKA_NCOMP word 1 */
void kvt_rec_set_host_missing(const double* value);                   /* VOKA_RGLOB word 1 */
void kvt_rec_set_molwt(const int64_t* component, const double* molwt);
void kvt_rec_set_idxwat(const int64_t* position);                     /* NERO_IDXWAT's answer */

/* What a flash leaves in the store: *n flash components, their numbers, the compositions Y, X, X1, X2
 * and Z (n each), state = T, P, vapour fraction, duty, liquid split (VOKA_STWKWK 19-23) and table,
 * the 16 doubles of TEBU_STWORK words 47-62. The stand-in's WEND_FLASH leaves the store as it is. */
void kvt_rec_set_flash_result(const int64_t* n, const int64_t* components, const double* y, const double* x,
                              const double* x1, const double* x2, const double* z, const double* state,
                              const double* table);

/* The answer a host routine gives every time (see Host::defaults); name is NUL-terminated. */
void kvt_rec_set_answer(const char* name, const double* value);

/* Trace records unit *unit received: their count, and record *index (1-based) copied into text (at
 * most *capacity characters, no terminator); returns the record's length, -1 for no such record. */
int64_t kvt_rec_trace_count(const int32_t* unit);
int64_t kvt_rec_trace_record(const int32_t* unit, const int64_t* index, char* text, const int64_t* capacity);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* KVT_RECORDING_HOST_C_H_ */
