// Output files that appear all at once or not at all: each is written under a temporary name beside
// its final name and renamed when the whole run has succeeded; whatever is not committed (an error,
// an exception) is removed again, with any directory created for it.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace hxprops {

class OutputFiles {
 public:
  OutputFiles() = default;
  ~OutputFiles();
  OutputFiles(const OutputFiles&) = delete;
  OutputFiles& operator=(const OutputFiles&) = delete;

  // The temporary path to write `final_path` under. Creates missing parent directories (removed
  // again unless committed). Throws RunError when a directory cannot be created or `final_path` is a
  // directory.
  std::filesystem::path stage(const std::filesystem::path& final_path);
  // Rename every staged file to its final name. Throws RunError on failure.
  void commit();
  // Remove every staged file and created directory (the destructor does this when not committed).
  void discard();

 private:
  struct Entry {
    std::filesystem::path temporary;
    std::filesystem::path final_path;
  };
  std::vector<Entry> entries_;
  std::vector<std::filesystem::path> created_dirs_;  // outermost first
  bool committed_ = false;
};

// Write `text` to `file`; throws RunError when it cannot be written.
void write_text_file(const std::filesystem::path& file, const std::string& text);

}  // namespace hxprops
