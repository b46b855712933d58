"""kvt: an exchanger's property curves, flashes and the databank of kvt's reference host, from Python.

    import kvt
    result = kvt.curves("apps/hxprops/cases/steam_condenser.toml", points=21)
    side = result["sides"][0]                       # what `hxprops --json` writes, as dicts and lists
    state = kvt.flash({"water": 1.0}, 373.15, 2.0e5)
    state["phases"]["liquid1"]["density"]           # kg/m3
    kvt.components("hexane")                        # name, CAS number, formula, ...

Every figure is in SI units: K, Pa, W, J/kg, kg/s, J/(kg K), W/(m K), Pa s, N/m, kg/m3, kg/kmol, and for
per-mole figures kmol (kmol/s, J/kmol, J/(kmol K), kmol/m3). A figure that does not exist is None.

Bad input (an unknown component, a bad unit, a temperature outside the databank's range, an outlet
duty the stream cannot reach, a temperature cross) raises ValueError with hxprops' own message; a
calculation that fails raises RuntimeError. The module prints nothing.

The host behind the module is one per process: calls from several threads run one after the other
(each releases the GIL while it computes); for parallel work use processes (multiprocessing).
"""

import json
import math
import numbers
import os
from collections.abc import Mapping

from . import _kvt

__all__ = ["curves", "flash", "components"]

# The method a side gets when the case names none: a flash asked for it leaves the method out.
_DEFAULT_METHOD = "auto"


def curves(case, *, points=None, spacing=None, table_pressures=None, compositions=False, allow_cross=False,
           allow_imbalance=False):
    """The property curves of a case's sides and the exchanger's figures: what `hxprops --json` writes.

    case: a case file's path (str or os.PathLike), the case's TOML text, or a dict with the case
        file's keys and values (values with a unit as strings, as in the file: {"pressure": "2.5 bar"};
        plain numbers in K, Pa, kmol/s, W). A str is a path when it names an existing file or holds
        neither a line break nor "="; otherwise it is TOML text. docs/hxprops.md lists the keys.
    points: points per curve, 2 to 1000 (the case's otherwise).
    spacing: "temperature" or "duty" (the case's otherwise).
    table_pressures: each side's property tables at these pressures: a string "2.3 bar, 2.7 bar" or a
        list of pressures (numbers in Pa, or strings with a unit).
    compositions: each phase's mole fractions at every point ("mole_fractions").
    allow_cross, allow_imbalance: as hxprops' --allow-cross and --allow-imbalance, which the messages
        of a refused cross or imbalance name.

    Returns the JSON document's structure: dicts and lists, figures as floats (None where undefined),
    with "title", "units", "components", "cas_numbers", "sides" (each with its "points",
    "boundaries", "notes" and "pressure_tables"), "notes", "exchanger" and "imbalance".
    Raises ValueError for bad input, RuntimeError when a calculation fails.
    """
    if isinstance(case, Mapping):
        text, is_path, origin = _toml_text(case), False, ""
    elif isinstance(case, os.PathLike):
        text, is_path, origin = os.fspath(case), True, ""
    elif isinstance(case, str):
        is_path = os.path.isfile(case) or ("\n" not in case and "=" not in case)
        text, origin = case, "<case text>"
    else:
        raise ValueError("case: expected a file's path, TOML text or a dict, found " + type(case).__name__)
    return json.loads(_kvt.curves(
        text, is_path, origin,
        None if points is None else str(points),
        None if spacing is None else str(spacing),
        None if table_pressures is None else _pressure_list(table_pressures),
        bool(compositions), bool(allow_cross), bool(allow_imbalance)))


def flash(components, temperature, pressure, *, fractions=None, method=_DEFAULT_METHOD, phases=None,
          free_water=None):
    """One stream flashed at a temperature and pressure: its phases, each with every figure the host gives.

    components: a dict of component name -> mole flow (kmol/s, or a string with a unit: "10 kg/s");
        or a list of names with `fractions`, their mole fractions (of a stream of 1 kmol/s). Names as
        the databank knows them: a name, synonym, CAS number or formula (see components()).
    temperature: K, or a string with a unit ("120 degC"); pressure: Pa, or a string ("2.5 bar").
    method: "auto" (the default method of a case's side), "ideal", "peng-robinson" or "nrtl".
    phases: "vapour-liquid" (default), "liquid" or "vapour" (the stream taken as that one phase), or
        "vapour-liquid-free-water"; free_water=True is "vapour-liquid-free-water" (water may form a
        pure second liquid).

    Returns a dict: "temperature", "pressure", "method", "phase_set", "components" (as the databank
    names them), "vapour_fraction", "phases" and "notes" (the host's, each once with its count).
    "phases" holds "stream" (the whole stream) and each phase present: "vapour", "liquid" (all the
    liquid), "liquid1", "liquid2"; each a dict of mole_fraction and mass_fraction (of the stream),
    molecular_weight, mole_flow, mass_flow, heat_flow (W), molar_enthalpy, enthalpy (J/kg; referred
    to the ideal gas at 298.15 K), molar_heat_capacity, heat_capacity, thermal_conductivity,
    viscosity, surface_tension, molar_density, density, molar_heat_of_vaporisation,
    heat_of_vaporisation, critical_temperature and critical_pressure (of the phase's composition),
    "flagged" (the figures the host marked: outside a correlation's range or not evaluated) and
    "mole_fractions" (component -> mole fraction).
    Raises ValueError for bad input, RuntimeError when the host's flash fails.
    """
    # A one-sided case whose inlet is the state (its outlet, which a case needs, is not used).
    side = {"inlet_temperature": temperature, "duty": 1.0, "pressure": pressure}
    if method != _DEFAULT_METHOD:
        side["method"] = method
    phase_set = _phase_set(phases, free_water)
    if phase_set is not None:
        side["phases"] = phase_set
    if isinstance(components, Mapping):
        if fractions is not None:
            raise ValueError("fractions: give fractions with a list of names, not with a dict of flows")
        side["flows"] = dict(components)
    elif isinstance(components, (list, tuple)):
        names = [str(n) for n in components]
        if fractions is None or len(fractions) != len(names):
            raise ValueError("fractions: a list of components needs a list of as many mole fractions")
        if len(set(names)) != len(names):
            raise ValueError("components: a name is given twice")
        side["total_flow"] = 1.0
        side["mole_fractions"] = dict(zip(names, fractions))
    else:
        raise ValueError("components: expected a dict of name -> mole flow or a list of names, found " +
                         type(components).__name__)
    return json.loads(_kvt.flash(_toml_text({"side0": side})))


def components(text=""):
    """The databank's components whose name, a synonym, formula or CAS number contains `text` (any case;
    blanks and hyphens folded), in databank order; every component when it is empty; [] when none.

    Each is a dict: "name" (the canonical name), "cas" (None when the databank gives none), "formula",
    "synonyms" and "temperature_range" ([min, max] in K, where every correlation a flash uses holds).
    """
    return json.loads(_kvt.components(str(text)))


def _phase_set(phases, free_water):
    """The case's phases value for a flash's phases and free_water (None: the case's default)."""
    with_water = "vapour-liquid-free-water"
    if free_water is None:
        return phases
    if free_water:
        if phases not in (None, "vapour-liquid", with_water):
            raise ValueError(f"free_water: free water goes with phases 'vapour-liquid', not {phases!r}")
        return with_water
    if phases == with_water:
        raise ValueError("free_water: False contradicts phases 'vapour-liquid-free-water'")
    return phases


def _pressure_list(levels):
    """table_pressures as hxprops reads them: "2.3 bar, 2.7 bar" (a number alone is in Pa)."""
    if isinstance(levels, str):
        return levels
    return ", ".join(v if isinstance(v, str) else _toml_value(v, "table_pressures") + " Pa" for v in levels)


def _toml_text(table):
    """A dict of case keys as TOML text: its plain values first, then each inner dict as a [table]."""
    lines = []

    def emit(t, path):
        inner = []
        for key, value in t.items():
            if not isinstance(key, str):
                raise ValueError(".".join(path + [repr(key)]) + ": a key must be a string")
            if isinstance(value, Mapping):
                inner.append((key, value))
            else:
                lines.append(json.dumps(key) + " = " + _toml_value(value, ".".join(path + [key])))
        for key, value in inner:
            lines.append("[" + ".".join(json.dumps(k) for k in path + [key]) + "]")
            emit(value, path + [key])

    emit(table, [])
    return "\n".join(lines) + "\n"


def _toml_value(value, where):
    if isinstance(value, bool):
        return "true" if value else "false"
    if isinstance(value, numbers.Integral):
        return str(int(value))
    if isinstance(value, numbers.Real):
        v = float(value)
        return "nan" if math.isnan(v) else ("inf" if v > 0 else "-inf") if math.isinf(v) else repr(v)
    if isinstance(value, str):
        return json.dumps(value, ensure_ascii=False)
    if isinstance(value, (list, tuple)):
        return "[" + ", ".join(_toml_value(v, where) for v in value) + "]"
    if isinstance(value, Mapping):
        return "{" + ", ".join(json.dumps(str(k)) + " = " + _toml_value(v, where) for k, v in value.items()) + "}"
    raise ValueError(f"{where}: {type(value).__name__} is not a case value (a number, a string, a list or a dict)")
