#include "data/databank.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <sstream>
#include <toml++/toml.h>

#include "kvt_reference/reference_host.h"
#include "data/databank_reader.h"
#include "data/lookup.h"
#include "data/pure.h"

namespace kvt::reference {

namespace {

std::string lower(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

// Reads one [[component]] table (fields as written by the databank's generator).
Component read_component(const Reader& r, const toml::table& t, const std::vector<std::pair<std::string, std::string>>& sources) {
  Component c;
  c.name = lower(r.text(t, "name", "component"));
  if (t.get("cas") != nullptr) c.cas = r.text(t, "cas", c.name);
  c.formula = r.text(t, "formula", c.name);
  c.mw = r.number(t, "mw", c.name);
  c.tc = r.number(t, "tc", c.name);
  c.pc = r.number(t, "pc", c.name);
  c.vc = r.number(t, "vc", c.name);
  c.omega = r.number(t, "omega", c.name);
  c.tb = r.number(t, "tb", c.name);
  c.constants_source = r.text(t, "constants_source", c.name);
  if (!(c.mw > 0 && c.tc > 0 && c.pc > 0 && c.tb > 0 && c.tb < c.tc)) r.fail(&t, c.name + ": implausible constants");
  c.vapour_pressure = r.property(t, "vapour_pressure", c, true, sources);
  c.ideal_gas_cp = r.property(t, "ideal_gas_cp", c, true, sources);
  c.heat_of_vaporisation = r.property(t, "heat_of_vaporisation", c, true, sources);
  c.liquid_density = r.property(t, "liquid_density", c, true, sources);
  c.liquid_cp = r.property(t, "liquid_cp", c, true, sources);
  c.liquid_viscosity = r.property(t, "liquid_viscosity", c, true, sources);
  c.vapour_viscosity = r.property(t, "vapour_viscosity", c, true, sources);
  c.liquid_conductivity = r.property(t, "liquid_conductivity", c, true, sources);
  c.vapour_conductivity = r.property(t, "vapour_conductivity", c, true, sources);
  c.surface_tension = r.property(t, "surface_tension", c, true, sources);
  if (const TRange range = flash_range(c); !(range.max > range.min)) {
    r.fail(&t, c.name + ": the vapour-pressure, ideal-gas heat capacity, heat-of-vaporisation and liquid-density "
                        "correlations share no temperature range");
  }
  if (const toml::table* a = t["alpha"].as_table()) {
    const std::string owner = c.name + ".alpha";
    if (r.text(*a, "eq", owner) != "mathias_copeman") r.fail(a->get("eq"), owner + ": unknown alpha form (mathias_copeman expected)");
    const toml::array* coef = (*a)["c"].as_array();
    if (coef == nullptr || coef->size() != 3) r.fail(a, owner + ": 'c' must hold c1, c2 and c3");
    for (const toml::node& v : *coef) c.alpha.push_back(v.value<double>().value_or(std::nan("")));
    if (!std::all_of(c.alpha.begin(), c.alpha.end(), [](double v) { return std::isfinite(v); })) r.fail(a, owner + ": c1, c2 and c3 must be numbers");
    c.saturation_miss = r.number(*a, "saturation_miss", owner);
    c.alpha_source = r.cited(*a, owner, sources);
  }
  c.ideal_liquid = ideal_liquid_knots(c);
  return c;
}

// The quoted strings of a one-line TOML value (`"a"` or `["a", "b"]`); false when it holds an escape
// or is not closed, which the full parse then judges.
bool quoted_strings(std::string_view v, std::vector<std::string>& out) {
  for (std::size_t i = 0; i < v.size(); ++i) {
    if (v[i] == '#') break;
    if (v[i] != '"') continue;
    const std::size_t close = v.find('"', i + 1);
    if (close == std::string_view::npos) return false;
    const std::string_view s = v.substr(i + 1, close - i - 1);
    if (s.find('\\') != std::string_view::npos) return false;
    out.emplace_back(s);
    i = close;
  }
  return true;
}

// A line's text without the blanks around it (TOML's whitespace: spaces and tabs).
std::string_view trimmed(std::string_view v) {
  const std::size_t b = v.find_first_not_of(" \t\r");
  if (b == std::string_view::npos) return {};
  return v.substr(b, v.find_last_not_of(" \t\r") - b + 1);
}

// A component block's identifiers from its `key = value` lines, without parsing the block; the block
// is parsed instead when a line is not that simple.
Entry index_entry(const std::filesystem::path& file, std::string_view block, std::size_t begin, std::size_t line) {
  Entry e;
  e.begin = begin;
  e.end = begin + block.size();
  e.line = line;
  bool simple = true;
  for (std::size_t pos = 0; pos < block.size() && simple;) {
    std::size_t eol = block.find('\n', pos);
    if (eol == std::string_view::npos) eol = block.size();
    const std::string_view l = block.substr(pos, eol - pos);
    pos = eol + 1;
    const std::size_t eq = l.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string_view key = trimmed(l.substr(0, eq)), value = trimmed(l.substr(eq + 1));
    // A quoted key (or a line inside a multi-line value) is left to the full parse.
    if (key.starts_with('"') || key.starts_with('\'')) simple = false;
    std::vector<std::string> strings;
    if (key == "name" || key == "cas" || key == "formula") {
      simple = quoted_strings(value, strings) && strings.size() == 1;
      if (simple) (key == "name" ? e.name : key == "cas" ? e.cas : e.formula) = key == "name" ? lower(strings[0]) : strings[0];
    } else if (key == "synonyms") {
      simple = value.starts_with("[") && quoted_strings(value, e.synonyms);
    }
  }
  if (simple && !e.name.empty()) return e;
  const toml::table t = parse(file, block, line - 1);
  const toml::table* c = t["component"][0].as_table();
  const Reader r(file, line - 1);
  if (c == nullptr) r.fail(&t, "component entry is not a table");
  e.name = lower(r.text(*c, "name", "component"));
  if (c->get("cas") != nullptr) e.cas = r.text(*c, "cas", e.name);
  e.formula = r.text(*c, "formula", e.name);
  if (const toml::array* syn = (*c)["synonyms"].as_array())
    for (const toml::node& s : *syn) e.synonyms.push_back(lower(s.value<std::string>().value_or("")));
  return e;
}

}  // namespace

const Component* Databank::find(std::string_view name) const {
  const std::string key = lower(name);
  for (const auto& c : components) {
    if (c.name == key || (c.characterised && lower(c.name) == key)) return &c;
  }
  for (const auto& e : entries) {
    if (e.name != key) continue;
    const Reader r(file_, e.line - 1);
    const toml::table t = parse(file_, std::string_view(text_).substr(e.begin, e.end - e.begin), e.line - 1);
    const toml::table* c = t["component"][0].as_table();
    if (c == nullptr) r.fail(&t, "component entry is not a table");
    components.push_back(read_component(r, *c, sources));
    return &components.back();
  }
  return nullptr;
}

const Component& Databank::add(Component c) {
  Entry e;
  e.name = c.name;
  e.folded = {fold_name(c.name), "", ""};
  entries.push_back(std::move(e));
  components.push_back(std::move(c));
  return components.back();
}

double Databank::kij(std::string_view a, std::string_view b) const {
  const std::string la = lower(a), lb = lower(b);
  for (const auto& i : interactions) {
    if ((i.first == la && i.second == lb) || (i.first == lb && i.second == la)) return i.kij;
  }
  return 0.0;
}

const NrtlPair* Databank::nrtl(std::string_view a, std::string_view b) const {
  const std::string la = lower(a), lb = lower(b);
  for (const auto& n : nrtl_pairs) {
    if ((n.first == la && n.second == lb) || (n.first == lb && n.second == la)) return &n;
  }
  return nullptr;
}

bool Databank::has_kij(std::string_view a, std::string_view b) const {
  const std::string la = lower(a), lb = lower(b);
  return std::any_of(interactions.begin(), interactions.end(), [&](const Interaction& i) {
    return (i.first == la && i.second == lb) || (i.first == lb && i.second == la);
  });
}

Databank open_databank(const std::filesystem::path& file) {
  Reader r(file);
  Databank db;
  db.file_ = file;
  {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw Error(file.string() + ": cannot open the databank file");
    std::ostringstream all;
    all << in.rdbuf();
    db.text_ = all.str();
  }
  // Split the text at its top-level headers: each [[component]] block goes to the index, every other
  // part (sources, interaction table, further sections) is parsed now, each on its own.
  const std::string_view text = db.text_;
  struct Part {
    std::size_t begin, end, line;
  };
  std::vector<Part> others;
  std::size_t line = 1, block_begin = 0, block_line = 1;
  bool in_component = false;
  auto close_block = [&](std::size_t at) {
    if (at > block_begin) {
      if (in_component)
        db.entries.push_back(index_entry(file, text.substr(block_begin, at - block_begin), block_begin, block_line));
      else
        others.push_back({block_begin, at, block_line});
    }
    block_begin = at;
    block_line = line;
  };
  for (std::size_t pos = 0; pos < text.size();) {
    std::size_t eol = text.find('\n', pos);
    if (eol == std::string_view::npos) eol = text.size();
    if (text[pos] == '[') {
      close_block(pos);
      in_component = text.substr(pos, eol - pos).starts_with("[[component]]");
    }
    pos = eol + 1;
    ++line;
  }
  close_block(text.size());

  std::vector<std::pair<toml::table, std::size_t>> tables;  // each part and the file's lines before it
  for (const Part& p : others) tables.emplace_back(parse(file, text.substr(p.begin, p.end - p.begin), p.line - 1), p.line - 1);
  auto find_part = [&](std::string_view key) -> std::pair<const toml::node*, Reader> {
    for (const auto& [t, offset] : tables)
      if (const toml::node* n = t.get(key)) return {n, Reader(file, offset)};
    return {nullptr, Reader(file)};
  };
  const toml::table empty;
  const auto [sources_node, rs] = find_part("sources");
  const toml::table* sources = sources_node != nullptr ? sources_node->as_table() : nullptr;
  if (sources == nullptr) r.fail(&empty, "missing table [sources]");
  for (const auto& [k, v] : *sources) {
    auto s = v.value<std::string>();
    if (!s) rs.fail(&v, "sources." + std::string(k.str()) + " is not a string");
    db.sources.emplace_back(std::string(k.str()), *s);
  }
  if (db.entries.empty()) r.fail(&empty, "no [[component]] entries");
  for (Entry& e : db.entries) e.folded = {fold_name(e.name), fold_name(e.cas), fold_name(e.formula)};
  for (std::size_t i = 0; i < db.entries.size(); ++i) {
    // Blanks, hyphens and underscores are left out when a name is looked up: a name of nothing else
    // could never be selected.
    if (db.entries[i].folded[0].empty()) {
      throw Error(file.string() + ":" + std::to_string(db.entries[i].line) + ": component name '" + db.entries[i].name +
                  "' has no letter or digit");
    }
    for (std::size_t j = 0; j < i; ++j) {
      // A name is found with blanks and hyphens folded, a CAS number names one compound: two entries
      // that fold to the same name, or share a CAS number, are one component given twice.
      const Entry &a = db.entries[j], &b = db.entries[i];
      const bool same_cas = !b.cas.empty() && a.folded[1] == b.folded[1];
      if (a.folded[0] == b.folded[0] || same_cas) {
        throw Error(file.string() + ":" + std::to_string(b.line) + ": component '" + b.name + "' appears twice (as '" + a.name +
                    "' on line " + std::to_string(a.line) + (same_cas ? ", CAS number " + b.cas : std::string()) + ")");
      }
    }
  }
  auto known = [&](const std::string& n) {
    return std::any_of(db.entries.begin(), db.entries.end(), [&](const Entry& e) { return e.name == n; });
  };
  const auto [kij_node, r2] = find_part("peng_robinson_kij");
  const toml::table* kij = kij_node != nullptr ? kij_node->as_table() : nullptr;
  if (const toml::array* pairs = kij != nullptr ? (*kij)["pairs"].as_array() : nullptr) {
    for (const toml::node& node : *pairs) {
      const toml::array* row = node.as_array();
      if (row == nullptr || row->size() != 4 || !(*row)[0].is_string() || !(*row)[1].is_string() || !(*row)[2].is_number() ||
          !(*row)[3].is_string())
        r2.fail(&node, "peng_robinson_kij: a pair is [first, second, k_ij, source]");
      Interaction in;
      in.first = lower(*(*row)[0].value<std::string>());
      in.second = lower(*(*row)[1].value<std::string>());
      in.kij = *(*row)[2].value<double>();
      in.source = *(*row)[3].value<std::string>();
      const std::string owner = "k_ij " + in.first + "-" + in.second;
      if (!known(in.first) || !known(in.second) || in.first == in.second) r2.fail(&node, owner + ": names no pair of databank components");
      const std::string key = in.source.substr(0, in.source.find_first_of(", "));
      if (std::none_of(db.sources.begin(), db.sources.end(), [&](const auto& s) { return s.first == key; }))
        r2.fail(&node, owner + ": source '" + key + "' is not listed in [sources]");
      db.interactions.push_back(std::move(in));
    }
  }
  // [[nrtl]] entries: each is a part of its own
  for (const auto& [t, offset] : tables) {
    const toml::array* pairs = t["nrtl"].as_array();
    if (pairs == nullptr) continue;
    const Reader rn(file, offset);
    for (const toml::node& node : *pairs) {
      const toml::table* e = node.as_table();
      if (e == nullptr) rn.fail(&node, "nrtl entry is not a table");
      NrtlPair in;
      in.first = lower(rn.text(*e, "first", "nrtl"));
      in.second = lower(rn.text(*e, "second", "nrtl"));
      const std::string owner = "nrtl " + in.first + "-" + in.second;
      if (!known(in.first) || !known(in.second) || in.first == in.second)
        rn.fail(e, owner + ": names no pair of databank components");
      if (db.nrtl(in.first, in.second) != nullptr) rn.fail(e, owner + ": the pair appears twice");
      in.a12 = rn.number(*e, "a12", owner);
      in.a21 = rn.number(*e, "a21", owner);
      in.alpha = rn.number(*e, "alpha", owner);
      if (!(in.alpha >= 0.0 && in.alpha <= 10.0)) rn.fail(e, owner + ": alpha outside 0 to 10");
      in.source = rn.cited(*e, owner, db.sources);
      db.nrtl_pairs.push_back(std::move(in));
    }
  }
  return db;
}

Databank read_databank(const std::filesystem::path& file) {
  Databank db = open_databank(file);
  for (const Entry& e : db.entries) db.find(e.name);
  return db;
}

}  // namespace kvt::reference
