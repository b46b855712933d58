// Loading the library: without a host it must fail at once with "undefined symbol", even with lazy
// binding; with a host loaded first (its symbols global) it must load and bind its routines.
// Usage: kvt_load_test LIBKVT HOSTLIB
#include <dlfcn.h>
#include <stdio.h>
#include <string.h>

static int failures = 0;
#define CHECK(cond, what) ((cond) ? (void)0 : (void)(++failures, fprintf(stderr, "FAILED: %s\n", what)))

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  void* lib = dlopen(argv[1], RTLD_LAZY | RTLD_LOCAL);
  const char* err = lib ? "" : dlerror();
  CHECK(lib == NULL, "the library loads without a host");
  CHECK(strstr(err, "undefined symbol") != NULL, "loading without a host does not report an undefined symbol");
  if (lib) dlclose(lib);

  void* host = dlopen(argv[2], RTLD_NOW | RTLD_GLOBAL);
  CHECK(host != NULL, "the host library does not load");
  lib = dlopen(argv[1], RTLD_LAZY | RTLD_LOCAL);
  CHECK(lib != NULL, "the library does not load beside a host");
  CHECK(lib && dlsym(lib, "KVT_HXFLSH") != NULL, "KVT_HXFLSH is not found by name");
  CHECK(lib && dlsym(lib, "KVT_IHXPP") != NULL, "KVT_IHXPP is not found by name");
  return failures == 0 ? 0 : 1;
}
