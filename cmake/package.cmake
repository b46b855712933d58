# Installing the library: libkvt.so.1 (with its SONAME links; on Windows kvt.dll in bin and its import
# library in lib), the public headers, a CMake package (find_package(kvt CONFIG) -> kvt::kvt) and a
# pkg-config file (kvt.pc). Everything is in the install component "kvt".
include(CMakePackageConfigHelpers)

set(KVT_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/kvt)

install(TARGETS kvt EXPORT kvtTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT kvt
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT kvt
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT kvt)
install(FILES ${PROJECT_SOURCE_DIR}/include/kvt/kvt.h ${PROJECT_SOURCE_DIR}/include/kvt/host.h
              ${PROJECT_SOURCE_DIR}/include/kvt/host_layout.h
              ${PROJECT_SOURCE_DIR}/include/kvt/export.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kvt COMPONENT kvt)
install(EXPORT kvtTargets NAMESPACE kvt:: DESTINATION ${KVT_CMAKE_DIR} COMPONENT kvt)

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/kvtConfig.cmake.in
  ${PROJECT_BINARY_DIR}/package/kvtConfig.cmake INSTALL_DESTINATION ${KVT_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/package/kvtConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/package/kvtConfig.cmake ${PROJECT_BINARY_DIR}/package/kvtConfigVersion.cmake
        DESTINATION ${KVT_CMAKE_DIR} COMPONENT kvt)

# kvt.pc finds the prefix from its own place, so that an installed tree can be moved.
file(RELATIVE_PATH KVT_PC_PREFIX_FROM_PCDIR /root/${CMAKE_INSTALL_LIBDIR}/pkgconfig /root)
string(REGEX REPLACE "/$" "" KVT_PC_PREFIX_FROM_PCDIR "${KVT_PC_PREFIX_FROM_PCDIR}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/kvt.pc.in ${PROJECT_BINARY_DIR}/package/kvt.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/package/kvt.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT kvt)

# The Fortran binding, as source: a Fortran host compiles it with its own compiler.
install(FILES ${PROJECT_SOURCE_DIR}/bindings/fortran/kvt.f90 DESTINATION ${CMAKE_INSTALL_DATADIR}/kvt/fortran
        COMPONENT kvt)
