// kvt._kvt, the native part of the Python package kvt: hxprops' curves of a case, one flash and the
// databank's components, each answered as a JSON document that kvt/__init__.py turns into Python
// objects (so that kvt.curves gives what `hxprops --json` writes). The host and the library hold one
// state per process: every call runs under one lock, with the GIL released while it computes. Bad
// input raises ValueError with hxprops' message, a calculation that fails RuntimeError. Nothing is
// printed.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "case/case_file.h"
#include "compute/exchanger.h"
#include "flash.h"
#include "output/json.h"
#include "kvt_reference/reference_host.h"
#include "compute/library_session.h"
#include "case/overrides.h"

namespace py = pybind11;

namespace {

using namespace hxprops;

std::mutex g_host;  // the host's and the library's one state

// `compute` run by one thread at a time, without the GIL.
template <typename F> std::string exclusive(F compute) {
  const py::gil_scoped_release unlocked;
  const std::lock_guard<std::mutex> lock(g_host);
  return compute();
}

struct CurvesRequest {
  std::string case_text;  // TOML text, or the case file's path when `is_path`
  bool is_path = false;
  std::string origin;     // what messages call text
  CaseOverrides overrides;
  bool compositions = false, allow_cross = false, allow_imbalance = false;
};

std::string curves_json(const CurvesRequest& r) {
  Case c = r.is_path ? read_case_file(r.case_text) : parse_case(r.case_text, r.origin);
  apply_overrides(c, r.overrides, {"points", "spacing", "table_pressures"});
  Session session(c);
  const CaseResult result = calculate(session, {r.compositions, r.allow_imbalance, UnitSystem::Engineering}, r.allow_cross);
  return json_text(session.config(), result.curves, result.exchanger, session.components());
}

std::string components_json(const std::string& text) {
  use_databank(std::nullopt);
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const kvt::reference::ComponentId& c : kvt::reference::find_components(text)) {
    const kvt::reference::Range r = kvt::reference::temperature_range(c.name);
    list.push_back({{"name", c.name},
                    {"cas", c.cas.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(c.cas)},
                    {"formula", c.formula},
                    {"synonyms", c.synonyms},
                    {"temperature_range", {r.min, r.max}}});
  }
  return list.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace

PYBIND11_MODULE(_kvt, m) {
  m.doc() = "The native part of the package kvt: use kvt.curves, kvt.flash and kvt.components.";
  py::register_exception_translator([](std::exception_ptr p) {
    try {
      if (p) std::rethrow_exception(p);
    } catch (const InputError& e) {
      PyErr_SetString(PyExc_ValueError, e.what());
    } catch (const kvt::reference::Error& e) {
      PyErr_SetString(PyExc_ValueError, e.what());
    } catch (const RunError& e) {
      PyErr_SetString(PyExc_RuntimeError, e.what());
    }
  });
  m.def(
      "curves",
      [](std::string case_text, bool is_path, std::string origin, std::optional<std::string> points,
         std::optional<std::string> spacing, std::optional<std::string> table_pressures, bool compositions, bool allow_cross,
         bool allow_imbalance) {
        const CurvesRequest r{std::move(case_text), is_path, std::move(origin), {std::move(points), std::move(spacing), std::move(table_pressures)},
                              compositions, allow_cross, allow_imbalance};
        return exclusive([&r] { return curves_json(r); });
      },
      "hxprops --json of a case (TOML text, or a file's path): the document's text.");
  m.def(
      "flash",
      [](std::string case_text) {
        return exclusive([&case_text] { return kvt_python::flash_json(case_text); });
      },
      "One flash of side 0 of a case at its inlet temperature and pressure: a JSON document's text.");
  m.def(
      "components", [](std::string text) { return exclusive([&text] { return components_json(text); }); },
      "The databank's components matching text: a JSON document's text.");
}
