cmake_minimum_required(VERSION 3.25)
# Compares kvt.dll's tables with the ABI: exactly the 19 routines and 10 blocks exported under their
# undecorated names; every host symbol imported from the host module; nothing taken from MinGW's
# runtime DLLs (the runtime is linked in), by kvt.dll or by the stand-in host DLL.
set(exports KVT_HXFLSH KVT_HXPFRC KVT_HXPMWT KVT_HXPMFL KVT_HXPQFL KVT_HXPCPP KVT_HXPTHC KVT_HXPVIS KVT_HXPSFT
    KVT_HXPDNS KVT_HXPTHV KVT_HXPTMC KVT_HXPPRC KVT_HXPTMP KVT_HXPPRS KVT_HXUTMP KVT_HXUPRS KVT_HXUNTH KVT_HXUVFR
    KVT_IHXPP KVT_RHXPP KVT_HXPKV KVT_HXRMSS KVT_HXRMIN KVT_HXSBD KVT_HXSTRB KVT_HXIMSS KVT_HXPDBG KVT_HXOUTP)
set(imports VOKA_PLEX VOKA_NCOMP VOKA_STWKWK VOKA_IPOFF1 VOKA_RGLOB VOKA_FLSCOM VOKA_FLSCM2 TEBU_STWORK
    TEBU_SETH TEBU_TOTFLO TEBU_TOTMAS TEBU_TOTENT TEBU_CPACK WEND_FLASH WEND_FLSTAT WEND_CRTCAL MUTO_PEQPT1
    GOSA_ENTHL GOSA_ENTHV GOSA_TCONL GOSA_TCONV GOSA_VISCL GOSA_VISCV GOSA_SRFTEN GOSA_VTHRM GOSA_LTHRM
    NERO_IDXWAT LORI_PL001 UNIT_WRITE)
set(runtime_dlls libstdc\\+\\+-6\\.dll libgcc_s_seh-1\\.dll libwinpthread-1\\.dll)

# The lines of `objdump -p` for one file.
function(dump file out)
  execute_process(COMMAND ${OBJDUMP} -p ${file} OUTPUT_VARIABLE text RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} -p failed on ${file}")
  endif()
  string(REPLACE ";" "," text "${text}")
  string(REGEX MATCHALL "[^\n]*\n" lines "${text}")
  set(${out} "${lines}" PARENT_SCOPE)
endfunction()

# Names of the export table ("[Ordinal/Name Pointer] Table" up to the next blank line).
function(exported_names dump_var out)
  set(names "")
  set(inside FALSE)
  foreach(line IN LISTS ${dump_var})
    if(line MATCHES "^\\[Ordinal/Name Pointer\\] Table")
      set(inside TRUE)
    elseif(inside AND line MATCHES "^[ \t]*\\[ *[0-9]+\\] ([^ \t\n]+)")
      list(APPEND names ${CMAKE_MATCH_1})
    elseif(inside)
      set(inside FALSE)
    endif()
  endforeach()
  list(SORT names)
  set(${out} "${names}" PARENT_SCOPE)
endfunction()

# The DLLs a file imports from, and the names it imports from `module`.
function(imported dump_var module dlls_out names_out)
  set(dlls "")
  set(names "")
  set(current "")
  foreach(line IN LISTS ${dump_var})
    if(line MATCHES "DLL Name: ([^ \t\n]+)")
      set(current ${CMAKE_MATCH_1})
      list(APPEND dlls ${current})
    elseif(line MATCHES "^[ \t]*$")
      set(current "")
    elseif(current STREQUAL module AND line MATCHES "^[ \t]*[0-9a-f]+[ \t]+[0-9]+[ \t]+([A-Za-z_][A-Za-z0-9_]*)")
      list(APPEND names ${CMAKE_MATCH_1})
    endif()
  endforeach()
  list(SORT names)
  set(${dlls_out} "${dlls}" PARENT_SCOPE)
  set(${names_out} "${names}" PARENT_SCOPE)
endfunction()

function(require_no_runtime file dlls)
  foreach(dll IN LISTS dlls)
    foreach(runtime IN LISTS runtime_dlls)
      if(dll MATCHES "^${runtime}$")
        message(FATAL_ERROR "${file} depends on MinGW's runtime DLL ${dll}")
      endif()
    endforeach()
  endforeach()
endfunction()

list(SORT exports)
list(SORT imports)

dump(${DLL} dll_lines)
exported_names(dll_lines have_exports)
if(NOT have_exports STREQUAL exports)
  message(FATAL_ERROR "export table differs:\n  have ${have_exports}\n  want ${exports}")
endif()
imported(dll_lines ${HOST_MODULE} dlls have_imports)
if(NOT have_imports STREQUAL imports)
  message(FATAL_ERROR "imports from ${HOST_MODULE} differ:\n  have ${have_imports}\n  want ${imports}")
endif()
require_no_runtime(${DLL} "${dlls}")
foreach(name VOKA_PPENT VOKA_PPEXT)
  if(name IN_LIST have_imports)
    message(FATAL_ERROR "${name} must not be imported")
  endif()
endforeach()

dump(${HOST_DLL} host_lines)
imported(host_lines "" host_dlls unused)
require_no_runtime(${HOST_DLL} "${host_dlls}")

list(JOIN dlls ", " dll_list)
message(STATUS "${DLL}: 29 exports; 29 imports from ${HOST_MODULE}; imports from ${dll_list}")
