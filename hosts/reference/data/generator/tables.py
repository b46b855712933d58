"""Readers of the published tables kept in ../sources: one dictionary per table, keyed by CAS number."""

import os

SOURCES = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "sources")


def _rows(name, sep="\t"):
    with open(os.path.join(SOURCES, name), encoding="utf-8") as f:
        lines = f.read().splitlines()
    return [[cell.strip() for cell in line.split(sep)] for line in lines[1:] if line.strip()]


def _numbers(cells):
    return [float(x) if x else 0.0 for x in cells]


def _first_by_cas(rows, convert):
    out = {}
    for r in rows:
        out.setdefault(r[0], convert(r))
    return out


def perry_table(name, ncoef):
    """A Perry table: CAS, name, coefficients (ncoef), Tmin, Tmax -> {cas: (name, [c...], tmin, tmax)}."""
    def convert(r):
        v = _numbers(r[2:2 + ncoef + 2])
        return r[1], v[:ncoef], v[ncoef], v[ncoef + 1]
    return _first_by_cas(_rows(name), convert)


def heat_of_vaporisation():
    """Table 2-150: CAS, name, Tc, C1..C4, Tmin, Tmax -> {cas: (name, tc, [c1..c4], tmin, tmax)}."""
    def convert(r):
        v = _numbers(r[2:9])
        return r[1], v[0], v[1:5], v[5], v[6]
    return _first_by_cas(_rows("perry8_table2-150_heat_of_vaporisation_dippr106.tsv"), convert)


def poling_cp():
    """Appendix A ideal-gas Cp/R polynomial -> {cas: (name, tmin, tmax, [a0..a4], cpg298 J/(mol K))}."""
    def convert(r):
        v = _numbers(r[2:11])
        return r[1], v[0], v[1], v[2:7], v[7] if r[9] else None
    return _first_by_cas(_rows("poling5_appendixA_ideal_gas_cp.tsv"), convert)


def psrk():
    """Tc K, Pc Pa, Vc m3/mol, omega -> {cas: (name, tc, pc, vc, omega)}."""
    def convert(r):
        v = [float(x) if x else None for x in r[2:6]]
        return (r[1], *v)
    return _first_by_cas(_rows("psrk_rev4_appendix_critical_omega.tsv"), convert)


def iupac():
    """Evaluated critical data -> {cas: (name, mw, tc, pc, vc, part)}."""
    def convert(r):
        v = [float(x) if x else None for x in r[2:6]]
        return (r[1], *v, r[7] if len(r) > 7 else "")
    return _first_by_cas(_rows("iupac_organic_critical_properties.tsv"), convert)


def vdi_surface_tension():
    """PPDS surface tension -> {cas: (name, tmin, tc, [A..E])}."""
    def convert(r):
        v = _numbers(r[2:9])
        return r[1], v[0], v[1], v[2:7]
    return _first_by_cas(_rows("vdi_heat_atlas_ppds_surface_tension.tsv"), convert)


def jasper_surface_tension():
    """sigma mN/m = a - b (T - 273.15) -> {cas: (name, a, b, tmin, tmax)}."""
    def convert(r):
        v = _numbers(r[2:6])
        return (r[1], *v)
    return _first_by_cas(_rows("jasper_lange_surface_tension.tsv"), convert)


def pubchem():
    """-> {cas: (formula, mw, iupac name, [common names and synonyms])}."""
    out = {}
    with open(os.path.join(SOURCES, "pubchem_identifiers_small.tsv"), encoding="utf-8") as f:
        for line in f:
            r = [c.strip() for c in line.rstrip("\n").split("\t")]
            if len(r) < 8:
                continue
            out.setdefault(r[1], (r[2], float(r[3]), r[7], r[8:]))
    return out


def dipole_moments():
    return {r[0]: float(r[2]) for r in _rows("poling5_dipole_moments.csv") if len(r) > 2 and r[2]}


def ipd_pairs(name):
    """An interaction-parameter library: [(cas1, cas2, [values], comment)] in file order."""
    out = []
    with open(os.path.join(SOURCES, name), encoding="latin-1") as f:
        in_data = False
        for line in f:
            parts = line.split()
            if line.startswith("[IPD]"):
                in_data = True
                continue
            if not in_data or not parts or parts[0].startswith("#") or "=" in parts[0]:
                continue
            values = []
            i = 2
            while i < len(parts):
                try:
                    values.append(float(parts[i]))
                    i += 1
                except ValueError:
                    break
            out.append((parts[0], parts[1], values, " ".join(parts[i:])))
    return out
