"""Gases dissolved in liquid water: the host's mole fraction of each gas in the water-rich liquid over
Henry's law with the constants of IAPWS G7-04 (python3-iapws) at the gas's partial pressure.

  PYTHONPATH=build/release/python /usr/bin/python3 scripts/henry_ratios.py [T_degC ...]

A feed of gas and water 1:1 is flashed at 2 bar (vapour-liquid, no free water) under the ideal and
the Peng-Robinson methods; 1.00 is Henry's law.
"""
import sys

import kvt
from iapws._iapws import _Henry

GASES = {"CO2": "carbon dioxide", "H2S": "hydrogen sulfide", "CH4": "methane", "N2": "nitrogen"}
PRESSURE = 2e5


def ratio(gas, t, method):
    s = kvt.flash({GASES[gas]: 0.5, "water": 0.5}, t, PRESSURE, method=method)
    x = s["phases"]["liquid1"]["mole_fractions"][GASES[gas]]
    y = s["phases"]["vapour"]["mole_fractions"][GASES[gas]]
    return x / (y * PRESSURE / (_Henry(t, gas) * 1e6))


temps = [float(a) for a in sys.argv[1:]] or [25.0, 80.0]
print("T [degC]  method         " + "".join(f"{g:>8}" for g in GASES))
for tc in temps:
    for method in ("ideal", "peng-robinson"):
        print(f"{tc:8.2f}  {method:14} " + "".join(f"{ratio(g, tc + 273.15, method):8.3f}" for g in GASES))
