// What hxprops needs of the operating system beyond the C++ standard library, in one place.
#pragma once

#include <string>
#include <vector>

namespace hxprops {

// The running process's id (part of temporary file names).
long process_id();

// Run a program found on the PATH with the arguments given and wait for it. Returns its exit
// status, or -1 when it could not be started.
int run_program(const std::string& program, const std::vector<std::string>& args);

}  // namespace hxprops
