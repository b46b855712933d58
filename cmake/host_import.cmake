# What a host module must export on Windows, and kvt_import_host_symbols(TARGET MODULE): a DLL cannot
# leave symbols undefined, so TARGET (kvt.dll, or another DLL that calls the host) imports every host
# symbol from the one host module MODULE, through an import library made with dlltool from
# kvt_host.def. The .def is written here, when the build is configured, from the ABI lists of
# kvt_abi.cmake: every imported name, undecorated, the host's blocks marked DATA.
include_guard(GLOBAL)
include(${CMAKE_CURRENT_LIST_DIR}/kvt_abi.cmake)

# Writes the .def `file`: the comment `header`, then an export per imported name, `entry` with @NAME@
# replaced by the name, the blocks marked DATA.
function(kvt_write_host_def file header entry)
  set(text "${header}EXPORTS\n")
  foreach(name IN LISTS kvt_imports)
    string(REPLACE "@NAME@" ${name} line "  ${entry}")
    if(name IN_LIST kvt_import_blocks)
      string(APPEND line " DATA")
    endif()
    string(APPEND text "${line}\n")
  endforeach()
  file(CONFIGURE OUTPUT ${file} CONTENT "${text}")
endfunction()

set(KVT_HOST_DEF ${PROJECT_BINARY_DIR}/kvt_host.def CACHE INTERNAL "What a host module exports")
kvt_write_host_def(${KVT_HOST_DEF}
  "; What a host module of kvt.dll exports: the host's blocks (DATA) and routines, undecorated.\n; kvt.dll imports them all from the one module named when it is built (KVT_HOST_MODULE).\n"
  "@NAME@")

# The same names forwarded to another module, for the Windows package: a DLL made from this .def under
# the host module's name that a kvt.dll was built for passes every name on to the module named in it
# (myhost.dll until edited), so that the one kvt.dll serves a host module of any name.
set(KVT_HOST_FORWARD_DEF ${PROJECT_BINARY_DIR}/kvt_host_forward.def CACHE INTERNAL "Forwards the host symbols")
kvt_write_host_def(${KVT_HOST_FORWARD_DEF}
  "; Forwards every host symbol to the host module myhost.dll: replace \"myhost\" by your module's\n; name (without .dll) and link it as the module kvt.dll imports from (README-windows.txt).\n"
  "@NAME@ = myhost.@NAME@")

function(kvt_import_host_symbols target module)
  set(implib ${CMAKE_CURRENT_BINARY_DIR}/lib${target}_host.dll.a)
  add_custom_command(OUTPUT ${implib}
    COMMAND ${CMAKE_DLLTOOL} --input-def ${KVT_HOST_DEF} --dllname ${module} --output-lib ${implib}
    DEPENDS ${KVT_HOST_DEF}
    COMMENT "Import library of ${target} for the host module ${module}")
  add_custom_target(${target}_host_implib DEPENDS ${implib})
  add_dependencies(${target} ${target}_host_implib)
  target_link_libraries(${target} PRIVATE ${implib})
endfunction()
