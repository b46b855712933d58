// Output files that appear all at once or not at all: a regular file (or a name not there yet) is
// written under a temporary name beside its final name and renamed when the whole run has succeeded;
// whatever is not committed (an error, an exception) is removed again, with any directory created for
// it. Anything else is written where it is, as it is produced: a device (/dev/null, NUL), a pipe, a
// link (written through, never replaced by a file); and `-`, standard output, gets its content when
// the run has succeeded.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace hxprops {

// How an output's name is written to.
enum class OutputTarget { Replaced, Direct, StandardOutput };

// `-` is standard output; a device name, a device, a pipe or a link is written directly; anything
// else (a regular file, a name not there yet) is replaced through a temporary file.
OutputTarget output_target(const std::filesystem::path& name);

class OutputFiles {
 public:
  OutputFiles() = default;
  ~OutputFiles();
  OutputFiles(const OutputFiles&) = delete;
  OutputFiles& operator=(const OutputFiles&) = delete;

  // The path to write `final_path` under: a temporary path beside it, `final_path` itself when it is
  // written directly, a temporary file for standard output. Creates missing parent directories
  // (removed again unless committed). Throws RunError when a directory cannot be created,
  // `final_path` is a directory or is staged already.
  std::filesystem::path stage(const std::filesystem::path& final_path);
  // Rename every staged file to its final name, then copy what is for standard output there. Throws
  // RunError on failure.
  void commit();
  // Remove every staged file and created directory (the destructor does this when not committed).
  void discard();

 private:
  struct Entry {
    std::filesystem::path temporary;
    std::filesystem::path final_path;  // empty: standard output
  };
  std::vector<Entry> entries_;
  std::vector<std::filesystem::path> created_dirs_;  // outermost first
  bool committed_ = false;
};

// Write `text` to `file`; throws RunError naming `shown` (else `file`) and the reason when it cannot
// be written.
void write_text_file(const std::filesystem::path& file, const std::string& text, const std::filesystem::path& shown = {});

}  // namespace hxprops
