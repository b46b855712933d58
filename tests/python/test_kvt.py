"""The Python module kvt: its curves are hxprops' --json, its water flash is IAPWS-IF97 (python3-iapws),
bad input raises ValueError with the program's message, and threads and processes give the serial answers.
Run by ctest (tests/python/CMakeLists.txt), which names the module's folder and the program."""

import concurrent.futures
import json
import multiprocessing
import os
import pathlib
import subprocess
import sys
import tomllib

import pytest
from iapws import IAPWS97
from iapws._iapws import _Tension
from iapws.iapws97 import _PSat_T

import kvt

SOURCE = pathlib.Path(os.environ["KVT_SOURCE_DIR"])
HXPROPS = os.environ["KVT_HXPROPS"]
CASES = sorted((SOURCE / "apps/hxprops/cases").glob("*.toml"), key=lambda p: (p.name != "default.toml", p.name))  # the default first
CROSSED = SOURCE / "tests/apps/cases/crossed.toml"


def hxprops(*args):
    return subprocess.run([HXPROPS, *map(str, args)], capture_output=True, text=True)


def program_json(*args):
    run = hxprops(*args, "--json", "-")
    assert run.returncode == 0, run.stderr
    return json.loads(run.stdout)


def assert_same(got, want, where="result"):
    """Equal structures; numbers equal to 1e-12 of their size."""
    if isinstance(want, float) and isinstance(got, float):
        assert got == pytest.approx(want, rel=1e-12, abs=1e-300), where
    elif isinstance(want, dict):
        assert list(got) == list(want), where
        for k in want:
            assert_same(got[k], want[k], f"{where}.{k}")
    elif isinstance(want, list):
        assert len(got) == len(want), where
        for i, (g, w) in enumerate(zip(got, want)):
            assert_same(g, w, f"{where}[{i}]")
    else:
        assert got == want, where


@pytest.mark.parametrize("case", CASES, ids=lambda p: p.stem)
def test_every_example_case_gives_the_programs_json(case):
    assert_same(kvt.curves(case), program_json("--case", case))


def test_a_case_as_text_or_dict_and_the_overrides_give_the_programs_json():
    case = SOURCE / "apps/hxprops/cases/methanol_condenser.toml"
    want = program_json("--case", case, "--points", 4, "--spacing", "duty", "--table-pressures", "1.1 bar, 1.3 bar",
                        "--compositions")
    options = dict(points=4, spacing="duty", compositions=True)
    assert_same(kvt.curves(str(case), table_pressures="1.1 bar, 1.3 bar", **options), want)
    assert_same(kvt.curves(case.read_text(), table_pressures=["1.1 bar", "1.3 bar"], **options), want)
    assert_same(kvt.curves(tomllib.loads(case.read_text()), table_pressures="1.1 bar, 1.3 bar", **options), want)


# Water and steam over a sweep of states in one phase each (states within 0.2 % of the saturation
# pressure left out: their phase is a matter of rounding). Tolerances are IAPWS-IF97's own consistency
# between its regions, the Prague values (IAPWS R7-97(2012), section 10): v 0.05 %, h 0.2 kJ/kg (per
# state; 0.4 kJ/kg on a difference), cp 1 %; viscosity and conductivity 1 %, the lowest tolerance
# IF97-based tables give them (1-3 %); surface tension as IAPWS R1-76's equation, 1e-6.
WATER_T = [275 + 25 * i for i in range(22)]
WATER_P = [3e3, 1e5, 1e6, 5e6, 2e7]
WATER_STATES = [(t, p) for t in WATER_T for p in WATER_P if t > 647.096 or abs(p / (_PSat_T(t) * 1e6) - 1) > 2e-3]


def test_a_flash_of_water_is_iapws_if97_over_a_sweep():
    reference = kvt.flash({"water": 1.0}, 300.0, 1e5)["phases"]["stream"]["enthalpy"] - IAPWS97(T=300.0, P=0.1).h * 1e3
    for t, p in WATER_STATES:
        state = kvt.flash({"water": 1.0}, t, p)
        w = IAPWS97(T=t, P=p / 1e6)
        liquid = t < 647.096 and p > _PSat_T(t) * 1e6
        phase = state["phases"]["liquid1" if liquid else "vapour"]
        at = f"{t} K, {p} Pa"
        assert phase["mole_fraction"] == 1.0, at
        assert phase["density"] == pytest.approx(1 / w.v, rel=5e-4), at
        assert phase["enthalpy"] - reference == pytest.approx(w.h * 1e3, abs=400.0), at
        assert phase["heat_capacity"] == pytest.approx(w.cp * 1e3, rel=1e-2), at
        assert phase["viscosity"] == pytest.approx(w.mu, rel=1e-2), at
        assert phase["thermal_conductivity"] == pytest.approx(w.k, rel=1e-2), at
        if liquid:
            assert phase["surface_tension"] == pytest.approx(_Tension(t), rel=1e-6), at


def test_a_flash_gives_each_phase_its_flows_fractions_and_figures():
    state = kvt.flash(["n-hexane", "water"], "60 degC", "1 atm", fractions=[0.5, 0.5], free_water=True)
    assert state["components"] == ["n-hexane", "water"] and state["phase_set"] == "vapour-liquid-free-water"
    phases = state["phases"]
    assert set(phases) == {"stream", "liquid", "liquid1", "liquid2"}
    assert phases["stream"]["mole_flow"] == pytest.approx(1.0)
    assert phases["liquid2"]["mole_fractions"] == {"n-hexane": 0.0, "water": 1.0}
    assert sum(phases[p]["mole_fraction"] for p in ("liquid1", "liquid2")) == pytest.approx(1.0)
    assert phases["liquid1"]["mole_flow"] == pytest.approx(phases["liquid1"]["mole_fraction"])
    flows = kvt.flash({"n-hexane": "10 kg/s"}, 300, 1e5, method="peng-robinson")
    assert flows["method"] == "peng-robinson"
    assert flows["phases"]["stream"]["mass_flow"] == pytest.approx(10.0)


def test_components_lists_the_databanks_matches():
    water = kvt.components("7732-18-5")
    assert [(c["name"], c["cas"], c["formula"]) for c in water] == [("water", "7732-18-5", "H2O")]
    assert len(kvt.components()) > 100 and kvt.components("no such thing") == []


def case_with(**side0):
    """The default case with side 0 changed (its outlet given by a duty when one is given)."""
    case = tomllib.loads(CASES[0].read_text())
    if "duty" in side0:
        del case["side0"]["outlet_temperature"]
    case["side0"].update(side0)
    return case


# Each bad input and a part of its message.
BAD_INPUT = [
    (lambda: kvt.curves("no/such/case.toml"), "no/such/case.toml: cannot open the case file"),
    (lambda: kvt.curves("title = 'x'\n[side0]\n"), "<case text>:2: side0.pressure: missing"),
    (lambda: kvt.curves(case_with(flows={"benzne": 1.0})), "side0.flows.benzne: unknown component 'benzne'"),
    (lambda: kvt.curves(case_with(pressure="2.5 barr")), 'side0.pressure: unknown unit "barr"'),
    (lambda: kvt.curves(case_with(duty="-900 MW")), "side0.duty: the stream cannot release 900000.00 kW"),
    (lambda: kvt.curves(CROSSED), "temperature cross"),
    (lambda: kvt.curves(CASES[0], points=1), "points: 1 is outside 2 to 1000"),
    (lambda: kvt.curves(CASES[0], spacing="pressure"), 'spacing: "pressure" is not one of: temperature, duty, enthalpy'),
    (lambda: kvt.curves(CASES[0], table_pressures="2 furlongs"), "table_pressures:"),
    (lambda: kvt.curves(42), "case: expected a file's path"),
    (lambda: kvt.flash({"benzne": 1.0}, 300, 1e5), "components.benzne: unknown component 'benzne'"),
    (lambda: kvt.flash({"water": 1.0}, 3000, 1e5), "temperature: temperature 3000 K is outside"),
    (lambda: kvt.flash({"water": -1.0}, 300, 1e5), "components.water: negative flow"),
    (lambda: kvt.flash({"water": 1.0}, 300, "1 parsec"), 'pressure: unknown unit "parsec"'),
    (lambda: kvt.flash({"water": 1.0}, 300, 1e12), "pressure: pressure 1e+12 Pa is outside the host's range"),
    (lambda: kvt.flash({"water": 1.0}, 300, 1e5, method="best"), 'method: unknown method "best"'),
    (lambda: kvt.flash(["water", "methanol"], 300, 1e5, fractions=[0.5]), "fractions:"),
    (lambda: kvt.flash(["water"], 300, 1e5, fractions=[1.0], phases="liquid", free_water=True), "free_water:"),
]


@pytest.mark.parametrize("call,message", BAD_INPUT, ids=[m[:30] for _, m in BAD_INPUT])
def test_bad_input_raises_value_error_with_the_message(call, message, capfd):
    with pytest.raises(ValueError) as e:
        call()
    assert message in str(e.value)
    assert capfd.readouterr() == ("", "")  # nothing printed


def test_the_message_is_the_programs(tmp_path):
    bad = tmp_path / "bad.toml"
    bad.write_text(CASES[0].read_text().replace("n-hexane", "n-hexan"))
    with pytest.raises(ValueError) as e:
        kvt.curves(bad)
    assert hxprops("--case", bad).stderr == f"hxprops: error: {e.value}\n"


def curves_of(case):
    return kvt.curves(case)


def test_threads_and_processes_give_the_serial_results(capfd):
    serial = [kvt.curves(c) for c in CASES]
    with concurrent.futures.ThreadPoolExecutor(4) as pool:
        assert_same(list(pool.map(curves_of, CASES * 2)), serial * 2)
    with multiprocessing.get_context("fork").Pool(4) as pool:
        assert_same(pool.map(curves_of, CASES), serial)
    assert capfd.readouterr() == ("", "")


def test_cmake_install_puts_the_module_where_debians_python3_finds_it(tmp_path):
    folder = os.environ["KVT_PYTHON_INSTALL_DIR"]  # relative to the prefix
    assert f"/usr/local/{folder}" in sys.path and f"/usr/{folder}" in sys.path
    subprocess.run(["cmake", "--install", os.environ["KVT_BUILD_DIR"], "--prefix", tmp_path], check=True, capture_output=True)
    run = subprocess.run([sys.executable, "-c", "import kvt; print(kvt.__file__, kvt.components('water')[0]['cas'])"],
                         env=dict(os.environ, PYTHONPATH=str(tmp_path / folder)), cwd=tmp_path, capture_output=True, text=True)
    assert run.stdout == f"{tmp_path / folder / 'kvt/__init__.py'} 7732-18-5\n", run.stderr


def test_the_example_sweeps_a_condenser_and_prints_its_table():
    run = subprocess.run([sys.executable, SOURCE / "examples/python/condenser_pressure_sweep.py", "--table"],
                         capture_output=True, text=True)
    assert run.returncode == 0, run.stderr
    assert "1.00 bar" in run.stdout and "2.00 bar" in run.stdout
