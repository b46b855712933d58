cmake_minimum_required(VERSION 3.25)
# Compares the dynamic symbol table of the built library with the ABI: the 19 routines and 10 blocks
# defined and exported, nothing else of the library's own, and every host symbol left undefined.
set(exports KVT_HXFLSH KVT_HXPFRC KVT_HXPMWT KVT_HXPMFL KVT_HXPQFL KVT_HXPCPP KVT_HXPTHC KVT_HXPVIS KVT_HXPSFT
    KVT_HXPDNS KVT_HXPTHV KVT_HXPTMC KVT_HXPPRC KVT_HXPTMP KVT_HXPPRS KVT_HXUTMP KVT_HXUPRS KVT_HXUNTH KVT_HXUVFR
    KVT_IHXPP KVT_RHXPP KVT_HXPKV KVT_HXRMSS KVT_HXRMIN KVT_HXSBD KVT_HXSTRB KVT_HXIMSS KVT_HXPDBG KVT_HXOUTP)
set(imports VOKA_PLEX VOKA_NCOMP VOKA_STWKWK VOKA_IPOFF1 VOKA_RGLOB VOKA_FLSCOM VOKA_FLSCM2 TEBU_STWORK
    TEBU_SETH TEBU_TOTFLO TEBU_TOTMAS TEBU_TOTENT TEBU_CPACK WEND_FLASH WEND_FLSTAT WEND_CRTCAL MUTO_PEQPT1
    GOSA_ENTHL GOSA_ENTHV GOSA_TCONL GOSA_TCONV GOSA_VISCL GOSA_VISCV GOSA_SRFTEN GOSA_VTHRM GOSA_LTHRM
    NERO_IDXWAT LORI_PL001 UNIT_WRITE)

function(symbols out)
  execute_process(COMMAND nm -D ${ARGN} ${LIB} OUTPUT_VARIABLE text RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "nm failed on ${LIB}")
  endif()
  string(REGEX MATCHALL "[^\n]+" lines "${text}")
  set(names "")
  foreach(line ${lines})
    string(REGEX REPLACE "^.* ([^ ]+)$" "\\1" name "${line}")
    # Symbols of the C and C++ runtimes carry a version or a reserved prefix.
    if(NOT name MATCHES "@" AND NOT name MATCHES "^_")
      list(APPEND names ${name})
    endif()
  endforeach()
  list(SORT names)
  set(${out} ${names} PARENT_SCOPE)
endfunction()

symbols(defined --defined-only)
symbols(undefined --undefined-only)
list(SORT exports)
list(SORT imports)
if(NOT defined STREQUAL exports)
  message(FATAL_ERROR "exported set differs:\n  have ${defined}\n  want ${exports}")
endif()
if(NOT undefined STREQUAL imports)
  message(FATAL_ERROR "undefined set differs:\n  have ${undefined}\n  want ${imports}")
endif()
foreach(name VOKA_PPENT VOKA_PPEXT)
  if(name IN_LIST undefined)
    message(FATAL_ERROR "${name} must not be imported")
  endif()
endforeach()
message(STATUS "${LIB}: 29 exports and 29 imports as the ABI lists")
