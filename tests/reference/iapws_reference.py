#!/usr/bin/python3
"""Reference values for water from the IAPWS formulations (Debian's python3-iapws).

Prints one line per point: quantity, temperature in K, value in SI units (Pa, kg/m3, J/(kg K),
Pa s, W/(m K), N/m). Liquid points are at 1 atm from 280 to 370 K, vapour points at 1 atm from 380
to 600 K, saturation pressures from 280 to 600 K."""
from iapws import IAPWS97
from iapws.iapws97 import _PSat_T
from iapws._iapws import _Tension

ATM = 0.101325  # MPa
for t in range(280, 601, 20):
    print("psat", t, _PSat_T(t) * 1e6)
for t in range(280, 371, 10):
    w = IAPWS97(T=t, P=ATM)
    print("rho_l", t, w.rho)
    print("cp_l", t, w.cp * 1e3)
    print("mu_l", t, w.mu)
    print("k_l", t, w.k)
    print("sigma", t, _Tension(t))
for t in range(380, 601, 20):
    v = IAPWS97(T=t, P=ATM)
    print("cp_v", t, v.cp * 1e3)
    print("mu_v", t, v.mu)
    print("k_v", t, v.k)
