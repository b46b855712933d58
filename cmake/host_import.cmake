# What a host module must export on Windows, and kvt_import_host_symbols(TARGET MODULE): a DLL cannot
# leave symbols undefined, so TARGET (kvt.dll, or another DLL that calls the host) imports every host
# symbol from the one host module MODULE, through an import library made with dlltool from
# kvt_host.def. The .def is written here, when the build is configured, from the ABI lists of
# kvt_abi.cmake: every imported name, undecorated, the host's blocks marked DATA.
include_guard(GLOBAL)
include(${CMAKE_CURRENT_LIST_DIR}/kvt_abi.cmake)

set(KVT_HOST_DEF ${PROJECT_BINARY_DIR}/kvt_host.def CACHE INTERNAL "What a host module exports")
set(def_text "; What a host module of kvt.dll exports: the host's blocks (DATA) and routines, undecorated.\n")
string(APPEND def_text "; kvt.dll imports them all from the one module named when it is built (KVT_HOST_MODULE).\n")
string(APPEND def_text "EXPORTS\n")
foreach(name IN LISTS kvt_imports)
  if(name IN_LIST kvt_import_blocks)
    string(APPEND def_text "  ${name} DATA\n")
  else()
    string(APPEND def_text "  ${name}\n")
  endif()
endforeach()
file(CONFIGURE OUTPUT ${KVT_HOST_DEF} CONTENT "${def_text}")

# The same names forwarded to another module, for the Windows package: a DLL made from this .def under
# the host module's name that a kvt.dll was built for passes every name on to the module named in it
# (myhost.dll until edited), so that the one kvt.dll serves a host module of any name.
set(KVT_HOST_FORWARD_DEF ${PROJECT_BINARY_DIR}/kvt_host_forward.def CACHE INTERNAL "Forwards the host symbols")
set(forward_text "; Forwards every host symbol to the host module myhost.dll: replace \"myhost\" by your module's\n")
string(APPEND forward_text "; name (without .dll) and link it as the module kvt.dll imports from (README-windows.txt).\n")
string(APPEND forward_text "EXPORTS\n")
foreach(name IN LISTS kvt_imports)
  if(name IN_LIST kvt_import_blocks)
    string(APPEND forward_text "  ${name} = myhost.${name} DATA\n")
  else()
    string(APPEND forward_text "  ${name} = myhost.${name}\n")
  endif()
endforeach()
file(CONFIGURE OUTPUT ${KVT_HOST_FORWARD_DEF} CONTENT "${forward_text}")

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
