# GoogleTest for a cross build: built from Debian's sources (package googletest, /usr/src/googletest)
# with the target's compiler, and handed to find_package(GTest) through a package redirect, so that
# tests/ is the same for a native and a cross build.
set(KVT_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources for a cross build")
if(NOT EXISTS ${KVT_GOOGLETEST_SOURCE_DIR}/CMakeLists.txt)
  message(FATAL_ERROR "No GoogleTest sources at ${KVT_GOOGLETEST_SOURCE_DIR} (Debian package googletest)")
endif()

set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
add_subdirectory(${KVT_GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
# Its sources are not held to the project's warning flags.
set_property(TARGET gtest gtest_main APPEND PROPERTY COMPILE_OPTIONS -w)

file(WRITE ${CMAKE_FIND_PACKAGE_REDIRECTS_DIR}/gtest-config.cmake
     "# GTest::gtest and GTest::gtest_main come from ${KVT_GOOGLETEST_SOURCE_DIR}, built in this tree.\n")
file(WRITE ${CMAKE_FIND_PACKAGE_REDIRECTS_DIR}/gtest-config-version.cmake
     "set(PACKAGE_VERSION 1)\nset(PACKAGE_VERSION_COMPATIBLE TRUE)\n")
