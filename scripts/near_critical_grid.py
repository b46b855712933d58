#!/usr/bin/env python3
"""Near-critical property curves of three binaries under Peng-Robinson, through the module kvt.

Methane/propane, carbon dioxide/n-butane and ethane/n-heptane at 25, 50 and 75 % of the lighter
component: each feed's cricondenbar (the highest pressure at which it splits, by bisection on the
pressure over curves that cross the two-phase region), then at 30 pressures evenly spaced up to
0.98 of it one cooling curve across the whole two-phase region (120 rows) and the same 120
temperatures flashed alone. Prints each feed's cricondenbar and what failed, then the totals:
curves failing, states failing, curves failing although every one of their states flashes alone,
and curves that complete with an iteration-cap note (a state inside a boundary's bracket failed).

    PYTHONPATH=build/release/python python3 scripts/near_critical_grid.py [--stride N]

--stride N takes every N-th pressure only (a quick look); the totals then count those.
"""

import argparse
import sys

import kvt

# (lighter, heavier, lowest temperature of the curves, highest, lowest of the cricondenbar's search),
# K: from the pair's databank range to 40 K or more above the heavier component's critical
# temperature. Carbon dioxide/n-butane has a liquid-liquid split under the equation below about
# 223 K (at 75 % carbon dioxide and 2.2 MPa: 62.6 and 89.8 % at 219 K) that reaches every pressure:
# the cricondenbar is the vapour-liquid envelope's, searched above it.
BINARIES = [
    ("methane", "propane", 200.0, 420.0, 200.0),
    ("carbon dioxide", "n-butane", 216.58, 470.0, 230.0),
    ("ethane", "n-heptane", 200.0, 590.0, 200.0),
]
FEEDS = (0.25, 0.50, 0.75)
PRESSURES = 30
TOP = 0.98
ROWS = 120


def curve(flows, t_in, t_out, p, points=ROWS):
    case = {"title": "near-critical grid", "points": points,
            "side0": {"name": "feed", "method": "peng-robinson", "inlet_pressure": p, "outlet_pressure": p,
                      "inlet_temperature": t_in, "outlet_temperature": t_out, "flows": flows}}
    return kvt.curves(case)["sides"][0]


def window(flows, t_lo, t_hi, p):
    """The temperatures of the boundaries a curve at p finds between t_hi and t_lo (None when it fails)."""
    try:
        return [b["temperature"] for b in curve(flows, t_hi, t_lo, p, points=2)["boundaries"]]
    except (RuntimeError, ValueError):
        return None


def cricondenbar(flows, t_lo, t_hi):
    """The highest pressure with two phases, to 1e-4 of itself: a pressure splits when a curve across
    the range (then one across 40 K around the last split's middle, finer) finds a boundary."""
    lo, hi, middle = 1e5, 5e7, None
    while hi - lo > 1e-4 * hi:
        p = 0.5 * (lo + hi)
        found = window(flows, t_lo, t_hi, p)
        if not found and middle is not None:
            found = window(flows, max(t_lo, middle - 20.0), min(t_hi, middle + 20.0), p)
        if found:
            lo, middle = p, 0.5 * (min(found) + max(found))
        else:
            hi = p
    return lo


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--stride", type=int, default=1, help="every N-th pressure only")
    args = parser.parse_args()
    curves = curves_failed = states = states_failed = curves_failed_alone = curves_capped = 0
    for light, heavy, t_lo, t_hi, t_search in BINARIES:
        for zf in FEEDS:
            flows = {light: zf, heavy: 1.0 - zf}
            pcb = cricondenbar(flows, t_search, t_hi)
            print(f"{light}/{heavy} {zf:.2f}: cricondenbar {pcb / 1e6:.4f} MPa")
            for k in range(args.stride, PRESSURES + 1, args.stride):
                p = TOP * pcb * k / PRESSURES
                temps = [t_hi - (t_hi - t_lo) * i / (ROWS - 1) for i in range(ROWS)]
                failed_here = []
                for t in temps:
                    try:
                        kvt.flash(flows, t, p, method="peng-robinson")
                    except (RuntimeError, ValueError) as e:
                        failed_here.append((t, str(e)))
                states += len(temps)
                states_failed += len(failed_here)
                curves += 1
                try:
                    side = curve(flows, t_hi, t_lo, p)
                    curve_error = None
                    capped = [n["text"] for n in side["notes"] if n["kind"] == "iteration-cap"]
                    curves_capped += bool(capped)
                    if capped:
                        print(f"  {p / 1e6:.4f} MPa: the curve completes with a note: {capped[0]}")
                except (RuntimeError, ValueError) as e:
                    curve_error = str(e)
                    curves_failed += 1
                    curves_failed_alone += not failed_here
                if curve_error or failed_here:
                    print(f"  {p / 1e6:.4f} MPa: {len(failed_here)} of {len(temps)} states fail"
                          + (f" (first at {failed_here[0][0]:.2f} K: {failed_here[0][1]})" if failed_here else "")
                          + (f"; curve fails: {curve_error}" if curve_error else ""))
    print(f"curves failing: {curves_failed} of {curves}")
    print(f"states failing: {states_failed} of {states}")
    print(f"curves failing although every state flashes alone: {curves_failed_alone}")
    print(f"curves completing with an iteration-cap note (a state that failed alone): {curves_capped}")
    return 1 if curves_failed or states_failed else 0


if __name__ == "__main__":
    sys.exit(main())
