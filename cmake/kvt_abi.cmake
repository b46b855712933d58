# The names of the library's ABI: what it exports (its routines, then its blocks), and what it imports
# from its host. The checks of the built library's symbol tables (Linux and Windows) compare against
# these lists; scripts/perf-figures.sh measures every exported routine.
set(kvt_export_routines KVT_HXFLSH KVT_HXPFRC KVT_HXPMWT KVT_HXPMFL KVT_HXPQFL KVT_HXPCPP KVT_HXPTHC KVT_HXPVIS
    KVT_HXPSFT KVT_HXPDNS KVT_HXPTHV KVT_HXPTMC KVT_HXPPRC KVT_HXPTMP KVT_HXPPRS KVT_HXUTMP KVT_HXUPRS KVT_HXUNTH
    KVT_HXUVFR)
set(kvt_export_blocks KVT_IHXPP KVT_RHXPP KVT_HXPKV KVT_HXRMSS KVT_HXRMIN KVT_HXSBD KVT_HXSTRB KVT_HXIMSS KVT_HXPDBG
    KVT_HXOUTP)
set(kvt_exports ${kvt_export_routines} ${kvt_export_blocks})
set(kvt_imports VOKA_PLEX VOKA_NCOMP VOKA_STWKWK VOKA_IPOFF1 VOKA_RGLOB VOKA_FLSCOM VOKA_FLSCM2 TEBU_STWORK
    TEBU_SETH TEBU_TOTFLO TEBU_TOTMAS TEBU_TOTENT TEBU_CPACK WEND_FLASH WEND_FLSTAT WEND_CRTCAL MUTO_PEQPT1
    GOSA_ENTHL GOSA_ENTHV GOSA_TCONL GOSA_TCONV GOSA_VISCL GOSA_VISCV GOSA_SRFTEN GOSA_VTHRM GOSA_LTHRM
    NERO_IDXWAT LORI_PL001 UNIT_WRITE)
# Of the imports, the host's blocks (data, not routines): marked DATA in the host module .def that the
# Windows build writes (cmake/host_import.cmake).
set(kvt_import_blocks VOKA_PLEX VOKA_NCOMP VOKA_STWKWK VOKA_IPOFF1 VOKA_RGLOB VOKA_FLSCOM VOKA_FLSCM2 TEBU_STWORK)
