"""NRTL binary parameters of the databank's components, from the DECHEMA table at 1 atm.

The table (../sources/dechema_nrtl_1atm.ipd) gives per pair of CAS numbers A12 and A21 in cal/mol
(tau_12 = A12 / (R T), R = 1.98721 cal/(mol K)) and alpha12, regressed on isobaric data at 1 atm,
with the DECHEMA part and page the data were printed on. `pairs(components)` returns the entries for
the pairs of the given components; `section(components)` is the databank generator's hook
(generate.py), which puts them under [[nrtl]] at the end of the databank.
"""

import os
import re

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCES = os.path.join(HERE, os.pardir, "sources")
IPD = os.path.join(SOURCES, "dechema_nrtl_1atm.ipd")

SOURCE_KEY = "DECHEMA_VLE"
SOURCE_TEXT = ("J. Gmehling, U. Onken et al., Vapor-Liquid Equilibrium Data Collection, DECHEMA Chemistry "
               "Data Series Vol. I (Parts 1-8), Frankfurt, 1977 on; NRTL parameters regressed at 1 atm, as "
               "compiled by H. Kooijman and R. Taylor (interaction parameter library, 2008, Artistic Licence 2.0)")

BEGIN = "# ---- NRTL pairs (generator/nrtl.py, from sources/dechema_nrtl_1atm.ipd): a12, a21 in cal/mol, tau_12 = a12 / (R T) ----"
END = "# ---- end of NRTL pairs ----"


def read_table(path=IPD):
    """Rows of the table: (cas1, cas2, a12, a21, alpha, names, part, page); part and page may be None."""
    rows = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            cells = line.split()
            if len(cells) < 5 or not re.match(r"^\d+-\d\d-\d$", cells[0]) or not re.match(r"^\d+-\d\d-\d$", cells[1]):
                continue
            comment = cells[5:]
            page = next((c[1:] for c in comment if re.match(r"^p\d+$", c)), None)
            part = next((c for c in comment if re.match(r"^\d/[\w+]+$", c)), None)
            names = " ".join(c for c in comment if c[1:] != page and c != part)
            rows.append((cells[0], cells[1], float(cells[2]), float(cells[3]), float(cells[4]), names, part, page))
    return rows


def citation(part, page):
    """The row's place in the DECHEMA series: 'DECHEMA_VLE, Part 1a, p. 61'."""
    where = [SOURCE_KEY]
    if part is not None:
        where.append("Part " + part.split("/", 1)[1])
    if page is not None:
        where.append("p. " + page)
    missing = [w for w, v in (("part", part), ("page", page)) if v is None]
    if missing:
        where.append(" and ".join(missing) + " not given in the compilation")
    return ", ".join(where)


def pairs(components, rows=None):
    """NRTL entries for the pairs among `components`, a list of (name, cas) in databank order.

    A pair printed more than once takes its first row with a page (else its first row). Each entry is a
    dict: first, second (names, in the table's order), a12, a21 (cal/mol), alpha, source.
    """
    rows = read_table() if rows is None else rows
    by_cas = {cas: name for name, cas in components if cas}
    chosen = {}
    for cas1, cas2, a12, a21, alpha, _names, part, page in rows:
        if cas1 not in by_cas or cas2 not in by_cas or cas1 == cas2:
            continue
        key = frozenset((cas1, cas2))
        if key in chosen and (chosen[key][1] is not None or page is None):
            continue
        chosen[key] = ((cas1, cas2, a12, a21, alpha, part, page), page)
    order = {cas: i for i, (_, cas) in enumerate(components)}
    out = []
    for (cas1, cas2, a12, a21, alpha, part, page), _ in sorted(
            chosen.values(), key=lambda v: sorted((order[v[0][0]], order[v[0][1]]))):
        out.append({"first": by_cas[cas1], "second": by_cas[cas2], "a12": a12, "a21": a21, "alpha": alpha,
                    "source": citation(part, page)})
    return out


def toml_entries(entries):
    """The entries as TOML [[nrtl]] tables."""
    lines = []
    for e in entries:
        lines += ["[[nrtl]]",
                  f'first = "{e["first"]}"',
                  f'second = "{e["second"]}"',
                  f'a12 = {e["a12"]!r}',
                  f'a21 = {e["a21"]!r}',
                  f'alpha = {e["alpha"]!r}',
                  f'source = "{e["source"]}"',
                  ""]
    return "\n".join(lines)


def section(components):
    """The databank generator's hook: the NRTL section for component records (dicts with "name" and
    "cas"), the source it cites and a paragraph for the databank's documentation."""
    entries = pairs([(c["name"], c.get("cas")) for c in components])
    doc = ["", "## NRTL pairs", "",
           "NRTL parameters (`[[nrtl]]`: `a12`, `a21` in cal/mol with tau_12 = a12 / (R T), `alpha`) of "
           f"{len(entries)} pairs of the databank's components, regressed at 1 atm ({SOURCE_KEY}); a pair the "
           "table prints twice takes its first row with a page. Every other pair takes tau = 0.", "",
           "| pair | a12 | a21 | alpha | source |", "|---|---|---|---|---|"]
    doc += [f'| {e["first"]}/{e["second"]} | {e["a12"]} | {e["a21"]} | {e["alpha"]} | {e["source"]} |' for e in entries]
    return {"toml": "\n".join([BEGIN, "", toml_entries(entries).rstrip("\n"), END]) + "\n",
            "sources": {SOURCE_KEY: SOURCE_TEXT}, "doc": "\n".join(doc) + "\n"}
