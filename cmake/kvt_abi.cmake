# The names of the library's ABI: what it exports, and what it imports from its host. The checks of
# the built library's symbol tables (Linux and Windows) compare against these lists, and the Windows
# build writes from them the .def of what a host module must export (kvt_write_host_def).
set(kvt_exports KVT_HXFLSH KVT_HXPFRC KVT_HXPMWT KVT_HXPMFL KVT_HXPQFL KVT_HXPCPP KVT_HXPTHC KVT_HXPVIS KVT_HXPSFT
    KVT_HXPDNS KVT_HXPTHV KVT_HXPTMC KVT_HXPPRC KVT_HXPTMP KVT_HXPPRS KVT_HXUTMP KVT_HXUPRS KVT_HXUNTH KVT_HXUVFR
    KVT_IHXPP KVT_RHXPP KVT_HXPKV KVT_HXRMSS KVT_HXRMIN KVT_HXSBD KVT_HXSTRB KVT_HXIMSS KVT_HXPDBG KVT_HXOUTP)
# The host's blocks (data) and routines.
set(kvt_import_blocks VOKA_PLEX VOKA_NCOMP VOKA_STWKWK VOKA_IPOFF1 VOKA_RGLOB VOKA_FLSCOM VOKA_FLSCM2 TEBU_STWORK)
set(kvt_import_routines TEBU_SETH TEBU_TOTFLO TEBU_TOTMAS TEBU_TOTENT TEBU_CPACK WEND_FLASH WEND_FLSTAT WEND_CRTCAL
    MUTO_PEQPT1 GOSA_ENTHL GOSA_ENTHV GOSA_TCONL GOSA_TCONV GOSA_VISCL GOSA_VISCV GOSA_SRFTEN GOSA_VTHRM GOSA_LTHRM
    NERO_IDXWAT LORI_PL001 UNIT_WRITE)
set(kvt_imports ${kvt_import_blocks} ${kvt_import_routines})

# Writes `file`, the module-definition file of a host module: every host symbol, the blocks marked
# DATA. dlltool makes kvt.dll's import library for the host module from it, and a host module built
# with it exports exactly what kvt.dll imports.
function(kvt_write_host_def file)
  set(text "; What a host module of kvt.dll exports: the host's blocks (DATA) and routines, undecorated.\n")
  string(APPEND text "; Written from cmake/kvt_abi.cmake by the build; the module's name is the one kvt.dll was\n")
  string(APPEND text "; built for (cache variable KVT_HOST_MODULE).\nEXPORTS\n")
  foreach(name IN LISTS kvt_import_blocks)
    string(APPEND text "  ${name} DATA\n")
  endforeach()
  foreach(name IN LISTS kvt_import_routines)
    string(APPEND text "  ${name}\n")
  endforeach()
  file(CONFIGURE OUTPUT ${file} CONTENT "${text}")
endfunction()
