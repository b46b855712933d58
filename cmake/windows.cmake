# The Windows build (the MinGW-w64 cross build of mingw-w64-x86_64.cmake), included by src/:
#   - kvt.dll's binding to its host module (host_import.cmake: kvt_host.def, written from the ABI
#     lists, and the import library kvt.dll links for the module it is built for);
#   - toml++, CLI11 and nlohmann-json for the programs and the reference host, header-only from Debian's
#     headers;
#   - a second kvt.dll, bound to the reference host's module, beside which every program linking the
#     reference host runs (bin/reference), while the library's tests run on the recording host in bin/;
#   - the programs' manifest (UTF-8 code page, windows_program.rc);
#   - the Windows package (windows_package.cmake).
include_guard(GLOBAL)
include(${CMAKE_CURRENT_LIST_DIR}/host_import.cmake)

# toml++, CLI11 and nlohmann-json have no MinGW builds, but all work header-only. Only their own header
# folders are handed to the cross compiler (links in a folder of the build tree, never all of
# /usr/include), through package redirects, so that find_package() in hosts/ and apps/ is the same for
# both builds.
set(KVT_HEADER_ONLY_ROOT /usr/include CACHE PATH "Where the toml++, CLI11 and nlohmann-json header folders are")
set(header_only_dir ${PROJECT_BINARY_DIR}/header_only/include)
file(MAKE_DIRECTORY ${header_only_dir})
function(kvt_header_only_package package target folder definitions)
  if(NOT EXISTS ${KVT_HEADER_ONLY_ROOT}/${folder})
    message(FATAL_ERROR "No ${KVT_HEADER_ONLY_ROOT}/${folder} for ${package} (scripts/deps.sh installs it)")
  endif()
  file(CREATE_LINK ${KVT_HEADER_ONLY_ROOT}/${folder} ${header_only_dir}/${folder} SYMBOLIC)
  string(TOLOWER ${package} lower)
  file(WRITE ${CMAKE_FIND_PACKAGE_REDIRECTS_DIR}/${lower}-config.cmake
       "if(NOT TARGET ${target})\n"
       "  add_library(${target} INTERFACE IMPORTED)\n"
       "  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${header_only_dir}\n"
       "                        INTERFACE_COMPILE_DEFINITIONS \"${definitions}\")\n"
       "endif()\n")
  file(WRITE ${CMAKE_FIND_PACKAGE_REDIRECTS_DIR}/${lower}-config-version.cmake
       "set(PACKAGE_VERSION 3)\nset(PACKAGE_VERSION_COMPATIBLE TRUE)\n")
endfunction()
kvt_header_only_package(tomlplusplus tomlplusplus::tomlplusplus toml++ TOML_HEADER_ONLY=1)
kvt_header_only_package(CLI11 CLI11::CLI11 CLI "")
kvt_header_only_package(nlohmann_json nlohmann_json::nlohmann_json nlohmann "")

# Whether `target` links `wanted`, directly or through other targets of the build.
function(kvt_links target wanted out)
  set(${out} FALSE PARENT_SCOPE)
  get_target_property(libs ${target} LINK_LIBRARIES)
  get_target_property(interface ${target} INTERFACE_LINK_LIBRARIES)
  foreach(lib IN LISTS libs interface)
    string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" lib "${lib}")
    if(lib STREQUAL wanted)
      set(${out} TRUE PARENT_SCOPE)
      return()
    elseif(TARGET "${lib}" AND NOT lib STREQUAL target)
      kvt_links(${lib} ${wanted} found)
      if(found)
        set(${out} TRUE PARENT_SCOPE)
        return()
      endif()
    endif()
  endforeach()
endfunction()

# Every target of `dir` and the folders below it.
function(kvt_all_targets dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    kvt_all_targets(${sub} more)
    list(APPEND targets ${more})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

# Every program of apps/ carries the manifest that makes UTF-8 its code page (windows_program.rc).
# The walk starts at the top: apps/ itself is not added when KVT_BUILD_APPS is off, while some of its
# programs (kvt-hostcheck) still are.
function(kvt_windows_program_manifests)
  kvt_all_targets(${PROJECT_SOURCE_DIR} targets)
  foreach(t IN LISTS targets)
    get_target_property(type ${t} TYPE)
    get_target_property(source_dir ${t} SOURCE_DIR)
    if(type STREQUAL "EXECUTABLE" AND source_dir MATCHES "^${PROJECT_SOURCE_DIR}/apps/")
      target_sources(${t} PRIVATE ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/windows_program.rc)
    endif()
  endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL kvt_windows_program_manifests)

# Run when the whole project is configured: the reference host's kvt.dll and its programs.
function(kvt_windows_reference_programs)
  if(NOT TARGET kvt_reference_host)
    return()
  endif()
  set(dir ${CMAKE_BINARY_DIR}/bin/reference)
  get_target_property(host_name kvt_reference_host OUTPUT_NAME)
  if(NOT host_name)
    set(host_name kvt_reference_host)
  endif()
  set_target_properties(kvt_reference_host PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${dir})
  target_link_options(kvt_reference_host PRIVATE -Wl,--export-all-symbols -Wl,--exclude-libs,ALL)

  # The same objects as kvt.dll, bound to the reference host's module.
  add_library(kvt_for_reference_host SHARED $<TARGET_OBJECTS:kvt>)
  set_target_properties(kvt_for_reference_host PROPERTIES OUTPUT_NAME kvt PREFIX "" LINKER_LANGUAGE CXX
    RUNTIME_OUTPUT_DIRECTORY ${dir} ARCHIVE_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/reference_implib)
  kvt_import_host_symbols(kvt_for_reference_host ${host_name}.dll)

  # The databank beside the host module, where the host looks for it.
  get_directory_property(databank DIRECTORY ${PROJECT_SOURCE_DIR}/hosts/reference
                         DEFINITION KVT_REFERENCE_DATABANK_SOURCE)
  configure_file(${databank} ${dir}/databank.toml COPYONLY)

  kvt_all_targets(${PROJECT_SOURCE_DIR} targets)
  set(programs "")
  foreach(t IN LISTS targets)
    get_target_property(type ${t} TYPE)
    if(type STREQUAL "EXECUTABLE" OR type STREQUAL "SHARED_LIBRARY")
      kvt_links(${t} kvt_reference_host on_reference)
      if(on_reference)
        set_target_properties(${t} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${dir})
        add_dependencies(${t} kvt_for_reference_host)
        get_target_property(source_dir ${t} SOURCE_DIR)
        if(type STREQUAL "EXECUTABLE" AND source_dir MATCHES "^${PROJECT_SOURCE_DIR}/apps/")
          list(APPEND programs ${t})
        endif()
      endif()
    endif()
  endforeach()
  set(KVT_WINDOWS_PROGRAMS ${programs})
  include(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/windows_package.cmake)
endfunction()
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL kvt_windows_reference_programs)
