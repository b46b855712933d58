#include "case/case_file.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <toml++/toml.h>

#include "kvt_reference/toml_text.h"
#include "base/platform.h"
#include "case/quoted.h"
#include "base/text_encoding.h"
#include "case/units.h"

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

// The SI unit a plain number of a dimension is read in.
std::string_view base_unit(Dimension d) {
  switch (d) {
    case Dimension::Temperature: return "K";
    case Dimension::Pressure: return "Pa";
    case Dimension::MoleFlow: return "kmol/s";
    case Dimension::MassFlow: return "kg/s";
    default: return "W";
  }
}

class Reader {
 public:
  explicit Reader(Case& c) : c_(c) {}

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
        fail(line_of(key), (prefix.empty() ? "" : prefix + ".") + key_text(key.str()), "unknown key (expected one of: " + known + ")");
      }
      c_.lines[field] = line_of(key);
    }
  }

  double finite(const toml::node& n, const std::string& field, double v) const {
    if (std::isnan(v)) fail(line_of(n), field, "the value is not a number");
    if (!std::isfinite(v)) fail(line_of(n), field, "the value is not finite");
    return v;
  }

  double number(const toml::node& n, const std::string& field) const {
    if (!n.is_number()) fail(line_of(n), field, "expected a number, found " + type_name(n));
    return finite(n, field, *n.value<double>());
  }

  // A value of one of the dimensions `dims` (the first is the one a plain number is in): a number in
  // its SI unit or a string "value unit". Returns the SI value and the dimension it had.
  std::pair<double, Dimension> quantity(const toml::node& n, const std::string& field,
                                        std::initializer_list<Dimension> dims) const {
    const Dimension plain = *dims.begin();
    if (n.is_number()) return {number(n, field), plain};
    std::string units;
    for (Dimension d : dims) units += (units.empty() ? "" : ", ") + unit_names(d);
    if (!n.is_string()) {
      fail(line_of(n), field,
           "expected a number in " + std::string(base_unit(plain)) + " or a string with a unit (" + units + "), found " +
               type_name(n));
    }
    const std::string text(*n.value<std::string_view>());
    const std::optional<QuantityText> q = split_quantity(text);
    if (!q) fail(line_of(n), field, "\"" + text + "\" is not a number and a unit (for example \"2.5 bar\")");
    for (Dimension d : dims) {
      if (const std::optional<Unit> u = find_unit(q->unit, d)) return {finite(n, field, from_unit(q->value, *u)), d};
    }
    fail(line_of(n), field, "unknown unit \"" + q->unit + "\" (expected one of: " + units + ")");
  }

  double quantity_of(const toml::node& n, const std::string& field, Dimension d) const {
    return quantity(n, field, {d}).first;
  }

  // Table levels as an array (pressures, or the words inlet, mid, outlet), or as one string
  // "2.3 bar, outlet".
  std::vector<TableLevel> levels(const toml::node& n, const std::string& field) const {
    std::vector<TableLevel> out;
    if (const toml::array* a = n.as_array()) {
      for (const toml::node& e : *a) {
        const std::optional<TableLevel> word = e.is_string() ? level_word(*e.value<std::string_view>()) : std::nullopt;
        out.push_back(word ? *word : TableLevel{LevelKind::Pressure, quantity_of(e, field, Dimension::Pressure)});
      }
      return out;
    }
    if (!n.is_string()) fail(line_of(n), field, "expected an array of pressures or a string \"2.3 bar, 2.5 bar\", found " + type_name(n));
    std::string why;
    std::optional<std::vector<TableLevel>> list = table_level_list(*n.value<std::string_view>(), why);
    if (!list) fail(line_of(n), field, why);
    return *list;
  }

  // The side's own rows: a list of temperatures.
  std::vector<double> temperatures(const toml::node& n, const std::string& field) const {
    const toml::array* a = n.as_array();
    if (a == nullptr) fail(line_of(n), field, "expected an array of temperatures (\"60 degC\", or numbers in K), found " + type_name(n));
    std::vector<double> out;
    for (const toml::node& e : *a) out.push_back(quantity_of(e, field, Dimension::Temperature));
    return out;
  }

  std::int64_t integer(const toml::node& n, const std::string& field) const {
    if (!n.is_integer()) fail(line_of(n), field, "expected an integer, found " + type_name(n));
    return *n.value<std::int64_t>();
  }

  std::string text(const toml::node& n, const std::string& field) const {
    if (!n.is_string()) fail(line_of(n), field, "expected a string, found " + type_name(n));
    return std::string(*n.value<std::string_view>());
  }

  template <typename E> E named(const toml::node& n, const std::string& field, const char* what) const {
    const std::string name = text(n, field);
    const std::optional<E> v = from_name<E>(name);
    if (!v) fail(line_of(n), field, "unknown " + std::string(what) + " \"" + name + "\" (expected one of: " + names_of<E>() + ")");
    return *v;
  }

  // One of the keys naming an end state; exactly one must be there.
  EndState end_state(const toml::table& t, int i, bool outlet) {
    std::vector<EndKind> kinds{EndKind::Temperature, EndKind::VapourFraction};
    if (outlet) kinds.push_back(EndKind::Duty);
    const toml::node* found = nullptr;
    EndState e;
    std::string keys;
    for (EndKind k : kinds) {
      const std::string key = end_key(outlet, k);
      keys += (keys.empty() ? "" : ", ") + key;
      const toml::node* n = t.get(key);
      if (n == nullptr) continue;
      if (found != nullptr) fail(line_of(*n), side_field(i, key), "give only one of " + keys);
      found = n;
      e.kind = k;
    }
    const std::string field = side_field(i, end_key(outlet, e.kind));
    if (found == nullptr) fail(line_of(t), field, "missing: give one of " + keys);
    switch (e.kind) {
      case EndKind::Temperature: e.value = quantity_of(*found, field, Dimension::Temperature); break;
      case EndKind::VapourFraction: e.value = number(*found, field); break;
      default:
        if (found->is_string() && *found->value<std::string_view>() == "balance") {
          e.kind = EndKind::Balance;
        } else {
          e.value = quantity_of(*found, field, Dimension::Power);
        }
    }
    return e;
  }

  void read_side(const toml::table& root, int i) {
    const std::string key = side_key(i);
    const toml::node* node = root.get(key);
    if (node == nullptr) fail(0, key, "missing table [" + key + "]");
    if (!node->is_table()) fail(line_of(*node), key, "expected a table, found " + type_name(*node));
    const toml::table& t = *node->as_table();
    c_.lines[key] = line_of(t);
    check_keys(t, key,
               {"name", "method", "pressure", "inlet_pressure", "outlet_pressure", "inlet_temperature",
                "inlet_vapour_fraction", "outlet_temperature", "outlet_vapour_fraction", "duty", "total_flow", "flows",
                "mole_fractions", "mass_fractions", "phases", "option_list", "flash_option", "flash_real_option", "spacing",
                "temperatures", "rows_per_zone", "table_pressures", "assay"});
    Side& s = c_.sides[i];
    if (const toml::node* n = t.get("name")) s.name = text(*n, side_field(i, "name"));
    if (const toml::node* n = t.get("method")) s.method = named<Method>(*n, side_field(i, "method"), "method");
    read_pressures(t, i);
    if (const toml::node* n = t.get("spacing")) s.spacing = named<Spacing>(*n, side_field(i, "spacing"), "spacing");
    if (const toml::node* n = t.get("temperatures")) s.temperatures = temperatures(*n, side_field(i, "temperatures"));
    if (const toml::node* n = t.get("rows_per_zone")) {
      const std::int64_t r = integer(*n, side_field(i, "rows_per_zone"));
      if (r < 0 || r > kMaxRowsPerZone) {
        fail(line_of(*n), side_field(i, "rows_per_zone"), "rows per two-phase zone lie between 0 and " + std::to_string(kMaxRowsPerZone));
      }
      s.rows_per_zone = static_cast<int>(r);
    }
    if (const toml::node* n = t.get("table_pressures")) s.table_pressures = levels(*n, side_field(i, "table_pressures"));
    s.inlet = end_state(t, i, false);
    s.outlet = end_state(t, i, true);
    if (const toml::node* n = t.get("phases")) s.options.phases = named<PhaseSet>(*n, side_field(i, "phases"), "phase set");
    if (const toml::node* n = t.get("option_list")) {
      const std::string field = side_field(i, "option_list");
      const toml::array* a = n->as_array();
      if (a == nullptr || a->size() != 6) fail(line_of(*n), field, "expected an array of six integers");
      for (std::size_t k = 0; k < 6; ++k) s.options.option_list[k] = integer((*a)[k], field);
    }
    if (const toml::node* n = t.get("flash_option")) s.options.flash_option = integer(*n, side_field(i, "flash_option"));
    if (const toml::node* n = t.get("flash_real_option")) {
      s.options.flash_real_option = number(*n, side_field(i, "flash_real_option"));
    }
    if (const toml::node* n = t.get("assay")) read_assay(*n, i);
    read_flows(t, i);
  }

  // [sideN.assay]: a distillation curve, the gravity, the flow and how finely to cut it.
  void read_assay(const toml::node& n, int i) {
    const std::string key = side_field(i, "assay");
    if (!n.is_table()) fail(line_of(n), key, "expected a table, found " + type_name(n));
    const toml::table& t = *n.as_table();
    check_keys(t, key, {"curve", "distillation", "specific_gravity", "api_gravity", "flow", "cuts", "cut_width"});
    AssayInput a;
    const auto need = [&](const char* k) -> const toml::node& {
      const toml::node* v = t.get(k);
      if (v == nullptr) fail(line_of(t), key + "." + k, "missing");
      return *v;
    };
    if (const toml::node* v = t.get("curve")) {
      a.curve = text(*v, key + ".curve");
      if (a.curve != "tbp" && a.curve != "d86" && a.curve != "d2887")
        fail(line_of(*v), key + ".curve", "\"" + a.curve + "\" is not a distillation taken: give \"tbp\", \"d86\" or \"d2887\"");
    }
    const std::string dfield = key + ".distillation";
    const toml::array* d = need("distillation").as_array();
    if (d == nullptr) fail(line_of(need("distillation")), dfield, "expected an array of [% distilled, temperature] pairs");
    for (const toml::node& e : *d) {
      const toml::array* p = e.as_array();
      if (p == nullptr || p->size() != 2) fail(line_of(e), dfield, "expected a pair [% distilled, temperature]");
      a.distillation.push_back({number((*p)[0], dfield), quantity_of((*p)[1], dfield, Dimension::Temperature)});
    }
    const toml::node* sg = t.get("specific_gravity");
    const toml::node* api = t.get("api_gravity");
    if ((sg == nullptr) == (api == nullptr)) fail(line_of(t), key + ".specific_gravity", "give one of specific_gravity, api_gravity");
    a.specific_gravity = sg ? number(*sg, key + ".specific_gravity") : 141.5 / (number(*api, key + ".api_gravity") + 131.5);
    const auto [amount, dim] = quantity(need("flow"), key + ".flow", {Dimension::MassFlow, Dimension::MoleFlow});
    a.flow = amount;
    a.basis = dim == Dimension::MassFlow ? Basis::Mass : Basis::Mole;
    if (t.get("cuts") != nullptr && t.get("cut_width") != nullptr) fail(line_of(t), key + ".cuts", "give one of cuts, cut_width");
    if (const toml::node* v = t.get("cuts")) a.cuts = static_cast<int>(std::clamp<std::int64_t>(integer(*v, key + ".cuts"), -1, 1000));
    if (const toml::node* v = t.get("cut_width")) a.cut_width = quantity_of(*v, key + ".cut_width", Dimension::TemperatureDifference);
    c_.sides[i].assay = a;
  }

  void read_pressures(const toml::table& t, int i) {
    Side& s = c_.sides[i];
    const toml::node* both = t.get("pressure");
    const toml::node* in = t.get("inlet_pressure");
    const toml::node* out = t.get("outlet_pressure");
    if (both != nullptr && (in != nullptr || out != nullptr)) {
      fail(line_of(*both), side_field(i, "pressure"), "give pressure or inlet_pressure and outlet_pressure, not both");
    }
    if (both != nullptr) {
      s.inlet_pressure = s.outlet_pressure = quantity_of(*both, side_field(i, "pressure"), Dimension::Pressure);
      c_.lines[side_field(i, "inlet_pressure")] = c_.lines[side_field(i, "outlet_pressure")] = line_of(*both);
      return;
    }
    if (in == nullptr) fail(line_of(t), side_field(i, "pressure"), "missing: give pressure (or inlet_pressure)");
    s.inlet_pressure = quantity_of(*in, side_field(i, "inlet_pressure"), Dimension::Pressure);
    s.outlet_pressure = out != nullptr ? quantity_of(*out, side_field(i, "outlet_pressure"), Dimension::Pressure)
                                       : s.inlet_pressure;
  }

  void read_flows(const toml::table& t, int i) {
    Side& s = c_.sides[i];
    const toml::node* total = t.get("total_flow");
    const char* tables[] = {"flows", "mole_fractions", "mass_fractions"};
    const toml::node* n = nullptr;
    std::string name;
    for (const char* k : tables) {
      const toml::node* here = t.get(k);
      if (here == nullptr) continue;
      if (n != nullptr) fail(line_of(*here), side_field(i, k), "give only one of flows, mole_fractions, mass_fractions");
      n = here;
      name = k;
    }
    if (n == nullptr && total == nullptr && s.assay) return;  // the assay alone
    if (s.assay && (total != nullptr || (n != nullptr && name != "flows"))) {
      fail(line_of(total ? *total : *n), side_field(i, "assay"), "light ends beside an assay are given as flows in [" + side_key(i) + ".flows]");
    }
    if (n == nullptr && total != nullptr) {
      fail(line_of(*total), side_field(i, "total_flow"),
           "the fractions of the components are missing: give [" + side_key(i) + ".mole_fractions] or [" + side_key(i) + ".mass_fractions]");
    }
    if (n == nullptr) {
      fail(line_of(t), side_field(i, "flows"),
           "missing: give the component flows in [" + side_key(i) + ".flows], or total_flow with [" + side_key(i) + ".mole_fractions] or [" +
               side_key(i) + ".mass_fractions]");
    }
    const std::string field = side_field(i, name);
    if ((name == "flows") != (total == nullptr)) {
      fail(line_of(total ? *total : *n), side_field(i, total ? "total_flow" : name),
           "a total_flow goes with [" + side_key(i) + ".mole_fractions] or [" + side_key(i) +
               ".mass_fractions], component flows with [" + side_key(i) + ".flows]");
    }
    if (total != nullptr) {
      const auto [amount, dim] = quantity(*total, side_field(i, "total_flow"), {Dimension::MoleFlow, Dimension::MassFlow});
      s.total = TotalFlow{amount, dim == Dimension::MassFlow ? Basis::Mass : Basis::Mole,
                          name == "mass_fractions" ? Basis::Mass : Basis::Mole};
    }
    if (!n->is_table()) fail(line_of(*n), field, "expected a table of component = amount, found " + type_name(*n));
    struct Entry {
      toml::source_position at;
      ComponentFlow flow;
    };
    std::vector<Entry> entries;
    for (auto&& [key, value] : *n->as_table()) {
      const std::string f = field + "." + std::string(key.str());
      c_.lines[f] = line_of(key);
      ComponentFlow flow{std::string(key.str()), 0.0, Basis::Mole};
      if (s.total) {
        flow.amount = number(value, f);
        flow.basis = s.total->fractions;
      } else {
        const auto [amount, dim] = quantity(value, f, {Dimension::MoleFlow, Dimension::MassFlow});
        flow.amount = amount;
        flow.basis = dim == Dimension::MassFlow ? Basis::Mass : Basis::Mole;
      }
      entries.push_back({key.source().begin, flow});
    }
    // The table iterates in key order; keep the order of the text instead.
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
      return a.at.line != b.at.line ? a.at.line < b.at.line : a.at.column < b.at.column;
    });
    s.flows.clear();
    for (const Entry& e : entries) s.flows.push_back(e.flow);
  }

  void read(const toml::table& root) {
    check_keys(root, "", {"title", "points", "spacing", "arrangement", "balance_tolerance", "table_pressures", "side0", "side1"});
    if (const toml::node* n = root.get("title")) c_.title = text(*n, "title");
    if (const toml::node* n = root.get("points")) {
      const std::int64_t p = integer(*n, "points");
      if (p < kMinPoints || p > kMaxPoints) {
        fail(line_of(*n), "points",
             "the number of points must lie between " + std::to_string(kMinPoints) + " and " + std::to_string(kMaxPoints));
      }
      c_.points = static_cast<int>(p);
    }
    if (const toml::node* n = root.get("spacing")) c_.spacing = named<Spacing>(*n, "spacing", "spacing");
    if (const toml::node* n = root.get("arrangement")) c_.arrangement = named<Arrangement>(*n, "arrangement", "arrangement");
    if (const toml::node* n = root.get("balance_tolerance")) c_.balance_tolerance = number(*n, "balance_tolerance");
    if (const toml::node* n = root.get("table_pressures")) c_.table_pressures = levels(*n, "table_pressures");
    read_side(root, 0);
    c_.side_count = root.get(side_key(1)) != nullptr ? 2 : 1;
    if (c_.side_count == 2) read_side(root, 1);
  }

 private:
  Case& c_;
};

}  // namespace

Case parse_case(std::string_view text, const std::string& origin) {
  Case c;
  c.origin = origin;
  toml::table root;
  if (const int line = kvt::reference::toml_line_of_stray_non_ascii(text)) {
    throw InputError({origin, line}, "", "malformed TOML: a character beyond ASCII outside a string or a comment, or after a backslash");
  }
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
  std::error_code ec;
  if (std::filesystem::is_directory(file, ec)) throw InputError({path_text(file), 0}, "", "is a folder, not a case file");
  std::ifstream in(file, std::ios::binary);
  if (!in) throw InputError({path_text(file), 0}, "", "cannot open the case file");
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw InputError({path_text(file), 0}, "", "cannot read the case file");
  return parse_case(utf8_text(text.str(), path_text(file)), path_text(file));
}

}  // namespace hxprops
