#include "case_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <toml++/toml.h>

namespace hxprops {

namespace {

int line_of(const toml::node& n) { return static_cast<int>(n.source().begin.line); }
int line_of(const toml::key& k) { return static_cast<int>(k.source().begin.line); }

std::string type_name(const toml::node& n) {
  switch (n.type()) {
    case toml::node_type::table: return "a table";
    case toml::node_type::array: return "an array";
    case toml::node_type::string: return "a string";
    case toml::node_type::integer: return "an integer";
    case toml::node_type::floating_point: return "a number";
    case toml::node_type::boolean: return "a boolean";
    default: return "a date or time";
  }
}

class Reader {
 public:
  Reader(Case& c) : c_(c) {}

  [[noreturn]] void fail(int line, const std::string& field, const std::string& message) const {
    throw InputError({c_.origin, line}, field, message);
  }

  // Every key of `t` must be one of `allowed`; records the line of each.
  void check_keys(const toml::table& t, const std::string& prefix, std::initializer_list<std::string_view> allowed) {
    for (auto&& [key, node] : t) {
      const std::string field = prefix.empty() ? std::string(key.str()) : prefix + "." + std::string(key.str());
      if (std::find(allowed.begin(), allowed.end(), key.str()) == allowed.end()) {
        std::string known;
        for (std::string_view a : allowed) known += (known.empty() ? "" : ", ") + std::string(a);
        fail(line_of(key), field, "unknown key (expected one of: " + known + ")");
      }
      c_.lines[field] = line_of(key);
    }
  }

  double number(const toml::node& n, const std::string& field, std::string_view unit) const {
    if (!n.is_number()) fail(line_of(n), field, "expected a number in " + std::string(unit) + ", found " + type_name(n));
    return *n.value<double>();
  }

  std::int64_t integer(const toml::node& n, const std::string& field) const {
    if (!n.is_integer()) fail(line_of(n), field, "expected an integer, found " + type_name(n));
    return *n.value<std::int64_t>();
  }

  std::string text(const toml::node& n, const std::string& field) const {
    if (!n.is_string()) fail(line_of(n), field, "expected a string, found " + type_name(n));
    return std::string(*n.value<std::string_view>());
  }

  void read_side(const toml::table& root, int i) {
    const std::string key = side_key(i);
    const toml::node* node = root.get(key);
    if (node == nullptr) fail(0, key, "missing table [" + key + "]");
    if (!node->is_table()) fail(line_of(*node), key, "expected a table, found " + type_name(*node));
    const toml::table& t = *node->as_table();
    c_.lines[key] = line_of(t);
    check_keys(t, key,
               {"name", "pressure", "inlet_temperature", "outlet_temperature", "duty", "flows", "phases", "option_list",
                "flash_option", "flash_real_option"});
    Side& s = c_.sides[i];
    const auto need = [&](std::string_view k) -> const toml::node& {
      const toml::node* n = t.get(k);
      if (n == nullptr) fail(line_of(t), key + "." + std::string(k), "missing (required in [" + key + "])");
      return *n;
    };
    if (const toml::node* n = t.get("name")) s.name = text(*n, side_field(i, "name"));
    s.pressure = number(need("pressure"), side_field(i, "pressure"), "Pa");
    s.inlet_temperature = number(need("inlet_temperature"), side_field(i, "inlet_temperature"), "K");
    const toml::node* tout = t.get("outlet_temperature");
    const toml::node* duty = t.get("duty");
    if (tout != nullptr && duty != nullptr) {
      fail(line_of(*duty), side_field(i, "duty"), "give either outlet_temperature or duty, not both");
    }
    if (tout == nullptr && duty == nullptr) {
      fail(line_of(t), side_field(i, "outlet_temperature"), "missing: give outlet_temperature (K) or duty (W)");
    }
    if (tout != nullptr) {
      s.outlet = OutletSpec::Temperature;
      s.outlet_temperature = number(*tout, side_field(i, "outlet_temperature"), "K");
    } else {
      s.outlet = OutletSpec::Duty;
      s.duty = number(*duty, side_field(i, "duty"), "W");
    }
    if (const toml::node* n = t.get("phases")) {
      const std::string field = side_field(i, "phases");
      const std::string name = text(*n, field);
      const auto set = phase_set_from_name(name);
      if (!set) fail(line_of(*n), field, "unknown phase set \"" + name + "\" (expected one of: " + phase_set_names() + ")");
      s.options.phases = *set;
    }
    if (const toml::node* n = t.get("option_list")) {
      const std::string field = side_field(i, "option_list");
      const toml::array* a = n->as_array();
      if (a == nullptr || a->size() != 6) fail(line_of(*n), field, "expected an array of six integers");
      for (std::size_t k = 0; k < 6; ++k) s.options.option_list[k] = integer((*a)[k], field);
    }
    if (const toml::node* n = t.get("flash_option")) s.options.flash_option = integer(*n, side_field(i, "flash_option"));
    if (const toml::node* n = t.get("flash_real_option")) {
      s.options.flash_real_option = number(*n, side_field(i, "flash_real_option"), "the host's units");
    }
    read_flows(need("flows"), i);
  }

  void read_flows(const toml::node& n, int i) {
    const std::string field = side_field(i, "flows");
    if (!n.is_table()) fail(line_of(n), field, "expected a table of component = flow (kmol/s), found " + type_name(n));
    const toml::table& t = *n.as_table();
    struct Entry {
      toml::source_position at;
      ComponentFlow flow;
    };
    std::vector<Entry> entries;
    for (auto&& [key, value] : t) {
      const std::string name(key.str());
      const std::string f = flow_field(i, name);
      c_.lines[f] = line_of(key);
      entries.push_back({key.source().begin, {name, number(value, f, "kmol/s")}});
    }
    // The table iterates in key order; keep the order of the text instead.
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
      return a.at.line != b.at.line ? a.at.line < b.at.line : a.at.column < b.at.column;
    });
    Side& s = c_.sides[i];
    s.flows.clear();
    for (const Entry& e : entries) s.flows.push_back(e.flow);
  }

  void read(const toml::table& root) {
    check_keys(root, "", {"title", "points", "side0", "side1"});
    if (const toml::node* n = root.get("title")) c_.title = text(*n, "title");
    if (const toml::node* n = root.get("points")) {
      const std::int64_t p = integer(*n, "points");
      if (p < kMinPoints || p > kMaxPoints) {
        fail(line_of(*n), "points",
             "the number of points must lie between " + std::to_string(kMinPoints) + " and " + std::to_string(kMaxPoints));
      }
      c_.points = static_cast<int>(p);
    }
    read_side(root, 0);
    read_side(root, 1);
  }

 private:
  Case& c_;
};

// The shortest decimal form that reads back as the same double.
std::string exact(double v) {
  if (std::isnan(v)) return "nan";
  if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
  char buf[64];
  for (int precision = 1; precision <= 17; ++precision) {
    std::snprintf(buf, sizeof buf, "%.*g", precision, v);
    if (std::strtod(buf, nullptr) == v) break;
  }
  std::string s = buf;
  if (s.find_first_of(".en") == std::string::npos) s += ".0";  // keep it a float
  return s;
}

std::string toml_string(std::string_view s) {
  std::string out = "\"";
  for (const char ch : s) {
    const auto u = static_cast<unsigned char>(ch);
    if (ch == '"' || ch == '\\') {
      out += '\\';
      out += ch;
    } else if (u < 0x20 || u == 0x7f) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", u);
      out += buf;
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

std::string key_text(std::string_view k) {
  const bool bare = !k.empty() && std::all_of(k.begin(), k.end(), [](char ch) {
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == '-' || ch == '_';
  });
  return bare ? std::string(k) : toml_string(k);
}

}  // namespace

Case parse_case(std::string_view text, const std::string& origin) {
  Case c;
  c.origin = origin;
  toml::table root;
  try {
    root = toml::parse(text, origin);
  } catch (const toml::parse_error& e) {
    throw InputError({origin, static_cast<int>(e.source().begin.line)}, "",
                     "malformed TOML: " + std::string(e.description()));
  }
  Reader(c).read(root);
  check_case(c);
  return c;
}

Case read_case_file(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw InputError({file.string(), 0}, "", "cannot open the case file");
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw InputError({file.string(), 0}, "", "cannot read the case file");
  return parse_case(text.str(), file.string());
}

std::string write_case(const Case& c) {
  std::string out = "# hxprops case. Units: K, Pa, kmol/s, W.\n";
  if (!c.title.empty()) out += "title = " + toml_string(c.title) + "\n";
  out += "points = " + std::to_string(c.points) + "\n";
  for (int i = 0; i < 2; ++i) {
    const Side& s = c.sides[i];
    out += "\n[" + side_key(i) + "]\n";
    if (!s.name.empty()) out += "name = " + toml_string(s.name) + "\n";
    out += "pressure = " + exact(s.pressure) + "  # Pa\n";
    out += "inlet_temperature = " + exact(s.inlet_temperature) + "  # K\n";
    if (s.outlet == OutletSpec::Temperature) {
      out += "outlet_temperature = " + exact(s.outlet_temperature) + "  # K\n";
    } else {
      out += "duty = " + exact(s.duty) + "  # W, heat added to the stream\n";
    }
    out += "phases = " + toml_string(phase_set_name(s.options.phases)) + "\n";
    out += "option_list = [";
    for (std::size_t k = 0; k < 6; ++k) out += (k ? ", " : "") + std::to_string(s.options.option_list[k]);
    out += "]\n";
    out += "flash_option = " + std::to_string(s.options.flash_option) + "\n";
    out += "flash_real_option = " + exact(s.options.flash_real_option) + "\n";
    out += "\n[" + side_key(i) + ".flows]  # kmol/s\n";
    for (const ComponentFlow& f : s.flows) out += key_text(f.name) + " = " + exact(f.flow) + "\n";
  }
  return out;
}

}  // namespace hxprops
