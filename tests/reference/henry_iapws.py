#!/usr/bin/python3
"""Writes henry_iapws.tsv, the Henry's constants of gases in water the host is checked against, from
Debian's python3-iapws (iapws._iapws._Henry, the correlation of IAPWS G7-04), for the gases of the
databank the guideline covers, 0-150 degC every 5 K.
Columns: cas, name (as the databank has it), T (K), kH (Pa).
Usage: /usr/bin/python3 tests/reference/henry_iapws.py > tests/reference/henry_iapws.tsv"""
import warnings

import iapws
from iapws._iapws import _Henry

GASES = [("124-38-9", "carbon dioxide", "CO2"), ("7783-06-4", "hydrogen sulfide", "H2S"), ("74-82-8", "methane", "CH4"),
         ("74-84-0", "ethane", "C2H6"), ("7727-37-9", "nitrogen", "N2"), ("7782-44-7", "oxygen", "O2"),
         ("1333-74-0", "hydrogen", "H2"), ("630-08-0", "carbon monoxide", "CO"), ("7440-37-1", "argon", "Ar")]

warnings.simplefilter("ignore")  # a few rows lie up to 5 K below a gas's fitted range, as the host takes them
print(f"# python3-iapws {iapws.__version__}: Henry's constants of IAPWS G7-04 (H2O solvent)")
for cas, name, formula in GASES:
    for i in range(31):
        t = 273.15 + 5.0 * i
        print(f"{cas}\t{name}\t{t:.2f}\t{_Henry(t, formula) * 1e6:.8e}")
