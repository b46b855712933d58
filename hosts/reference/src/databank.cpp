#include "databank.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <sstream>
#include <toml++/toml.h>

#include "kvt_reference/reference_host.h"
#include "kvt_reference/toml_text.h"
#include "pure.h"

namespace kvt::reference {

namespace {

std::string lower(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

class Reader {
 public:
  explicit Reader(std::filesystem::path file) : file_(std::move(file)) {}

  [[noreturn]] void fail(const toml::node* where, const std::string& what) const {
    std::ostringstream msg;
    msg << file_.string();
    if (where != nullptr && where->source().begin.line > 0) msg << ":" << where->source().begin.line;
    msg << ": " << what;
    throw Error(msg.str());
  }

  double number(const toml::table& t, std::string_view key, const std::string& owner) const {
    const toml::node* n = t.get(key);
    if (n == nullptr) fail(&t, owner + ": missing field '" + std::string(key) + "'");
    if (auto v = n->value<double>(); v && std::isfinite(*v)) return *v;
    fail(n, owner + ": field '" + std::string(key) + "' is not a finite number");
  }

  std::string text(const toml::table& t, std::string_view key, const std::string& owner) const {
    const toml::node* n = t.get(key);
    if (n == nullptr) fail(&t, owner + ": missing field '" + std::string(key) + "'");
    if (auto v = n->value<std::string>()) return *v;
    fail(n, owner + ": field '" + std::string(key) + "' is not a string");
  }

  // The entry's `source`, whose key (the text before the first comma or blank) must name a [sources] entry.
  std::string cited(const toml::table& t, const std::string& owner,
                    const std::vector<std::pair<std::string, std::string>>& sources) const {
    std::string source = text(t, "source", owner);
    const std::string key = source.substr(0, source.find_first_of(", "));
    if (std::none_of(sources.begin(), sources.end(), [&](const auto& s) { return s.first == key; }))
      fail(t.get("source"), owner + ": source '" + key + "' is not listed in [sources]");
    return source;
  }

  Correlation correlation(const toml::table& t, const std::string& owner, const Component& comp,
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
    if (c.form == Form::kDippr106 || c.form == Form::kDippr114 || c.form == Form::kPowerLaw) {
      c.tc = number(t, "tc", owner);
    } else if (c.form == Form::kBrockBird) {
      c.tc = comp.tc;
      c.pc = comp.pc;
      c.tb = comp.tb;
    }
    return c;
  }

  PiecewiseCorrelation property(const toml::table& t, std::string_view key, const Component& comp, bool required,
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

 private:
  std::filesystem::path file_;
};

}  // namespace

const Component* Databank::find(std::string_view name) const {
  const std::string key = lower(name);
  for (const auto& c : components) {
    if (lower(c.name) == key) return &c;
  }
  return nullptr;
}

double Databank::kij(std::string_view a, std::string_view b) const {
  const std::string la = lower(a), lb = lower(b);
  for (const auto& i : interactions) {
    if ((i.first == la && i.second == lb) || (i.first == lb && i.second == la)) return i.kij;
  }
  return 0.0;
}

Databank read_databank(const std::filesystem::path& file) {
  Reader r(file);
  toml::table root;
  try {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw Error(file.string() + ": cannot open the databank file");
    std::ostringstream text;
    text << in.rdbuf();
    if (const int line = toml_line_of_stray_non_ascii(text.str())) {
      throw Error(file.string() + ":" + std::to_string(line) + ": a character beyond ASCII outside a string or a comment, or after a backslash");
    }
    root = toml::parse(text.str(), file.string());
  } catch (const toml::parse_error& e) {
    std::ostringstream msg;
    msg << file.string();
    if (e.source().begin.line > 0) msg << ":" << e.source().begin.line;
    msg << ": " << e.description();
    throw Error(msg.str());
  }
  Databank db;
  const toml::table* sources = root["sources"].as_table();
  if (sources == nullptr) r.fail(&root, "missing table [sources]");
  for (const auto& [k, v] : *sources) {
    auto s = v.value<std::string>();
    if (!s) r.fail(&v, "sources." + std::string(k.str()) + " is not a string");
    db.sources.emplace_back(std::string(k.str()), *s);
  }
  const toml::array* comps = root["component"].as_array();
  if (comps == nullptr || comps->empty()) r.fail(&root, "no [[component]] entries");
  for (const toml::node& node : *comps) {
    const toml::table* t = node.as_table();
    if (t == nullptr) r.fail(&node, "component entry is not a table");
    Component c;
    c.name = lower(r.text(*t, "name", "component"));
    if (db.find(c.name) != nullptr) r.fail(t, "component '" + c.name + "' appears twice");
    c.formula = r.text(*t, "formula", c.name);
    c.mw = r.number(*t, "mw", c.name);
    c.tc = r.number(*t, "tc", c.name);
    c.pc = r.number(*t, "pc", c.name);
    c.vc = r.number(*t, "vc", c.name);
    c.omega = r.number(*t, "omega", c.name);
    c.tb = r.number(*t, "tb", c.name);
    c.constants_source = r.text(*t, "constants_source", c.name);
    if (!(c.mw > 0 && c.tc > 0 && c.pc > 0 && c.tb > 0 && c.tb < c.tc)) r.fail(t, c.name + ": implausible constants");
    c.vapour_pressure = r.property(*t, "vapour_pressure", c, true, db.sources);
    c.ideal_gas_cp = r.property(*t, "ideal_gas_cp", c, true, db.sources);
    c.heat_of_vaporisation = r.property(*t, "heat_of_vaporisation", c, true, db.sources);
    c.liquid_density = r.property(*t, "liquid_density", c, true, db.sources);
    c.liquid_cp = r.property(*t, "liquid_cp", c, true, db.sources);
    c.liquid_viscosity = r.property(*t, "liquid_viscosity", c, true, db.sources);
    c.vapour_viscosity = r.property(*t, "vapour_viscosity", c, true, db.sources);
    c.liquid_conductivity = r.property(*t, "liquid_conductivity", c, true, db.sources);
    c.vapour_conductivity = r.property(*t, "vapour_conductivity", c, true, db.sources);
    c.surface_tension = r.property(*t, "surface_tension", c, true, db.sources);
    if (const TRange range = flash_range(c); !(range.max > range.min)) {
      r.fail(t, c.name + ": the vapour-pressure, ideal-gas heat capacity, heat-of-vaporisation and liquid-density "
                         "correlations share no temperature range");
    }
    db.components.push_back(std::move(c));
  }
  if (const toml::array* pairs = root["interaction"].as_array()) {
    for (const toml::node& node : *pairs) {
      const toml::table* t = node.as_table();
      if (t == nullptr) r.fail(&node, "interaction entry is not a table");
      Interaction in;
      in.first = lower(r.text(*t, "first", "interaction"));
      in.second = lower(r.text(*t, "second", "interaction"));
      const std::string owner = "interaction " + in.first + "-" + in.second;
      if (db.find(in.first) == nullptr || db.find(in.second) == nullptr || in.first == in.second)
        r.fail(t, owner + ": names no pair of databank components");
      in.kij = r.number(*t, "kij", owner);
      in.source = r.cited(*t, owner, db.sources);
      db.interactions.push_back(std::move(in));
    }
  }
  return db;
}

}  // namespace kvt::reference
