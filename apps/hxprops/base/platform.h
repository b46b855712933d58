// What hxprops needs of the operating system beyond the C++ standard library, in one place.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace hxprops {

// A path as UTF-8 text (for messages and for the C runtime, whose code page is UTF-8 on Windows too),
// and a path from such text (a program's arguments). fs::path's own char conversions on Windows use
// the C runtime's locale, which cannot be UTF-8.
std::string path_text(const std::filesystem::path& path);
std::filesystem::path path_from_text(const std::string& text);

// The running process's id (part of temporary file names).
long process_id();

// Run a program found on the PATH with the arguments given and wait for it. Returns its exit
// status, or -1 when it could not be started.
int run_program(const std::string& program, const std::vector<std::string>& args);

// Where to get gnuplot on this system, as a clause for a message.
std::string where_to_get_gnuplot();

// Whether `name` names a device by its name alone (Windows: NUL, CON, COM1, \\.\...; nowhere else).
bool is_device_name(const std::filesystem::path& name);

// Whether `name` is where standard output goes (/dev/stdout, or the very file or pipe it is).
bool is_standard_output(const std::filesystem::path& name);

// Bytes written to `stream` go out unchanged (no newline translation on Windows).
void set_binary_output(std::FILE* stream);

// Standard output and error written a block at a time rather than a character at a time (a console
// on Windows is unbuffered), and a console that shows the UTF-8 the programs print. Call first.
void prepare_console();

}  // namespace hxprops
