// Definitions of the exported blocks. They live in zero-initialised storage: every word is 0 when
// the library is loaded, and the host writes them before it calls any routine.
#include "kvt/kvt.h"

extern "C" {
KVT_EXPORT int64_t KVT_IHXPP[28];
KVT_EXPORT double KVT_RHXPP[8];
KVT_EXPORT int64_t KVT_HXPKV[16];
KVT_EXPORT double KVT_HXRMSS[4];
KVT_EXPORT double KVT_HXRMIN[4];
KVT_EXPORT int64_t KVT_HXSBD[4];
KVT_EXPORT int64_t KVT_HXSTRB[4];
KVT_EXPORT int64_t KVT_HXIMSS[4];
KVT_EXPORT int64_t KVT_HXPDBG[28];
KVT_EXPORT int64_t KVT_HXOUTP[4];
}
