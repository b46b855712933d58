#!/usr/bin/env python3
"""Rewrites the excerpts of hxprops's output in README.md and docs/hxprops.md from the real output,
and the guide's images (gnuplot).

Usage: python3 scripts/hxprops-excerpts.py PATH/TO/hxprops

Each excerpt is a code block whose first line is the first line the program prints for its case (the
default case, the steam and the methanol condenser examples, the methanol condenser's method spread); the lines it keeps are chosen by what they are (summary,
marked rows, first and last rows, the exchanger), so that a change in the figures keeps the shape.
"""
import pathlib
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
GAP = "  ..."


def run(program, *args):
    return subprocess.run([program, *args], cwd=ROOT, check=True, capture_output=True, text=True).stdout.splitlines()


def section(lines, start):
    """The lines of one side's report (or the exchanger's), from its first line to the next blank
    line that is followed by a side or the exchanger."""
    i = next(k for k, l in enumerate(lines) if l.startswith(start))
    j = next((k for k in range(i + 1, len(lines)) if lines[k].startswith(("side ", "exchanger"))), len(lines))
    return [l.rstrip() for l in lines[i:j]]


def stream_rows(side):
    head = next(k for k, l in enumerate(side) if l.startswith("  stream ("))
    end = next((k for k in range(head + 3, len(side)) if not side[k].strip()), len(side))
    return side[: head + 3], side[head + 3 : end]


def phase_rows(side, phase):
    head = side.index("  " + phase)
    end = next((k for k in range(head + 3, len(side)) if not side[k].strip() or side[k].startswith("  *")), len(side))
    return side[head : head + 3], side[head + 3 : end]


def summary(side):
    return side[:3] + [GAP, ""]


def excerpt(lines, kind):
    out = [lines[0], lines[1], ""]
    side0, side1, exchanger = section(lines, "side 0"), section(lines, "side 1"), section(lines, "exchanger")
    head, rows = stream_rows(side0)
    marked = [k for k, r in enumerate(rows) if "  > " in r]
    if kind == "readme":
        keep = sorted({0, *marked, marked[-1] + 1, len(rows) - 1})
    elif kind == "guide":
        keep = list(range(len(rows)))
    else:
        keep = marked
    body = []
    for n, k in enumerate(keep):
        if n and k != keep[n - 1] + 1:
            body.append(GAP)
        body.append(rows[k])
    if keep[-1] != len(rows) - 1:
        body.append(GAP)
    out += head + body
    if kind == "guide":
        phase_head, phase = phase_rows(side0, "liquid 2")
        present = [k for k, r in enumerate(phase) if r.split()[1] != "-"]
        out += [GAP] + [h.rstrip() for h in phase_head] + [GAP] + phase[present[0] : present[0] + 2] + [GAP, phase[-1]]
    elif kind == "readme":
        out.append(GAP)
    out += [""] + summary(side1) + exchanger
    return out


def replace_block(path, first_line, new_lines):
    text = path.read_text()
    start = text.index("```\n" + first_line) + 4
    end = text.index("```", start)
    path.write_text(text[:start] + "\n".join(l.rstrip() for l in new_lines).rstrip("\n") + "\n" + text[end:])


def main():
    program = sys.argv[1]
    default = run(program)
    condenser = run(program, "--case", "apps/hxprops/cases/steam_condenser.toml")
    methanol = run(program, "--case", "apps/hxprops/cases/methanol_condenser.toml")
    replace_block(ROOT / "README.md", default[0], excerpt(default, "readme"))
    replace_block(ROOT / "docs/hxprops.md", default[0], excerpt(default, "guide"))
    replace_block(ROOT / "docs/hxprops.md", condenser[0], excerpt(condenser, "condenser"))
    replace_block(ROOT / "docs/hxprops.md", methanol[0], excerpt(methanol, "condenser"))
    run(program, "--plot", "docs/images/hxprops-default.png")
    run(program, "--case", "apps/hxprops/cases/steam_condenser.toml", "--plot", "docs/images/hxprops-condenser.png")
    spread = run(program, "--case", "apps/hxprops/cases/methanol_condenser.toml", "--compare-methods")
    spread = spread[next(k for k, l in enumerate(spread) if l.startswith("method spread:")) :]
    replace_block(ROOT / "docs/hxprops.md", spread[0], spread)
    run(program, "--table-pressures", "2.3 bar, 2.7 bar", "--plot-properties", "docs/images/hxprops-properties.png")


if __name__ == "__main__":
    main()
