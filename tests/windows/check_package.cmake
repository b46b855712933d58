cmake_minimum_required(VERSION 3.25)
# The Windows package ZIP, unpacked below WORK: its files are those of FILES (paths below the
# package's folder), every program in it answers --help under wine, and hxprops's default case prints
# the same text as the Linux hxprops of LINUX_TREE.
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

file(GLOB programs ${root}/bin/*.exe)
foreach(program IN LISTS programs)
  kvt_run_in(${WORK}/help help ${emulator} ${program} --help)
endforeach()
kvt_same_output(${root}/bin/hxprops.exe)
