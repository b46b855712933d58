"""A column condenser's pressure swept with kvt.curves: the overhead vapour of a methanol recovery column
(methanol with a fifth of water) condensed totally and subcooled to 40 degC at 1.0 to 2.0 bar. The
higher the pressure, the hotter the condensing (a smaller exchanger against the same cooling water),
the duty nearly the same. Draws each pressure's heat-release curve (the duty released against the
temperature it leaves the stream at) with matplotlib where it is installed, else prints them as a table.

    PYTHONPATH=build/release/python python3 examples/python/condenser_pressure_sweep.py [--table] [IMAGE]

IMAGE: the plot's file (default condenser_pressure_sweep.png); --table prints the table in any case.
"""

import copy
import sys

import kvt

CASE = {
    "title": "Overhead condenser of a methanol recovery column",
    "points": 11,
    "spacing": "duty",
    "side0": {
        "name": "column overhead",
        "method": "nrtl",
        "inlet_vapour_fraction": 1.0,
        "outlet_temperature": "40 degC",
        "flows": {"methanol": "60 kmol/h", "water": "15 kmol/h"},
    },
}
PRESSURES = [1.0, 1.25, 1.5, 1.75, 2.0]  # bar


def sweep():
    """Each pressure (bar) with its side's curve (kvt.curves' side 0)."""
    results = []
    for bar in PRESSURES:
        case = copy.deepcopy(CASE)
        case["side0"]["pressure"] = f"{bar} bar"
        results.append((bar, kvt.curves(case)["sides"][0]))
    return results


def celsius(kelvin):
    return kelvin - 273.15


def print_table(results):
    print(CASE["title"] + ": duty released against the outlet temperature")
    for bar, side in results:
        bounds = ", ".join(f"{b['label']} at {celsius(b['temperature']):.2f} degC" for b in side["boundaries"])
        print(f"\n{bar:.2f} bar: {-side['duty'] / 1e3:.1f} kW in all; {bounds or 'no phase boundary'}")
        print(f"{'T [degC]':>10} {'duty [kW]':>10} {'vap.frac':>9}")
        for p in side["points"]:
            print(f"{celsius(p['temperature']):10.2f} {p['duty'] / 1e3:10.1f} {p['vapour_fraction']:9.4f}")


def plot(results, image):
    import matplotlib

    matplotlib.use("Agg")
    from matplotlib import pyplot

    figure, axes = pyplot.subplots(figsize=(7, 4.5))
    for bar, side in results:
        axes.plot([p["duty"] / 1e3 for p in side["points"]], [celsius(p["temperature"]) for p in side["points"]],
                  marker="o", label=f"{bar:.2f} bar")
    axes.set_xlabel("duty released [kW]")
    axes.set_ylabel("outlet temperature [degC]")
    axes.set_title(CASE["title"])
    axes.legend(title="condenser pressure")
    axes.grid(True, alpha=0.3)
    figure.tight_layout()
    figure.savefig(image)
    print(f"wrote {image}")


def main(args):
    table = "--table" in args
    images = [a for a in args if a != "--table"]
    results = sweep()
    try:
        import matplotlib  # noqa: F401 (only whether it is there)
    except ImportError:
        if not table:
            print("(matplotlib is not installed: the table instead of a plot)")
        table = True
    if table:
        print_table(results)
    else:
        plot(results, images[0] if images else "condenser_pressure_sweep.png")


if __name__ == "__main__":
    main(sys.argv[1:])
