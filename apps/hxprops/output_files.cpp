#include "output_files.h"

#include <string>
#include <system_error>

#include <fstream>

#include "errors.h"
#include "platform.h"

namespace hxprops {

namespace fs = std::filesystem;

OutputFiles::~OutputFiles() {
  if (!committed_) discard();
}

fs::path OutputFiles::stage(const fs::path& final_path) {
  std::error_code ec;
  if (fs::is_directory(final_path, ec)) throw RunError(final_path.string() + " is a directory, not a file name");
  const fs::path parent = final_path.has_parent_path() ? final_path.parent_path() : fs::path(".");
  // Create missing directories one level at a time, remembering each for discard().
  std::vector<fs::path> missing;
  for (fs::path p = parent; !p.empty() && !fs::exists(p, ec); p = p.parent_path()) {
    missing.push_back(p);
    if (p == p.parent_path()) break;
  }
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    if (!fs::create_directory(*it, ec) && ec) throw RunError("cannot create directory " + it->string() + ": " + ec.message());
    created_dirs_.push_back(*it);
  }
  if (!fs::is_directory(parent, ec)) throw RunError(parent.string() + " is not a directory");
  const fs::path temporary =
      parent / ("." + final_path.filename().string() + ".tmp-" + std::to_string(process_id()));
  entries_.push_back({temporary, final_path});
  return temporary;
}

void OutputFiles::commit() {
  for (const Entry& e : entries_) {
    std::error_code ec;
    fs::rename(e.temporary, e.final_path, ec);
    if (ec) throw RunError("cannot move " + e.temporary.string() + " to " + e.final_path.string() + ": " + ec.message());
  }
  committed_ = true;
}

void OutputFiles::discard() {
  std::error_code ec;
  for (const Entry& e : entries_) fs::remove(e.temporary, ec);
  for (auto it = created_dirs_.rbegin(); it != created_dirs_.rend(); ++it) fs::remove(*it, ec);  // only if empty
  entries_.clear();
  created_dirs_.clear();
}

}  // namespace hxprops

namespace hxprops {

void write_text_file(const std::filesystem::path& file, const std::string& text) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out) throw RunError("cannot write " + file.string());
}

}  // namespace hxprops
