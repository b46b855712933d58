/* kvt: symbol visibility for the library's exports and for the host symbols it imports.
 *
 * KVT_EXPORT marks the 19 routines and 10 blocks that libkvt.so / kvt.dll exports.
 * KVT_HOST_API marks the symbols that the host defines and the library imports.
 *
 * Defines that select the side being compiled:
 *   KVT_BUILD       compiling the library itself
 *   KVT_HOST_BUILD  compiling a host module (on Windows, the DLL that defines the host symbols) */
#ifndef KVT_EXPORT_H_
#define KVT_EXPORT_H_

#if defined(_WIN32)
#  if defined(KVT_BUILD)
#    define KVT_EXPORT __declspec(dllexport)
#    define KVT_HOST_API __declspec(dllimport)
#  elif defined(KVT_HOST_BUILD)
#    define KVT_EXPORT __declspec(dllimport)
#    define KVT_HOST_API __declspec(dllexport)
#  elif defined(__GNUC__)
/* A MinGW program binds the library through its import library: routines through its stubs, blocks
 * by auto-import. A routine then has one address throughout the program, as on Linux, also where a
 * static initialiser takes it (with dllimport, GCC takes the stub's address there and the import
 * table's elsewhere, so that the two compare unequal). */
#    define KVT_EXPORT
#    define KVT_HOST_API
#  else
#    define KVT_EXPORT __declspec(dllimport)
#    define KVT_HOST_API
#  endif
#else
#  define KVT_EXPORT __attribute__((visibility("default")))
#  define KVT_HOST_API __attribute__((visibility("default")))
#endif

#endif /* KVT_EXPORT_H_ */
