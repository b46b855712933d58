// Reading the databank's TOML: a part of the file parsed on its own, and its fields read with the
// file and line named in every refusal (a missing field, a number that is not finite, an unknown
// equation form, a source that names no [sources] key, an empty or inverted range).
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>
#include <toml++/toml.h>

#include "data/component.h"

namespace kvt::reference {

class Reader {
 public:
  // line_offset: the lines of the file before the text parsed (a block is parsed on its own)
  explicit Reader(std::filesystem::path file, std::size_t line_offset = 0) : file_(std::move(file)), offset_(line_offset) {}

  [[noreturn]] void fail(const toml::node* where, const std::string& what) const;

  double number(const toml::table& t, std::string_view key, const std::string& owner) const;

  std::string text(const toml::table& t, std::string_view key, const std::string& owner) const;

  // The entry's `source`, whose key (the text before the first comma or blank) must name a [sources] entry.
  std::string cited(const toml::table& t, const std::string& owner,
                    const std::vector<std::pair<std::string, std::string>>& sources) const;

  Correlation correlation(const toml::table& t, const std::string& owner, const Component& comp,
                          const std::vector<std::pair<std::string, std::string>>& sources) const;

  PiecewiseCorrelation property(const toml::table& t, std::string_view key, const Component& comp, bool required,
                                const std::vector<std::pair<std::string, std::string>>& sources) const;

 private:
  std::filesystem::path file_;
  std::size_t offset_;
};

// A part of the file parsed on its own; line_offset: the file's lines before it.
toml::table parse(const std::filesystem::path& file, std::string_view text, std::size_t line_offset);

}  // namespace kvt::reference
