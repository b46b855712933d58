cmake_minimum_required(VERSION 3.25)
# cmake -DBIN=... -DDEBUG=... -DOBJCOPY=... -DSTRIP=... -P split_debug.cmake
# Every program and DLL in BIN keeps only what runs: its debug information goes to <name>.debug in
# DEBUG, which the stripped file names (a debug link), so that a debugger finds it once the two are
# put side by side.
file(GLOB binaries ${BIN}/*.exe ${BIN}/*.dll)
file(MAKE_DIRECTORY ${DEBUG})
foreach(binary IN LISTS binaries)
  get_filename_component(name ${binary} NAME)
  execute_process(COMMAND ${OBJCOPY} --only-keep-debug ${binary} ${DEBUG}/${name}.debug COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND ${STRIP} --strip-all ${binary} COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND ${OBJCOPY} --add-gnu-debuglink=${name}.debug ${binary} WORKING_DIRECTORY ${DEBUG}
                  COMMAND_ERROR_IS_FATAL ANY)
endforeach()
