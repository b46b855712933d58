# Cross build for 64-bit Windows with MinGW-w64 (Debian: g++-mingw-w64-x86-64), tests run under wine64.
#
#   cmake -S . -B build/windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# Every module is linked with the C and C++ runtimes built in (-static), so that kvt.dll, the host DLLs
# and the programs depend on nothing but the system DLLs. cmake/windows.cmake holds the rest of what
# is particular to the Windows build.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The posix-threads flavour of the compilers: GoogleTest needs std::mutex, which the win32 flavour of
# g++ 12 lacks. Its thread library (winpthread) is linked in statically like the rest of the runtime.
set(KVT_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KVT_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KVT_MINGW_PREFIX}-g++-posix)
set(CMAKE_Fortran_COMPILER ${KVT_MINGW_PREFIX}-gfortran-posix)  # (Debian: gfortran-mingw-w64-x86-64)
set(CMAKE_RC_COMPILER ${KVT_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KVT_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# Programs and DLLs side by side, where Windows looks for a program's DLLs first.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# Test programs (and GoogleTest's listing of them) run under wine64, in a prefix of the build tree.
find_program(KVT_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(KVT_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      env WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix ${KVT_WINE64})
endif()
