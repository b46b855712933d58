#!/usr/bin/python3
"""Writes iapws_water.csv, the reference table of water and steam the host's water formulation is
checked against, from Debian's python3-iapws (run with /usr/bin/python3; version recorded below).

States: a grid of temperatures 273.16-800 K and pressures 1 kPa-20 MPa, each in its stable phase
(states within 0.2 % of the saturation pressure are left out: their phase is a matter of rounding),
nine steam states at 1100-2000 K,
and the saturation line 273.16-620 K, liquid and vapour (to 645 K its pressure and surface tension).
Columns, SI per kg:
  kind   liquid | vapour (stable single phase) | saturated_liquid | saturated_vapour | saturation
  T      K;   P  Pa (the saturation pressure on the saturation rows)
  h      J/kg (the formulation's own reference: the triple-point liquid's u and s are zero)
  v      m3/kg;   cp  J/(kg K);   mu  Pa s;   k  W/(m K)
  sigma  N/m (saturation rows only, else empty)
Usage: /usr/bin/python3 tests/reference/iapws_water.py > tests/reference/iapws_water.csv"""
import iapws
from iapws import IAPWS97
from iapws.iapws97 import _PSat_T
from iapws._iapws import _Tension

TEMPERATURES = [273.16, 280, 290, 300, 320, 340, 360, 373.15, 380, 400, 425, 450, 475, 500, 525, 550, 575,
                600, 620, 630, 640, 650, 660, 680, 700, 725, 750, 775, 800]
PRESSURES = [1e3, 3e3, 1e4, 3e4, 1e5, 2e5, 5e5, 1e6, 2e6, 5e6, 1e7, 1.5e7, 1.8e7, 2e7]
# a few high-temperature states (region 5 above 1073.15 K)
HOT = [(t, p) for t in (1100, 1500, 2000) for p in (1e5, 2e6, 2e7)]
SATURATION = [273.16, 280, 300, 320, 340, 360, 373.15, 400, 425, 450, 475, 500, 525, 550, 575, 600, 620]
# Above 623.15 K the saturated phases lie in region 3, where python3-iapws takes the saturated densities
# from its own saturation solution rather than from region 3 at the saturation pressure (they differ by
# up to 1e-5 in v at 630 K); region 3 is covered by the single-phase rows, and only the saturation
# pressure and surface tension are tabulated there.
SATURATION_ONLY = [630, 640, 645]


def row(kind, t, p, w, sigma=""):
    print(f"{kind},{t:.10g},{p:.10g},{w.h * 1e3:.10e},{w.v:.10e},{w.cp * 1e3:.10e},{w.mu:.10e},{w.k:.10e},{sigma}")


print(f"# water and steam from python3-iapws {iapws.__version__} (IAPWS-IF97, R12-08, R15-11, R1-76(2014))")
print("kind,T,P,h,v,cp,mu,k,sigma")
for t in TEMPERATURES:
    for p in PRESSURES:
        if t < 647.096:
            ps = _PSat_T(t) * 1e6
            if abs(p / ps - 1.0) < 2e-3:
                continue
            kind = "liquid" if p > ps else "vapour"
        else:
            kind = "vapour"
        row(kind, t, p, IAPWS97(T=t, P=p / 1e6))
for t, p in HOT:
    row("vapour", t, p, IAPWS97(T=t, P=p / 1e6))
for t in SATURATION:
    ps = _PSat_T(t) * 1e6
    row("saturated_liquid", t, ps, IAPWS97(T=t, x=0), f"{_Tension(t):.10e}")
    row("saturated_vapour", t, ps, IAPWS97(T=t, x=1), f"{_Tension(t):.10e}")
for t in SATURATION_ONLY:
    print(f"saturation,{t:.10g},{_PSat_T(t) * 1e6:.10g},,,,,,{_Tension(t):.10e}")
