"""The synonyms a component is found by: what the tables and PubChem give, less what is no name of
the compound, and the names of a family given to every member of it, so that a lookup by such a name
is refused listing the members instead of picking one.

A section of the generator (see generate.py): section(records) rewrites each record's "synonyms" and
returns the rule as text for docs/databank.md.
"""

import re

RULE = """
## Synonyms

A component is found by its name, its CAS number, its formula where only one component has it, or a
synonym. The synonyms are the tables' names and PubChem's, lower case, written by
`hosts/reference/data/generator/synonyms.py` by this rule:

- left out: registry codes (a word of seven or more letters and digits with two digits or more that
  is no formula, as `z2474e14qp`; identifiers such as `2e051a08-f94e-...`), garbled entries (a number
  run into a word, as `1,2,34rimethylbenzene`; locants that do not match their multiplier, as
  `1,3-trimethylbenzene` or `2-dichloroethane`), derivatives (`benzylated`, `oxidized`,
  `ethoxylated`, deuterated `d10`, ...) and solutions;
- a family's name is every member's: the name of a component without its locants and isomer prefixes
  (`o-xylene` -> `xylene`, `1,2,3-trimethylbenzene` -> `trimethylbenzene`, `2-propanol` -> `propanol`)
  is a synonym of every component it is the name of so stripped, when there are two or more;
  so is a synonym that names the family (`trimethyl benzene`, `benzene, trimethyl-`), a plural
  (`xylenes`), a mixture of it (`xylene, mixed isomers`, `solvent xylene`) or a carbon-number range
  of a class (`alcohols, c6-12`: the alcohols of 6 to 12 carbons of the homologous series);
- such a name that names one component of the databank only (`hexanols`, `alcohols` for ethanol,
  `alkenes, c10-16 alpha-`) is left out: it names a mixture, not the compound.

A name that several components answer is refused listing them (`xylene`: m-xylene, o-xylene,
p-xylene).
"""

# Element symbols of condensed formulas written as names ("ch3oh", "c2h5och3").
_FORMULA = re.compile(r"^(?:(?:br|cl|c|h|o|n|s|f|i|p)\d*)+$")
_WORD = re.compile(r"[a-z0-9]+")
_DERIVATIVE = re.compile(r"\b(benzylated|oxidized|chloromethylated|ethoxylated|propoxylated|sulfonated|deuterated|"
                         r"solutions?|d\d+)\b")
_UUID = re.compile(r"\b[0-9a-f]{8}-[0-9a-f]{4}-")
_MULTIPLIED = re.compile(r"(?<![\d,])(\d+'?(?:,\d+'?)*)-(di|tri|tetra)(?=[a-z])")
_MULTIPLIERS = {"di": 2, "tri": 3, "tetra": 4}
# Locants and isomer prefixes: "1,2-", "o-", "n-", "tert-", "cis-", ... at the start of a word.
_LOCANT = re.compile(r"(?:^|(?<=[\s,(-]))(?:\d+'?(?:,\d+'?)*|[ompn]|sec|tert|cis|trans|alpha|beta)-")
_MIXTURE = re.compile(r",?\s*\b(mixed isomers|mixed|isomers|solvent|commercial)\b\s*")
_PLURAL = re.compile(r"^(?:[a-z]+(?:an|en|yn|ol|on|amin|acid|ether|ester|benzen|xylen|cresol|id)e?s)$")
_RANGE = re.compile(r"^(?:[a-z]+ )*([a-z]+)s, c(\d+)-(\d+)\b(.*)$")
# The name ending of the members of a class a carbon-number range is given for.
_CLASS_ENDINGS = {"alcohol": "ol", "alkene": "ene", "alkane": "ane", "ketone": "one", "amine": "amine", "acid": " acid"}


def fold(name):
    """As the host folds a name to look it up: lower case, without blanks, hyphens and underscores."""
    return re.sub(r"[\s_-]", "", name.lower())


def stem(name):
    """The name without its locants and isomer prefixes, folded."""
    return fold(_LOCANT.sub("", name.lower()))


def plain(name):
    """Whether a synonym is a name of a compound at all: no registry code, identifier, garbled entry
    or derivative."""
    words = _WORD.findall(name)
    if any(len(w) >= 7 and sum(ch.isdigit() for ch in w) >= 2 and not w.isdigit() and not _FORMULA.match(w) for w in words):
        return False
    if _UUID.search(name) or _DERIVATIVE.search(name):
        return False
    if any(re.search(r"\d[a-z]{2,}", w) and not _FORMULA.match(w) for w in words):
        return False
    return all(len(m.group(1).split(",")) == _MULTIPLIERS[m.group(2)] for m in _MULTIPLIED.finditer(name))


def _carbons(formula):
    m = re.match(r"^C(\d*)(?![a-z])", formula)
    return (int(m.group(1)) if m.group(1) else 1) if m else 0


def _series(formula):
    """A formula's homologous series: its other elements, with hydrogen less twice the carbons."""
    counts = {sym: int(n) if n else 1 for sym, n in re.findall(r"([A-Z][a-z]?)(\d*)", formula)}
    counts["H"] = counts.get("H", 0) - 2 * counts.pop("C", 0)
    return tuple(sorted(counts.items()))


def _range_members(synonym, rec, records):
    """The components a carbon-number range of a class names ("alcohols, c6-12"), or None when the
    synonym is no such range."""
    m = _RANGE.match(synonym)
    if not m:
        return None
    ending = _CLASS_ENDINGS.get(m.group(1))
    if ending is None or not rec["name"].endswith(ending):
        return []
    lo, hi = int(m.group(2)), int(m.group(3))
    return [r for r in records
            if lo <= _carbons(r["formula"]) <= hi and _series(r["formula"]) == _series(rec["formula"])
            and r["name"].endswith(ending) and ("alpha" not in m.group(4) or r["name"].startswith("1-"))]


def _named(synonym, rec, records, families):
    """The components a synonym names and whether it names a class rather than a compound: a carbon-
    number range of a class, a plural or a mixture of a family; members None for a name with locants
    (the component's own)."""
    ranged = _range_members(synonym, rec, records)
    if ranged is not None:
        return ranged, True
    base = _MIXTURE.sub(" ", synonym).strip(" ,")
    if stem(base) != fold(base):
        return (None, False) if base == synonym else ([], True)
    if _PLURAL.match(fold(base)):
        return families.get(fold(base)[:-1], []), True
    return families.get(fold(base), []), base != synonym


def section(records):
    for rec in records:
        rec["synonyms"] = [s for s in rec["synonyms"] if plain(s)]
    families = {}  # stem -> the components with that name, or a name of that stem with its locants
    for rec in records:
        for n in [rec["name"]] + [s for s in rec["synonyms"] if stem(s) != fold(s)]:
            members = families.setdefault(stem(n), [])
            if rec not in members:
                members.append(rec)
    shared = {}  # a name of several components -> them
    for rec in records:
        own = families[stem(rec["name"])]
        if len(own) > 1 and stem(rec["name"]) != fold(rec["name"]):
            shared[_LOCANT.sub("", rec["name"])] = own
        kept = []
        for s in rec["synonyms"]:
            members, of_class = _named(s, rec, records, families)
            if members is not None and len(members) > 1 and rec in members:
                shared[s] = members
            elif not of_class:
                kept.append(s)
        rec["synonyms"] = kept
    for name, members in shared.items():
        for rec in members:
            if name != rec["name"] and name not in rec["synonyms"]:
                rec["synonyms"].append(name)
    return {"toml": "", "doc": RULE}
