#!/usr/bin/env python3
"""The include levels of a source tree, and every include that runs back up.

    python3 scripts/include-layers.py [ROOT ...]      default: the trees of LAYERS below

A unit is a header with its source (foo.h and foo.cpp are one unit). A unit's level is 0 when it
includes no other unit of the tree, else one more than the highest level it includes. An include
that closes a cycle of units runs back up (a source file including a unit that includes its own):
it is listed and left out of the levels. A tree with layers (LAYERS: its folders, lowest first; files at the top
of the tree are above every folder) lists every include from a lower layer to a higher one too.
The exit status is 1 when there is either, 0 when there is none.
"""
import re
import sys
from pathlib import Path

REPO = Path(__file__).resolve().parents[1]

# Each tree's layers, lowest first. A layer may include itself and the layers before it.
LAYERS = {
    "hosts/reference/src": ["numerics", "data", "models", "flash", "host"],
    "apps/hxprops": ["base", "case", "compute", "output"],
    "apps/hostcheck/src": [],
}
SOURCES = (".h", ".cpp", ".cpp.in")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def unit_of(path: Path, root: Path) -> str:
    name = path.relative_to(root).as_posix()
    for suffix in SOURCES[::-1]:
        if name.endswith(suffix):
            return name[: -len(suffix)]
    return name


def read_tree(root: Path):
    """The units of a tree, and for each pair of units the includes (file, header) behind it."""
    files = sorted(p for p in root.rglob("*") if p.is_file() and p.name.endswith(SOURCES))
    units = sorted({unit_of(p, root) for p in files})
    edges = {}
    for path in files:
        source = unit_of(path, root)
        for name in INCLUDE.findall(path.read_text(errors="replace")):
            for base in (root, path.parent):
                header = base / name
                if header.is_file() and header.resolve().is_relative_to(root):
                    target = unit_of(header.resolve(), root)
                    if target != source:
                        edges.setdefault(source, {}).setdefault(target, []).append(
                            (path.relative_to(root).as_posix(), header.resolve().relative_to(root).as_posix()))
                    break
    return units, edges


def back_edges(units, edges):
    """The includes that close a cycle. Headers include no cycle, so a cycle always has a source
    file's include in it: the headers' includes are taken first, then the source files' in name
    order, and one that would close a cycle is a back edge (the implementation reaching up)."""
    kept, found = {}, []

    def reaches(start, goal):
        seen, todo = set(), [start]
        while todo:
            unit = todo.pop()
            if unit == goal:
                return True
            if unit not in seen:
                seen.add(unit)
                todo.extend(kept.get(unit, ()))
        return False

    by_header = lambda includes: any(not f.endswith(".cpp") for f, _ in includes)
    pairs = sorted(((s, t) for s in edges for t in edges[s]), key=lambda e: (not by_header(edges[e[0]][e[1]]), e))
    for source, target in pairs:
        if reaches(target, source):
            found.append((source, target))
        else:
            kept.setdefault(source, set()).add(target)
    return found


def levels(units, edges, skip):
    level = {}

    def of(unit):
        if unit not in level:
            deps = [t for t in edges.get(unit, {}) if (unit, t) not in skip]
            level[unit] = 1 + max(map(of, deps)) if deps else 0
        return level[unit]

    sys.setrecursionlimit(10000)
    for unit in units:
        of(unit)
    return level


def layer_rank(unit, layers):
    """The rank of a unit's layer: its folder's place in the list, the top of the tree above all."""
    folder = unit.split("/")[0] if "/" in unit else None
    if folder is None:
        return len(layers)
    return layers.index(folder) if folder in layers else None


def check(name: str) -> int:
    root = (REPO / name).resolve()
    layers = LAYERS.get(name, [])
    units, edges = read_tree(root)
    back = back_edges(units, edges)
    level = levels(units, edges, set(back))
    top = max(level.values(), default=-1)
    print(f"{name}: {len(units)} units in {top + 1} include levels")
    for n in range(top + 1):
        print(f"  {n:2}: " + " ".join(u for u in units if level[u] == n))
    faults = 0
    for source, target in back:
        faults += 1
        print(f"  back up (a cycle): " + "; ".join(f"{f} -> {h}" for f, h in edges[source][target]))
    for unit in units:
        if layers and "/" in unit and layer_rank(unit, layers) is None:
            faults += 1
            print(f"  {unit}: in a folder that is no layer of {name} ({', '.join(layers)})")
    if layers:
        for source in units:
            for target, includes in sorted(edges.get(source, {}).items()):
                s, t = layer_rank(source, layers), layer_rank(target, layers)
                if s is not None and t is not None and t > s:
                    faults += 1
                    print(f"  up a layer: " + "; ".join(f"{f} -> {h}" for f, h in includes))
    print(f"  {faults} include(s) running back up" if faults else "  no include runs back up")
    return faults


def main(argv):
    roots = argv[1:] or list(LAYERS)
    return 1 if sum(check(r.rstrip("/")) for r in roots) else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
