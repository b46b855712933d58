/* kvt-hostcheck: checks a host against what libkvt relies on of it.
 *
 * libkvt trusts the host's data store completely: it never checks a position, a count or a status
 * word, so a host that lays out one word wrong gets wrong numbers, not errors. The checker library
 * (libkvt_hostcheck.so / kvt_hostcheck.dll, not part of libkvt) binds the same host symbols as libkvt
 * (kvt/host.h), calls the host's flash, stream utilities and property monitor with the arguments the
 * library hands them, and checks what the library then reads. It writes a report: one line per check,
 * PASS, FAIL, FOLD (findings that follow from an earlier check's) or SKIP, each failure followed by its
 * findings (the word or call, the position, what was expected and what was found), and a summary line.
 *
 * Each check runs in a process of its own, so that a host routine that crashes or does not return
 * within the time limit is a finding naming the routine, the check and the stream, and the other
 * checks still run; each check's lines are written as it finishes. On Linux the process is a fork; on
 * Windows it is the calling program started again with the same command line, which must reach
 * kvt_hostcheck_run the same way (as kvt-hostcheck does).
 *
 * Two ways to run it:
 *  - from the host's own program: fill a kvt_hostcheck_input with what the host would give libkvt
 *    and call kvt_hostcheck_run();
 *  - for a host that is a shared library: export kvt_hostcheck_setup (kvt_hostcheck_setup_fn) from
 *    the host module and run `kvt-hostcheck HOST_MODULE`.
 *
 * The checker flashes the host's streams and writes into the host's work array as the library does
 * (retention records included): run it on a host set up for checking, not in the middle of a
 * calculation. */
#ifndef KVT_HOSTCHECK_H_
#define KVT_HOSTCHECK_H_

#include <stdint.h>

/* The host's symbols and the words of the blocks it fills (KVT_IHXPP_NSUBS, ...): a setup entry needs
 * no other header. */
#include "kvt/host.h"

#if defined(_WIN32)
#  if defined(KVT_HOSTCHECK_BUILD)
#    define KVT_HOSTCHECK_API __declspec(dllexport)
#  else
#    define KVT_HOSTCHECK_API __declspec(dllimport)
#  endif
#  define KVT_HOSTCHECK_SETUP_EXPORT __declspec(dllexport)
#else
#  define KVT_HOSTCHECK_API __attribute__((visibility("default")))
#  define KVT_HOSTCHECK_SETUP_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* One stream the host supplies: a stream vector in the state a host flash leaves it (component flows,
 * total flow, T, P, enthalpy, vapour fraction, molecular weight filled), and the side whose option set
 * the library flashes it with. The checker works on copies; the host's vector is not written. */
struct kvt_hostcheck_stream {
  const char* name;     /* shown in the findings; NULL: "stream k" */
  const double* strm;   /* the stream vector, at least NCOMP + 9 slots */
  int64_t nstrm;        /* its length */
  int64_t side;         /* 0 or 1 (any other value: 0) */
};

/* What the host gives libkvt, and the length of its work array. */
struct kvt_hostcheck_input {
  int64_t plex_words;   /* number of words of VOKA_PLEX */
  int64_t ihxpp[28];    /* KVT_IHXPP as the host fills it: option sets, common words 21-27 */
  double rhxpp[8];      /* KVT_RHXPP */
  int64_t hxpkv[16];    /* KVT_HXPKV: positions of the packed lists */
  double missing;       /* word 1 of KVT_HXRMSS */
  int64_t nstreams;
  const struct kvt_hostcheck_stream* streams;
  double call_seconds;  /* time limit of one host call, in seconds; 0 or less: 10 */
  int64_t hxoutp[4];    /* KVT_HXOUTP as the host fills it: word 1 the trace unit; all 0: no trace checked */
  const char* json_file;  /* not NULL: the report is also written there as JSON (docs/hostcheck.md) */
};

/* Receives the report, one line at a time, without a line end. */
typedef void (*kvt_hostcheck_writer)(void* context, const char* line);

/* Run every check on the host loaded beside the checker and write the report through write (standard
 * output when write is NULL), from this process: each check runs in a child process. Returns the
 * number of checks that failed: 0 when the host passed. */
KVT_HOSTCHECK_API int64_t kvt_hostcheck_run(const struct kvt_hostcheck_input* input, kvt_hostcheck_writer write,
                                            void* context);

/* The convention for hosts that are shared libraries: the host module exports
 *     KVT_HOSTCHECK_SETUP_EXPORT int kvt_hostcheck_setup(struct kvt_hostcheck_input* input);
 * (extern "C" in C++), which sets the host up for checking (component set, work-array layout, the
 * blocks' positions, a few streams: one, two and three phases if it can form them) and fills *input;
 * the streams and the name strings stay valid until the module is unloaded. It returns 0 on success;
 * anything else stops kvt-hostcheck, which then reports the value. */
typedef int (*kvt_hostcheck_setup_fn)(struct kvt_hostcheck_input* input);
#define KVT_HOSTCHECK_SETUP_NAME "kvt_hostcheck_setup"

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* KVT_HOSTCHECK_H_ */
