cmake_minimum_required(VERSION 3.25)
# The Windows package ZIP, unpacked below WORK: its files are those of FILES (paths below the
# package's folder) and it stays under 3 MB, its debug information in the -debug ZIP beside it; every
# program in it answers --help under wine, and hxprops's default case prints the same text as the
# Linux hxprops of LINUX_TREE. hxprops takes and writes names in any script ("Michał", "熱交換") and
# writes to NUL. A host module of another name (myhost.dll) serves the package's kvt.dll and checker
# through a module made from lib/kvt_host_forward.def with the MinGW compiler CC (LOAD_KVT, the
# program of tests/dll, shows kvt.dll bound), and without it neither loads.
include(${CMAKE_CURRENT_LIST_DIR}/same_output.cmake)

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/unpacked)
file(ARCHIVE_EXTRACT INPUT ${ZIP} DESTINATION ${WORK}/unpacked)
get_filename_component(package ${ZIP} NAME_WLE)
set(root ${WORK}/unpacked/${package})

file(GLOB_RECURSE have LIST_DIRECTORIES false RELATIVE ${root} ${root}/*)
list(SORT have)
file(STRINGS ${FILES} want REGEX "^[^#]")
list(SORT want)
if(NOT have STREQUAL want)
  list(JOIN have "\n  " have_text)
  message(FATAL_ERROR "${package}.zip holds\n  ${have_text}\nnot the files of ${FILES}")
endif()
file(SIZE ${ZIP} size)
if(size GREATER 4194304)
  message(FATAL_ERROR "${package}.zip is ${size} bytes, more than 4 MB")
endif()
get_filename_component(zip_dir ${ZIP} DIRECTORY)
file(ARCHIVE_EXTRACT INPUT ${zip_dir}/${package}-debug.zip DESTINATION ${WORK}/debug)
file(GLOB binaries RELATIVE ${root} ${root}/bin/*.exe ${root}/bin/*.dll)
foreach(binary IN LISTS binaries)
  if(NOT EXISTS ${WORK}/debug/${package}/${binary}.debug)
    message(FATAL_ERROR "${package}-debug.zip lacks ${binary}.debug")
  endif()
endforeach()
message(STATUS "${package}.zip: ${size} bytes, the files of ${FILES}")

file(GLOB programs ${root}/bin/*.exe)
foreach(program IN LISTS programs)
  kvt_run_in(${WORK}/help help ${emulator} ${program} --help)
endforeach()
kvt_same_output(${root}/bin/hxprops.exe)

# Runs ARGN in `folder` (kept as it is); `rc` and `text` (output and error) in the caller.
macro(kvt_run_here folder)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${folder} RESULT_VARIABLE rc OUTPUT_VARIABLE text ERROR_VARIABLE text)
endmacro()

set(unicode ${WORK}/unicode)
file(MAKE_DIRECTORY ${unicode})
kvt_run_here(${unicode} ${emulator} ${root}/bin/hxprops.exe --dump-case 熱交換/case.toml)
kvt_run_here(${unicode} ${emulator} ${root}/bin/hxprops.exe --case 熱交換/case.toml --csv Michał --trace Michał/trace.txt
             --json NUL)
file(GLOB_RECURSE written LIST_DIRECTORIES false RELATIVE ${unicode} ${unicode}/*)
list(SORT written)
if(NOT rc EQUAL 0 OR NOT text MATCHES "case: 熱交換/case.toml" OR
   NOT written STREQUAL "Michał/side0.csv;Michał/side1.csv;Michał/trace.txt;熱交換/case.toml")
  message(FATAL_ERROR "hxprops.exe with names in other scripts: exit status ${rc}, wrote ${written}\n${text}")
endif()

set(app ${WORK}/myhost)
file(COPY ${root}/bin/ ${LOAD_KVT} DESTINATION ${app})
file(RENAME ${app}/kvt_reference_host.dll ${app}/myhost.dll)
get_filename_component(load_kvt ${LOAD_KVT} NAME)
# What loading kvt.dll says and kvt-hostcheck.exe's exit status, beside myhost.dll.
function(kvt_check_myhost load_says status)
  kvt_run_here(${app} ${emulator} ${app}/${load_kvt} kvt.dll)
  if(NOT text MATCHES "${load_says}")
    message(FATAL_ERROR "kvt.dll beside myhost.dll: ${text}")
  endif()
  kvt_run_here(${app} ${emulator} ${app}/kvt-hostcheck.exe myhost.dll)
  if(NOT rc EQUAL ${status})
    message(FATAL_ERROR "kvt-hostcheck.exe myhost.dll: exit status ${rc}\n${text}")
  endif()
endfunction()
kvt_check_myhost("module kvt_reference_host.dll not found" 2)
kvt_run_here(${app} ${CC} -shared -nostdlib -Wl,-e,0 -o kvt_reference_host.dll ${root}/lib/kvt_host_forward.def)
kvt_check_myhost("loaded kvt.dll; KVT_HXFLSH found" 0)
message(STATUS "myhost.dll serves kvt.dll and the checker through lib/kvt_host_forward.def")
