#!/usr/bin/env python3
"""Seed inputs for the file readers' fuzz targets, made from the files the project documents.

    fuzz/seeds.py case_file OUTDIR   the example and test case files of hxprops
    fuzz/seeds.py databank OUTDIR    the reference host's databank: its [sources] with one component
                                     each, with the pair of each interaction, and the whole file

Comments are left out of the databank's pieces so that each stays a short input."""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent


def case_file_seeds():
    for folder in (ROOT / "apps/hxprops/cases", ROOT / "tests/apps/cases"):
        for f in sorted(folder.glob("*.toml")):
            yield f.name, f.read_text()


def databank_seeds():
    text = (ROOT / "hosts/reference/data/databank.toml").read_text()
    header, blocks = [], []
    for line in text.splitlines():
        if line.startswith("#") or not line.strip():
            continue
        if line.startswith("[["):
            blocks.append([line])
        elif blocks:
            blocks[-1].append(line)
        else:
            header.append(line)
    components, interactions = {}, []
    for b in blocks:
        fields = dict(re.findall(r'^(\w+) = "([^"]*)"', "\n".join(b), re.M))
        if b[0] == "[[component]]" and "name" in fields:
            components[fields["name"]] = b
        elif b[0] == "[[interaction]]":
            interactions.append((fields.get("first"), fields.get("second"), b))
    join = lambda *parts: "\n".join(line for part in parts for line in part) + "\n"
    yield "databank.toml", text
    for name, b in components.items():
        yield f"component-{name}.toml", join(header, b)
    for first, second, b in interactions:
        if first in components and second in components:
            yield f"interaction-{first}-{second}.toml", join(header, components[first], components[second], b)


def main():
    kind, out = sys.argv[1], pathlib.Path(sys.argv[2])
    out.mkdir(parents=True, exist_ok=True)
    for name, text in {"case_file": case_file_seeds, "databank": databank_seeds}[kind]():
        (out / name).write_text(text)


if __name__ == "__main__":
    main()
