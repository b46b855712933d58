# kvt_import_host_symbols(TARGET MODULE): on Windows, where a DLL cannot leave symbols undefined, link
# TARGET against an import library for the host symbols of cmake/kvt_host.def, taken from the host
# module named MODULE (made with dlltool).
function(kvt_import_host_symbols target module)
  set(def ${PROJECT_SOURCE_DIR}/cmake/kvt_host.def)
  set(implib ${CMAKE_CURRENT_BINARY_DIR}/lib${target}_host.dll.a)
  add_custom_command(OUTPUT ${implib}
    COMMAND ${CMAKE_DLLTOOL} --input-def ${def} --dllname ${module} --output-lib ${implib}
    DEPENDS ${def}
    COMMENT "Import library of ${target} for the host module ${module}")
  add_custom_target(${target}_host_implib DEPENDS ${implib})
  add_dependencies(${target} ${target}_host_implib)
  target_link_libraries(${target} PRIVATE ${implib})
endfunction()
