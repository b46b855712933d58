# The Windows package, kvt-<version>-win64.zip in the build tree (target kvt_windows_package, part of
# the build), and its debug information, kvt-<version>-win64-debug.zip: what the install component
# "kvt" holds (kvt.dll, its import library, the headers, the Fortran module source, ...), with kvt.dll
# the one bound to the reference host's module; the component "hostcheck" (kvt-hostcheck.exe, its
# library and kvt/hostcheck.h, and kvt-trace.exe); and the component "windows": the programs on the reference host with
# its DLL and databank, the .def of what a host module exports and the one that forwards it, the
# guides, the example cases, the licence and notices, and README-windows.txt. Included by
# cmake/windows.cmake once the reference host's programs are known (KVT_WINDOWS_PROGRAMS).
install(TARGETS kvt_for_reference_host RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT windows)
install(TARGETS kvt_reference_host ${KVT_WINDOWS_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        COMPONENT windows)
install(FILES ${CMAKE_BINARY_DIR}/bin/reference/databank.toml DESTINATION ${CMAKE_INSTALL_BINDIR}
        COMPONENT windows)
install(FILES ${KVT_HOST_DEF} ${KVT_HOST_FORWARD_DEF} DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT windows)
install(FILES ${PROJECT_SOURCE_DIR}/docs/hxprops.md ${PROJECT_SOURCE_DIR}/docs/hostcheck.md
              ${PROJECT_SOURCE_DIR}/docs/deployment.md DESTINATION docs COMPONENT windows)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/images DESTINATION docs COMPONENT windows)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/apps/hxprops/cases/ DESTINATION cases COMPONENT windows)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt COMPONENT windows)
install(FILES ${PROJECT_SOURCE_DIR}/THIRD-PARTY-NOTICES.txt DESTINATION . COMPONENT windows)
set(KVT_PACKAGE_HOST_MODULE ${host_name}.dll)
configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/README-windows.txt.in
               ${PROJECT_BINARY_DIR}/package/README-windows.txt @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/package/README-windows.txt DESTINATION . COMPONENT windows)

# Staged component by component, "windows" last, its kvt.dll in place of the one of "kvt"; then the
# binaries are stripped, their debug information staged apart.
set(KVT_WINDOWS_PACKAGE kvt-${PROJECT_VERSION}-win64)
set(stage ${PROJECT_BINARY_DIR}/package_stage)
set(debug_stage ${PROJECT_BINARY_DIR}/package_debug_stage)
set(root ${stage}/${KVT_WINDOWS_PACKAGE})
add_custom_target(kvt_windows_package ALL
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage} ${debug_stage}
  COMMAND ${CMAKE_COMMAND} --install ${PROJECT_BINARY_DIR} --component kvt --prefix ${root}
  COMMAND ${CMAKE_COMMAND} -E rm ${root}/${CMAKE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:kvt>
  COMMAND ${CMAKE_COMMAND} --install ${PROJECT_BINARY_DIR} --component hostcheck --prefix ${root}
  COMMAND ${CMAKE_COMMAND} --install ${PROJECT_BINARY_DIR} --component windows --prefix ${root}
  COMMAND ${CMAKE_COMMAND} -DBIN=${root}/${CMAKE_INSTALL_BINDIR}
          -DDEBUG=${debug_stage}/${KVT_WINDOWS_PACKAGE}/${CMAKE_INSTALL_BINDIR}
          -DOBJCOPY=${CMAKE_OBJCOPY} -DSTRIP=${CMAKE_STRIP} -P ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/split_debug.cmake
  COMMAND ${CMAKE_COMMAND} -E chdir ${stage}
          ${CMAKE_COMMAND} -E tar cf ${PROJECT_BINARY_DIR}/${KVT_WINDOWS_PACKAGE}.zip --format=zip ${KVT_WINDOWS_PACKAGE}
  COMMAND ${CMAKE_COMMAND} -E chdir ${debug_stage}
          ${CMAKE_COMMAND} -E tar cf ${PROJECT_BINARY_DIR}/${KVT_WINDOWS_PACKAGE}-debug.zip --format=zip ${KVT_WINDOWS_PACKAGE}
  COMMENT "Windows package ${KVT_WINDOWS_PACKAGE}.zip and ${KVT_WINDOWS_PACKAGE}-debug.zip"
  VERBATIM)
add_dependencies(kvt_windows_package kvt kvt_for_reference_host kvt_reference_host ${KVT_WINDOWS_PROGRAMS}
                 kvt_hostcheck kvt-hostcheck kvt-trace)
