#include "output/output_files.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <system_error>

#include "base/errors.h"
#include "base/platform.h"

namespace hxprops {

namespace fs = std::filesystem;

OutputTarget output_target(const fs::path& name) {
  if (name == "-") return OutputTarget::StandardOutput;
  if (is_device_name(name)) return OutputTarget::Direct;
  std::error_code ec;
  const fs::file_status s = fs::symlink_status(name, ec);
  if (ec || !fs::exists(s) || fs::is_regular_file(s) || fs::is_directory(s)) return OutputTarget::Replaced;
  return OutputTarget::Direct;
}

OutputFiles::~OutputFiles() {
  if (!committed_) discard();
}

fs::path OutputFiles::stage(const fs::path& final_path) {
  std::error_code ec;
  if (fs::is_directory(final_path, ec)) throw RunError(path_text(final_path) + " is a directory, not a file name");
  for (const Entry& e : entries_) {
    if (!e.final_path.empty() && e.final_path == final_path) throw RunError(path_text(final_path) + " is named twice");
  }
  switch (output_target(final_path)) {
    case OutputTarget::Direct: return final_path;
    case OutputTarget::StandardOutput: {
      const fs::path temporary = fs::temp_directory_path(ec) / ("hxprops-stdout.tmp-" + std::to_string(process_id()));  // (ASCII)
      entries_.push_back({temporary, {}});
      return temporary;
    }
    case OutputTarget::Replaced: break;
  }
  const fs::path parent = final_path.has_parent_path() ? final_path.parent_path() : fs::path(".");
  // Create missing directories one level at a time, remembering each for discard().
  std::vector<fs::path> missing;
  for (fs::path p = parent; !p.empty() && !fs::exists(p, ec); p = p.parent_path()) {
    missing.push_back(p);
    if (p == p.parent_path()) break;
  }
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    if (!fs::create_directory(*it, ec) && ec) throw RunError("cannot create directory " + path_text(*it) + ": " + ec.message());
    created_dirs_.push_back(*it);
  }
  if (!fs::is_directory(parent, ec)) throw RunError(path_text(parent) + " is not a directory");
  const fs::path temporary =
      parent / path_from_text("." + path_text(final_path.filename()) + ".tmp-" + std::to_string(process_id()));
  entries_.push_back({temporary, final_path});
  return temporary;
}

void OutputFiles::commit() {
  for (const Entry& e : entries_) {
    if (e.final_path.empty()) continue;
    std::error_code ec;
    fs::rename(e.temporary, e.final_path, ec);
    if (ec) throw RunError("cannot move " + path_text(e.temporary) + " to " + path_text(e.final_path) + ": " + ec.message());
  }
  for (const Entry& e : entries_) {
    if (!e.final_path.empty()) continue;
    std::ifstream in(e.temporary, std::ios::binary);
    const std::string content{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) throw RunError("cannot read " + path_text(e.temporary));
    in.close();
    set_binary_output(stdout);
    std::cout.write(content.data(), static_cast<std::streamsize>(content.size())).flush();
    if (!std::cout) throw RunError("cannot write to standard output");
    std::error_code ec;
    fs::remove(e.temporary, ec);
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

void write_text_file(const std::filesystem::path& file, const std::string& text, const std::filesystem::path& shown) {
  errno = 0;
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out) {
    const std::string why = errno != 0 ? ": " + std::generic_category().message(errno) : std::string();
    throw RunError("cannot write " + path_text(shown.empty() ? file : shown) + why);
  }
}

}  // namespace hxprops
