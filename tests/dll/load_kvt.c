// Loads kvt.dll as a host program does at run time (LoadLibrary) and takes a routine from it. First it
// maps kvt.dll unbound and looks up every name of its import table in the module named there, naming
// the module and the symbol of any that is missing: the Windows loader refuses such a DLL saying only
// "procedure not found", and wine binds the missing name to a stub and loads it anyway.
#include <stdio.h>
#include <windows.h>

static int unbound_imports(const char* dll) {
  HMODULE image = LoadLibraryExA(dll, NULL, DONT_RESOLVE_DLL_REFERENCES);
  if (image == NULL) return 0;
  const BYTE* base = (const BYTE*)image;
  int unbound = 0;
  const IMAGE_NT_HEADERS64* nt = (const IMAGE_NT_HEADERS64*)(base + ((const IMAGE_DOS_HEADER*)base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY* dir = &nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (const IMAGE_IMPORT_DESCRIPTOR* d = (const void*)(base + dir->VirtualAddress); d->Name != 0; ++d) {
    const char* module = (const char*)(base + d->Name);
    HMODULE m = LoadLibraryA(module);
    if (m == NULL) {
      printf("%s: module %s not found\n", dll, module);
      ++unbound;
      continue;
    }
    for (const IMAGE_THUNK_DATA64* t = (const void*)(base + d->OriginalFirstThunk); t->u1.AddressOfData; ++t) {
      const char* name = (const char*)((const IMAGE_IMPORT_BY_NAME*)(base + t->u1.AddressOfData))->Name;
      if (!IMAGE_SNAP_BY_ORDINAL64(t->u1.Ordinal) && GetProcAddress(m, name) == NULL) {
        printf("%s: module %s lacks %s\n", dll, module, name);
        ++unbound;
      }
    }
  }
  FreeLibrary(image);
  return unbound;
}

int main(int argc, char** argv) {
  const char* dll = argc > 1 ? argv[1] : "kvt.dll";
  if (unbound_imports(dll) > 0) {
    printf("cannot load %s: its host module lacks symbols\n", dll);
    return 1;
  }
  HMODULE kvt = LoadLibraryA(dll);
  if (kvt == NULL) {
    printf("cannot load %s (error %lu)\n", dll, GetLastError());
    return 1;
  }
  printf("loaded %s; KVT_HXFLSH %s\n", dll, GetProcAddress(kvt, "KVT_HXFLSH") ? "found" : "missing");
  return 0;
}
