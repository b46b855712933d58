"""Assembles each component's record from the published tables and the hand-curated choices.

A record is a dict in the databank's own layout: identifiers, constants, one entry (or a list of
entries over adjacent ranges) per correlation, each entry citing its printed source, plus `estimated`
(what a cited estimation method supplied) and `origin` (which table gave what, for the documentation).
"""

import math
import re

import correlations
import tables

PERRY = "PERRY8, Table "
# Perry's tables of which sources/ holds a copy (the others, as Table 2-155, are cited from print)
COPIED_PERRY_TABLES = {"2-8", "2-32", "2-150", "2-153", "2-312", "2-313", "2-314", "2-315"}
PROPERTIES = ["vapour_pressure", "ideal_gas_cp", "heat_of_vaporisation", "liquid_density", "liquid_cp",
              "liquid_viscosity", "vapour_viscosity", "liquid_conductivity", "vapour_conductivity",
              "surface_tension"]


class Tables:
    """Every source table, read once."""

    def __init__(self):
        self.vp = tables.perry_table("perry8_table2-8_vapour_pressure_dippr101.tsv", 5)
        self.density = tables.perry_table("perry8_table2-32_liquid_density_dippr105.tsv", 4)
        self.hvap = tables.heat_of_vaporisation()
        self.cp100 = tables.perry_table("perry8_table2-153_liquid_cp_dippr100.tsv", 5)
        self.cp114 = tables.perry_table("perry8_table2-153_liquid_cp_dippr114.tsv", 5)
        self.vap_visc = tables.perry_table("perry8_table2-312_vapour_viscosity_dippr102.tsv", 4)
        self.liq_visc = tables.perry_table("perry8_table2-313_liquid_viscosity_dippr101.tsv", 5)
        self.vap_cond = tables.perry_table("perry8_table2-314_vapour_conductivity_dippr102.tsv", 4)
        self.liq_cond = tables.perry_table("perry8_table2-315_liquid_conductivity_dippr100.tsv", 5)
        self.poling = tables.poling_cp()
        self.psrk = tables.psrk()
        self.iupac = tables.iupac()
        self.vdi = tables.vdi_surface_tension()
        self.jasper = tables.jasper_surface_tension()
        self.pubchem = tables.pubchem()


def _trim(c):
    c = list(c)
    while len(c) > 1 and c[-1] == 0.0:
        c.pop()
    return c


def _sig(x):
    """x to the 10 significant digits a unit conversion of a printed coefficient can carry."""
    return float(f"{x:.10g}")


def _entry(eq, c, tmin, tmax, source, tc=None):
    e = {"eq": eq, "c": c}
    if tc is not None:
        e["tc"] = tc
    e.update({"tmin": tmin, "tmax": tmax, "source": source})
    return e


def _perry_entries(t, cas):
    """The correlations Perry's tables give for cas: {property: entry}."""
    out = {}
    if cas in t.vp:
        _, c, lo, hi = t.vp[cas]
        out["vapour_pressure"] = _entry("dippr101", c, lo, hi, PERRY + "2-8")
    if cas in t.hvap:
        _, tc, c, lo, hi = t.hvap[cas]
        out["heat_of_vaporisation"] = _entry("dippr106", [_sig(c[0] * 1000.0)] + c[1:], lo, hi, PERRY + "2-150", tc)
    if cas in t.density:
        _, c, lo, hi = t.density[cas]  # the table's C1 is in mol/m3
        out["liquid_density"] = _entry("dippr105", [_sig(c[0] / 1000.0)] + c[1:], lo, hi, PERRY + "2-32")
    if cas in t.cp114:
        _, c, lo, hi = t.cp114[cas]
        tc = t.hvap[cas][1] if cas in t.hvap else None
        if tc is not None:
            out["liquid_cp"] = _entry("dippr114", c[:4], lo, hi, PERRY + "2-153", tc)
    if "liquid_cp" not in out and cas in t.cp100:
        _, c, lo, hi = t.cp100[cas]
        out["liquid_cp"] = _entry("dippr100", _trim(c), lo, hi, PERRY + "2-153")
    if cas in t.liq_visc:
        _, c, lo, hi = t.liq_visc[cas]
        out["liquid_viscosity"] = _entry("dippr101", c, lo, hi, PERRY + "2-313")
    if cas in t.vap_visc:
        _, c, lo, hi = t.vap_visc[cas]
        out["vapour_viscosity"] = _entry("dippr102", c, lo, hi, PERRY + "2-312")
    if cas in t.liq_cond:
        _, c, lo, hi = t.liq_cond[cas]
        out["liquid_conductivity"] = _entry("dippr100", _trim(c), lo, hi, PERRY + "2-315")
    if cas in t.vap_cond:
        _, c, lo, hi = t.vap_cond[cas]
        out["vapour_conductivity"] = _entry("dippr102", c, lo, hi, PERRY + "2-314")
    return out


def _same(a, b):
    return a == b or (a is not None and b is not None and abs(a - b) <= 1e-9 * max(abs(a), abs(b)))


def curated_disagreements(t, cas, cur):
    """Where a curated coefficient set cites a table copied into sources/ and differs from that
    table's row for cas (coefficients, Tc or range): one sentence each. A set citing a table or a row
    the copies do not hold is returned apart (second list), as unchecked."""
    rows = _perry_entries(t, cas)
    wrong, unchecked = [], []
    for p in PROPERTIES:
        for e in (correlations.pieces(cur[p]) if p in cur else []):
            if not e["source"].startswith(PERRY) or e["source"][len(PERRY):] not in COPIED_PERRY_TABLES:
                continue
            row = rows.get(p)
            if row is None or row["source"] != e["source"]:
                unchecked.append(f"{p.replace('_', ' ')} ({e['source']}: the copied table has no row for it)")
                continue
            c, rc = _trim(e.get("c", [])), _trim(row["c"])
            differs = [k for k, a, b in (("tmin", e["tmin"], row["tmin"]), ("tmax", e["tmax"], row["tmax"]),
                                         ("tc", e.get("tc"), row.get("tc"))) if not _same(a, b)]
            if e["eq"] != row["eq"] or len(c) != len(rc) or not all(_same(a, b) for a, b in zip(c, rc)):
                differs.insert(0, "coefficients")
            if differs:
                wrong.append(f"{p.replace('_', ' ')} differs from the row of {e['source']} in its "
                             f"{', '.join(differs)} ({_range(e)} K; the row: {_range(row)} K)")
    return wrong, unchecked


def _range(e):
    return f"{e['tmin']:g}-{e['tmax']:g}"


def _ideal_gas_cp(t, cas):
    if cas not in t.poling or not any(t.poling[cas][3]):  # some rows give only the value at 298.15 K
        return None
    _, lo, hi, a, _ = t.poling[cas]
    r = correlations.R_J_PER_MOL_K * 1000.0  # Cp/R -> J/(kmol K)
    return _entry("dippr100", _trim([_sig(x * r) for x in a]), lo, hi, "PPO5, Appendix A (Cp/R polynomial)")


# Joback's group contributions to the ideal-gas heat capacity (K. G. Joback, R. C. Reid, Chem. Eng.
# Comm. 57 (1987) 233; PPO5 Table C-1): Cp [J/(mol K)] = sum a - 37.93 + (sum b + 0.210) T
# + (sum c - 3.91e-4) T^2 + (sum d + 2.06e-7) T^3, valid 273-1000 K.
# Where Poling tabulates the compound's value at 298.15 K without a polynomial, the estimate is scaled
# to that value: Joback gives the temperature dependence, the table the level.
JOBACK_CP = {"-CH3": (19.5, -8.08e-3, 1.53e-4, -9.67e-8), "-CH2-": (-0.909, 9.50e-2, -5.44e-5, 1.19e-8),
             ">CH-": (-23.0, 2.04e-1, -2.65e-4, 1.20e-7), "-OH": (25.7, -6.91e-2, 1.77e-4, -9.88e-8),
             ">C=O": (6.45, 6.70e-2, -3.57e-5, 2.86e-9), "-O-": (25.5, -6.32e-2, 1.11e-4, -5.48e-8),
             "-COO-": (24.5, 4.02e-2, 4.02e-5, -4.52e-8)}


def _joback_cp(groups, cp298=None):
    sums = [sum(JOBACK_CP[g][i] * n for g, n in groups.items()) for i in range(4)]
    c = [sums[0] - 37.93, sums[1] + 0.210, sums[2] - 3.91e-4, sums[3] + 2.06e-7]
    described = ", ".join(f"{n} x {g}" for g, n in groups.items())
    scale = 1.0
    if cp298:
        scale = cp298 / sum(ci * 298.15 ** i for i, ci in enumerate(c))
        described += f", scaled to PPO5's {cp298:g} J/(mol K) at 298.15 K"
    return _entry("dippr100", [float(f"{x * 1000.0 * scale:.6g}") for x in c], 273.15, 1000,
                  f"JOBACK, {described}")


def _surface_tension(t, cas, order):
    for key in order:
        if key == "VDI" and cas in t.vdi:
            _, tm, tc, c = t.vdi[cas]
            return _entry("ppds", _trim(c), tm, tc, "VDI_ST, Section D3.1", tc)
        if key == "JASPER" and cas in t.jasper and 0.0 < t.jasper[cas][3] < t.jasper[cas][4]:
            _, a, b, lo, hi = t.jasper[cas]
            return _entry("linear_celsius", [_sig(a * 1e-3), _sig(-b * 1e-3)], lo, hi, "JASPER")
    return None


def _constants(t, cas, order):
    """Tc, Pc, Vc from the first table in `order` holding Tc and Pc with a Tc within 3 % of the one
    Perry's correlations end at (a row that does not is another compound's, transcribed under the wrong
    CAS number); Vc from the other table where that one lacks it; omega from the PSRK appendix."""
    out = {}
    perry_tc = t.hvap[cas][1] if cas in t.hvap else None

    def agrees(tc):
        return perry_tc is None or abs(tc / perry_tc - 1.0) <= 0.03

    def misfit(key):
        # how far the vapour-pressure correlation at this Tc lies from this Pc: the equation's critical
        # point is the databank's, and its vapour pressure follows the correlation up to Tr 0.95
        row = {"IUPAC": t.iupac, "PSRK": t.psrk}[key].get(cas)
        if row is None or cas not in t.vp:
            return 0.0
        tc, pc = (row[2], row[3]) if key == "IUPAC" else (row[1], row[2])
        if not tc or not pc:
            return 0.0
        _, c, lo, hi = t.vp[cas]
        return abs(math.log(correlations.value({"eq": "dippr101", "c": c}, tc) / pc))
    # the first table unless another's critical point lies on the correlation by more than 1 % better
    order = sorted(order, key=lambda k: (round(misfit(k) / 0.01), order.index(k)))
    for key in order:
        if key == "IUPAC" and cas in t.iupac and t.iupac[cas][2] and t.iupac[cas][3] and agrees(t.iupac[cas][2]):
            _, _, tc, pc, vc, part = t.iupac[cas]
            out.update(tc=tc, pc=pc, source=f"IUPAC_CRIT, part {part}")
            if vc:
                out["vc"] = _sig(vc * 1000.0)
            break
        if key == "PSRK" and cas in t.psrk and t.psrk[cas][1] and t.psrk[cas][2] and agrees(t.psrk[cas][1]):
            _, tc, pc, vc, _ = t.psrk[cas]
            out.update(tc=tc, pc=pc, source="PSRK4, appendix")
            if vc:
                out["vc"] = _sig(vc * 1000.0)
            break
    if "tc" not in out:
        return out
    if "vc" not in out:
        for table, i in ((t.psrk, 3), (t.iupac, 4)):
            if cas in table and table[cas][i]:
                out["vc"] = _sig(table[cas][i] * 1000.0)
                out["source"] += "; Vc " + ("PSRK4" if table is t.psrk else "IUPAC_CRIT")
                break
    if cas in t.psrk and t.psrk[cas][4] is not None:
        out["omega"] = t.psrk[cas][4]
        if not out.get("source", "").startswith("PSRK4"):
            out["source"] = out.get("source", "") + "; omega PSRK4, appendix"
    return out


_SYNONYM_OK = re.compile(r"^[a-z0-9][a-z0-9 ,'\-]*$")
# words that mark a product, a mixture or a fragment rather than the compound
_NOT_A_NAME = re.compile(r"\b(dimer|trimer|tetramer|grades?|solution|by-products?|half|mixture|disinfectant|"
                         r"hydrocarbons|homopolymer|technical|reagent|standard|diyl|acs|usp|nf|tn)\b")


def _synonyms(t, cas, names):
    """Plain names an engineer types: the tables' names and PubChem's common names and synonyms, lower
    case, without trade names in brackets, lists, registry numbers or polymer names."""
    out = []
    candidates = list(names)
    if cas in t.pubchem:
        candidates += [t.pubchem[cas][2]] + t.pubchem[cas][3][:40]
    for n in candidates:
        n = " ".join(n.lower().split())
        if (n and n not in out and len(n) <= 40 and _SYNONYM_OK.match(n) and "poly" not in n
                and not re.match(r"^\d+-\d+-\d$", n) and not re.match(r"^[a-z]{2,4}-[a-z0-9]{2}-\d", n)
                and not _NOT_A_NAME.search(n)):
            out.append(n)
    return out


# Conventional standard atomic weights (IUPAC, Pure Appl. Chem. 88 (2016) 265), for a formula the
# PubChem table does not hold.
ATOMIC_WEIGHTS = {"H": 1.008, "He": 4.0026, "C": 12.011, "N": 14.007, "O": 15.999, "F": 18.998, "Ne": 20.180,
                  "Si": 28.085, "P": 30.974, "S": 32.06, "Cl": 35.45, "Ar": 39.948, "Br": 79.904,
                  "Kr": 83.798, "I": 126.90, "Xe": 131.29}


def molecular_weight(formula):
    total = 0.0
    for sym, count in re.findall(r"([A-Z][a-z]?)(\d*)", formula):
        total += ATOMIC_WEIGHTS[sym] * (int(count) if count else 1)
    return total


def component(t, cas, curated, choices):
    """The record of cas, or (None, reason) when a property has no source."""
    cur = curated.get(cas, {})
    rec = {"cas": cas}
    origin = {}
    estimated = list(cur.get("estimated", []))
    entries = _perry_entries(t, cas)
    cp = _ideal_gas_cp(t, cas)
    if cp:
        entries["ideal_gas_cp"] = cp
    st = _surface_tension(t, cas, choices["surface_tension"])
    if st:
        entries["surface_tension"] = st
    for p in list(entries):  # a row without a range is no correlation
        if not all(0.0 < e["tmin"] < e["tmax"] for e in (entries[p] if isinstance(entries[p], list) else [entries[p]])):
            del entries[p]
    if "joback_groups" in cur:
        cp298 = t.poling[cas][4] if cas in t.poling else None
        entries["ideal_gas_cp"] = _joback_cp(cur["joback_groups"], cp298)
        estimated.append("ideal-gas heat capacity (Joback group contributions" +
                         (", scaled to Poling's value at 298.15 K)" if cp298 else "; Poling's table has no entry)"))
    for p in PROPERTIES:  # the curated file wins where it gives a property
        if p in cur:
            entries[p] = cur[p]
    consts = _constants(t, cas, choices["critical_constants"])
    for k in ("tc", "pc", "vc", "omega"):
        if k in cur:
            consts[k] = cur[k]
    if "constants_source" in cur:
        consts["source"] = cur["constants_source"]
    missing = [k for k in ("tc", "pc", "vc", "omega") if k not in consts]
    if missing:
        return None, "no " + ", ".join(missing) + " in the critical-constant tables"
    if "surface_tension" not in entries:
        entries["surface_tension"] = {"eq": "brock_bird", "tmin": entries["vapour_pressure"]["tmin"] if "vapour_pressure" in entries else 0,
                                      "tmax": consts["tc"], "source": "BROCK_BIRD"}
        estimated.append("surface tension (Brock-Bird, from Tc, Pc and Tb)")
    lacking = [p for p in PROPERTIES if p not in entries]
    if lacking:
        return None, "no " + ", ".join(p.replace("_", " ") for p in lacking)

    pub = t.pubchem.get(cas)
    perry_name = t.vp[cas][0] if cas in t.vp else ""
    rec["name"] = cur.get("name") or perry_name.lower()
    formula = cur.get("formula") or (pub[0] if pub else None)
    mw = cur.get("mw") or (pub[1] if pub else None) or (formula and molecular_weight(formula))
    if not formula or not mw:
        return None, "no formula or molecular weight (not in the PubChem table and not curated)"
    rec["formula"] = formula
    rec["mw"] = round(mw, 3) if "mw" not in cur else mw
    rec.update(tc=consts["tc"], pc=consts["pc"], vc=consts["vc"], omega=consts["omega"])
    if "tb" in cur:
        rec["tb"] = cur["tb"]
        origin["tb"] = "printed"
    else:
        tb = correlations.boiling_point(entries["vapour_pressure"])
        if tb is None or tb >= rec["tc"]:
            return None, "the vapour-pressure correlation does not reach 101 325 Pa"
        rec["tb"] = round(tb, 2)
        origin["tb"] = "vapour-pressure correlation"
    rec["constants_source"] = consts["source"]
    if entries["surface_tension"]["eq"] == "brock_bird":
        entries["surface_tension"]["tmax"] = rec["tc"]
    for p in PROPERTIES:
        rec[p] = entries[p]
    names = [rec["name"], perry_name] + cur.get("synonyms", [])
    for table in (t.psrk, t.iupac, t.poling, t.vdi, t.jasper):
        if cas in table:
            names.append(table[cas][0])
    rec["synonyms"] = [s for s in _synonyms(t, cas, names) if s != rec["name"]]
    rec["estimated"] = estimated
    rec["origin"] = origin
    return rec, None
