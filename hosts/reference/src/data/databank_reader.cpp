#include "data/databank_reader.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "kvt_reference/reference_host.h"
#include "kvt_reference/toml_text.h"

namespace kvt::reference {

void Reader::fail(const toml::node* where, const std::string& what) const {
  std::ostringstream msg;
  msg << file_.string();
  if (where != nullptr && where->source().begin.line > 0) msg << ":" << where->source().begin.line + offset_;
  msg << ": " << what;
  throw Error(msg.str());
}

double Reader::number(const toml::table& t, std::string_view key, const std::string& owner) const {
  const toml::node* n = t.get(key);
  if (n == nullptr) fail(&t, owner + ": missing field '" + std::string(key) + "'");
  if (auto v = n->value<double>(); v && std::isfinite(*v)) return *v;
  fail(n, owner + ": field '" + std::string(key) + "' is not a finite number");
}

std::string Reader::text(const toml::table& t, std::string_view key, const std::string& owner) const {
  const toml::node* n = t.get(key);
  if (n == nullptr) fail(&t, owner + ": missing field '" + std::string(key) + "'");
  if (auto v = n->value<std::string>()) return *v;
  fail(n, owner + ": field '" + std::string(key) + "' is not a string");
}

std::string Reader::cited(const toml::table& t, const std::string& owner,
                          const std::vector<std::pair<std::string, std::string>>& sources) const {
  std::string source = text(t, "source", owner);
  const std::string key = source.substr(0, source.find_first_of(", "));
  if (std::none_of(sources.begin(), sources.end(), [&](const auto& s) { return s.first == key; }))
    fail(t.get("source"), owner + ": source '" + key + "' is not listed in [sources]");
  return source;
}

Correlation Reader::correlation(const toml::table& t, const std::string& owner, const Component& comp,
                                const std::vector<std::pair<std::string, std::string>>& sources) const {
  Correlation c;
  const std::string eq = text(t, "eq", owner);
  if (!parse_form(eq, c.form)) fail(t.get("eq"), owner + ": unknown equation form '" + eq + "'");
  if (const toml::node* cn = t.get("c")) {
    const toml::array* arr = cn->as_array();
    if (arr == nullptr) fail(cn, owner + ": field 'c' is not an array");
    for (const toml::node& v : *arr) {
      auto d = v.value<double>();
      if (!d || !std::isfinite(*d)) fail(&v, owner + ": coefficient is not a finite number");
      c.c.push_back(*d);
    }
  } else if (c.form != Form::kBrockBird) {
    fail(&t, owner + ": missing field 'c'");
  }
  c.tmin = number(t, "tmin", owner);
  c.tmax = number(t, "tmax", owner);
  if (!(c.tmin > 0.0 && c.tmax > c.tmin)) fail(&t, owner + ": empty or inverted range");
  c.source = cited(t, owner, sources);
  if (c.form == Form::kDippr106 || c.form == Form::kDippr114 || c.form == Form::kPowerLaw || c.form == Form::kPpds) {
    c.tc = number(t, "tc", owner);
  } else if (c.form == Form::kBrockBird) {
    c.tc = comp.tc;
    c.pc = comp.pc;
    c.tb = comp.tb;
  }
  return c;
}

PiecewiseCorrelation Reader::property(const toml::table& t, std::string_view key, const Component& comp, bool required,
                                      const std::vector<std::pair<std::string, std::string>>& sources) const {
  PiecewiseCorrelation out;
  const std::string owner = comp.name + "." + std::string(key);
  const toml::node* n = t.get(key);
  if (n == nullptr) {
    if (required) fail(&t, comp.name + ": missing correlation '" + std::string(key) + "'");
    return out;
  }
  if (const toml::table* one = n->as_table()) {
    out.pieces.push_back(correlation(*one, owner, comp, sources));
  } else if (const toml::array* many = n->as_array()) {
    for (const toml::node& piece : *many) {
      const toml::table* pt = piece.as_table();
      if (pt == nullptr) fail(&piece, owner + ": entry is not a table");
      out.pieces.push_back(correlation(*pt, owner, comp, sources));
    }
    if (out.pieces.empty()) fail(n, owner + ": no entries");
  } else {
    fail(n, owner + ": not a table or an array of tables");
  }
  return out;
}

toml::table parse(const std::filesystem::path& file, std::string_view text, std::size_t line_offset) {
  if (const int line = toml_line_of_stray_non_ascii(text)) {
    throw Error(file.string() + ":" + std::to_string(static_cast<std::size_t>(line) + line_offset) +
                ": a character beyond ASCII outside a string or a comment, or after a backslash");
  }
  try {
    return toml::parse(text, file.string());
  } catch (const toml::parse_error& e) {
    std::ostringstream msg;
    msg << file.string();
    if (e.source().begin.line > 0) msg << ":" << e.source().begin.line + line_offset;
    msg << ": " << e.description();
    throw Error(msg.str());
  }
}

}  // namespace kvt::reference
