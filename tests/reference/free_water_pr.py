#!/usr/bin/python3
"""An independent three-phase calculation of the reference host's Peng-Robinson method with free water.

The model: every phase's organics by the Peng-Robinson equation with the databank's constants,
Mathias-Copeman alpha, k_ij and volume translation; water in the vapour by the same equation; the
free water a pure liquid whose fugacity is IAPWS-IF97's saturation pressure times the equation's
saturated-vapour fugacity coefficient times the Poynting factor of IF97's liquid volume; water
does not dissolve in the organic liquid. Written apart from the host's code (python3-iapws for
water); it prints, per case, the first and second dew points and the vapour fraction at test
temperatures:

    /usr/bin/python3 tests/reference/free_water_pr.py
"""
import math
import tomllib
from pathlib import Path

from iapws import IAPWS97

R = 8314.462618
OB, OA = 0.0777960739038885, 0.457235528921382
DB = tomllib.loads((Path(__file__).parents[2] / "hosts/reference/data/databank.toml").read_text())
COMPONENTS = {c["name"]: c for c in DB["component"]}
KIJ = {frozenset(p[:2]): p[2] for p in DB["peng_robinson_kij"]["pairs"]}


def piece(entry, t):
    pieces = entry if isinstance(entry, list) else [entry]
    return next((e for e in pieces if e["tmin"] <= t <= e["tmax"]), pieces[-1])


def alpha(c, tr):
    c1, c2, c3 = c["alpha"]["c"]
    if tr <= 1.0:
        x = 1.0 - math.sqrt(tr)
        return (1.0 + c1 * x + c2 * x * x + c3 * x ** 3) ** 2
    om = c["omega"]
    k = 0.37464 + om * (1.54226 - 0.26992 * om) if om <= 0.491 else 0.379642 + om * (1.48503 + om * (-0.164423 + om * 0.016666))

    def derivatives(a1, a2, a3):  # of ln alpha with respect to Tr at Tc
        s1, s2, s3 = -a1 / 2, a2 / 2 + a1 / 4, -0.75 * a3 - 0.75 * a2 - 0.375 * a1
        return 2 * s1, 2 * (s2 - s1 * s1), 2 * (s3 - 3 * s1 * s2 + 2 * s1 ** 3)

    f, g, w, u = derivatives(c1, c2, c3), derivatives(k, 0, 0), 0.1, tr - 1.0
    a = f[0] - g[0]
    b = (f[1] - g[1] + 2 * a / w) / 2
    d = (f[2] - g[2] + 6 * b / w - 3 * a / w ** 2) / 6
    return (1 + k * (1 - math.sqrt(tr))) ** 2 * math.exp(u * (a + u * (b + u * d)) * math.exp(-u / w))


def saturation(c, t):  # vapour pressure (Pa) and saturated liquid volume (m3/kmol)
    if c["name"] == "water":
        st = IAPWS97(T=t, x=0)
        return st.P * 1e6, c["mw"] / st.rho
    a, b, cc, d, e = (piece(c["vapour_pressure"], t)["c"] + [0] * 5)[:5]
    q = piece(c["liquid_density"], t)["c"]
    return math.exp(a + b / t + cc * math.log(t) + d * t ** e), q[1] ** (1 + (1 - t / q[2]) ** q[3]) / q[0]


class Equation:
    def __init__(self, names):
        self.c = [COMPONENTS[n] for n in names]
        self.k = [[0.0 if i == j else KIJ.get(frozenset((i, j)), 0.0) for j in names] for i in names]
        self.shift = []
        for c in self.c:
            t = 0.7 * c["tc"]
            ps, vl = saturation(c, t)
            self.shift.append(0.0)
            z = Equation.phase(self, t, ps, [1.0 if d is c else 0.0 for d in self.c], liquid=True)[0]
            self.shift[-1] = z * R * t / ps - vl

    def phase(self, t, p, x, liquid):  # translated Z and ln phi
        s = sum(x)
        x = [v / s for v in x]
        ai = [OA * (R * c["tc"]) ** 2 / c["pc"] * alpha(c, t / c["tc"]) for c in self.c]
        bi = [OB * R * c["tc"] / c["pc"] for c in self.c]
        n = len(x)
        sa = [sum(x[j] * math.sqrt(ai[i] * ai[j]) * (1 - self.k[i][j]) for j in range(n)) for i in range(n)]
        a, b = sum(x[i] * sa[i] for i in range(n)), sum(x[i] * bi[i] for i in range(n))
        A, B = a * p / (R * t) ** 2, b * p / (R * t)
        # Z^3 - (1 - B) Z^2 + (A - 3B^2 - 2B) Z - (AB - B^2 - B^3) = 0 by Newton from either end
        f = lambda z: ((z - (1 - B)) * z + (A - 3 * B * B - 2 * B)) * z - (A * B - B * B - B ** 3)
        df = lambda z: (3 * z - 2 * (1 - B)) * z + (A - 3 * B * B - 2 * B)
        z = B * 1.0001 if liquid else 1.0
        for _ in range(200):
            z = max(z - f(z) / df(z), B * (1 + 1e-12))
        lt = math.log((z + (1 + math.sqrt(2)) * B) / (z + (1 - math.sqrt(2)) * B))
        shift = sum(x[i] * self.shift[i] for i in range(n)) if len(self.shift) == n else 0.0
        sh = self.shift if len(self.shift) == n else [0.0] * n
        lnphi = [bi[i] / b * (z - 1) - math.log(z - B) - A / (2 * math.sqrt(2) * B) * (2 * sa[i] / a - bi[i] / b) * lt
                 - sh[i] * p / (R * t) for i in range(n)]
        return z - shift * p / (R * t), lnphi


def free_water_fugacity(eq, w, t, p):
    ps, _ = saturation(eq.c[w], t)
    pure = [1.0 if i == w else 0.0 for i in range(len(eq.c))]
    vl = eq.c[w]["mw"] / IAPWS97(T=t, P=p / 1e6).rho
    return ps * math.exp(eq.phase(t, ps, pure, liquid=False)[1][w] + vl * (p - ps) / (R * t))


def flash(eq, w, z, t, p):
    """Vapour, organic-liquid and free-water amounts per kmol of feed at T, P."""
    org = [i for i in range(len(z)) if i != w and z[i] > 0]
    kk = {i: eq.c[i]["pc"] / p * math.exp(5.373 * (1 + eq.c[i]["omega"]) * (1 - eq.c[i]["tc"] / t)) for i in org}
    nw, f_free = z[w], free_water_fugacity(eq, w, t, p)  # water in the vapour; the free water's fugacity
    for _ in range(500):
        f = sum(z[i] for i in org) + nw  # what the vapour and the organic liquid share; water in the vapour only
        rr = lambda b: sum(z[i] / f * (kk[i] - 1) / (1 + b * (kk[i] - 1)) for i in org) + nw / f / b
        b = 1.0
        if rr(1.0) < 0:
            lo, hi = 1e-15, 1.0
            for _ in range(100):
                lo, hi = ((lo + hi) / 2, hi) if rr((lo + hi) / 2) > 0 else (lo, (lo + hi) / 2)
            b = (lo + hi) / 2
        x = [0.0] * len(z)
        for i in org:
            x[i] = z[i] / f / (1 + b * (kk[i] - 1))  # at b = 1 the incipient liquid
        y = [kk[i] * x[i] if i in kk else 0.0 for i in range(len(z))]
        y[w] = nw / f / b
        lnv, lnl = eq.phase(t, p, y, liquid=False)[1], eq.phase(t, p, x, liquid=True)[1]
        new = {i: math.exp(lnl[i] - lnv[i]) for i in org}
        yw = f_free / (p * math.exp(lnv[w]))  # water's mole fraction beside free water
        organics_in_vapour = b * f - nw
        nw_new = min(z[w], yw / (1 - yw) * organics_in_vapour)
        change = max(abs(math.log(new[i] / kk[i])) for i in org) + abs(nw_new - nw)
        kk, nw = new, nw_new
        if change < 1e-13:
            break
    return {"vapour": b * f, "organic": (1 - b) * f, "water": z[w] - nw}


def boundary(eq, w, z, p, t_hi, t_lo, phase):
    """The highest temperature in (t_lo, t_hi) where the phase ('organic' or 'water') appears, or None."""
    if flash(eq, w, z, t_lo, p)[phase] <= 1e-12:
        return None
    for _ in range(36):
        mid = 0.5 * (t_lo + t_hi)
        t_lo, t_hi = (mid, t_hi) if flash(eq, w, z, mid, p)[phase] > 1e-12 else (t_lo, mid)
    return 0.5 * (t_lo + t_hi)


CASES = [  # name, components, mole fractions, pressure (Pa), search range (K), test temperatures (K)
    ("n-hexane/water", ["n-hexane", "water"], [0.5, 0.5], 101325.0, (325.0, 345.0), []),
    ("C3/C4/C5 with water", ["propane", "n-butane", "n-pentane", "water"], [0.3, 0.3, 0.3, 0.1], 2e6, (360.0, 380.0), []),
    ("overhead vapour", ["n-hexane", "n-heptane", "water", "nitrogen"], [0.4, 0.2, 1 / 3, 0.2 / 3], 2.5e5,
     (360.0, 372.0), [367.75, 365.0]),
    ("sour gas 20 bar", ["methane", "carbon dioxide", "hydrogen sulfide", "propane", "n-butane", "water"],
     [0.70, 0.08, 0.05, 0.05, 0.02, 0.10], 20e5, (274.0, 420.0), [380.0]),
    ("sour gas 30 bar", ["methane", "carbon dioxide", "hydrogen sulfide", "propane", "n-butane", "water"],
     [0.70, 0.08, 0.05, 0.05, 0.02, 0.10], 30e5, (274.0, 420.0), [297.07]),
    ("sour gas 50 bar", ["methane", "carbon dioxide", "hydrogen sulfide", "propane", "n-butane", "water"],
     [0.70, 0.08, 0.05, 0.05, 0.02, 0.10], 50e5, (274.0, 440.0), [400.0]),
    ("wet hydrogen sulfide 20 bar", ["hydrogen sulfide", "water"], [0.9, 0.1], 20e5, (290.0, 420.0), []),
    ("wet hydrogen sulfide 30 bar", ["hydrogen sulfide", "water"], [0.9, 0.1], 30e5, (300.0, 420.0), [297.5, 311.0]),
]

if __name__ == "__main__":
    print("# free-water dew points (K) and vapour fractions of the host's Peng-Robinson model, computed apart by")
    print("# tests/reference/free_water_pr.py (python3-iapws for water); case, pressure Pa, organic dew K, water dew K,")
    print("# then T K and vapour fraction pairs")
    for name, names, z, p, (lo, hi), temps in CASES:
        eq = Equation(names)
        w = names.index("water")
        org = boundary(eq, w, z, p, hi, lo, "organic")
        wat = boundary(eq, w, z, p, hi, lo, "water")
        cols = [name, f"{p:.0f}"] + ["-" if b is None else f"{b:.4f}" for b in (org, wat)]
        for t in temps:
            cols += [f"{t}", f"{flash(eq, w, z, t, p)['vapour']:.6f}"]
        print("\t".join(cols))
