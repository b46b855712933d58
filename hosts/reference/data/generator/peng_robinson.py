"""The Peng-Robinson equation for a pure component, as the host evaluates it, and the fit of its alpha
function to a component's vapour-pressure correlation.

Below Tc, Mathias and Copeman's three-constant form (MATHIAS83):
    alpha(Tr) = (1 + c1 x + c2 x^2 + c3 x^3)^2,  x = 1 - sqrt(Tr),
linear in c1..c3 for sqrt(alpha): the fit solves for them by the least largest error in the
saturation temperature at the correlation's pressure, over Tr 0.45-0.95. Above Tc no vapour pressure
constrains alpha: there it is the generalised 1976/1978 kappa form (which keeps a dense gas's
attraction) times a correction exp((a u + b u^2 + d u^3) exp(-u / w)), u = Tr - 1, whose a, b and d give
ln alpha the fitted form's first three derivatives at Tc (so no heat capacity steps there) and which
has died away by Tr 1 + 4 w. alpha(1) = 1 on both sides: the equation's critical point stays the
databank's Tc and Pc.
"""

import math

R = 8314.46261815324  # J/(kmol K), as the host
OMEGA_B = 0.0777960739038885
OMEGA_A = 0.457235528921382
SQRT2 = math.sqrt(2.0)


# Width in Tr over which the alpha above Tc passes from the fitted form to the kappa form (the host: kAlphaJoinWidth).
JOIN_WIDTH = 0.1


def kappa(omega):
    if omega <= 0.491:
        return 0.37464 + omega * (1.54226 - 0.26992 * omega)
    return 0.379642 + omega * (1.48503 + omega * (-0.164423 + omega * 0.016666))


def kappa_alpha(omega, tr):
    """The 1976/1978 kappa form, the host's alpha for a component without fitted constants."""
    s = 1.0 + kappa(omega) * (1.0 - math.sqrt(tr))
    return s * s


def _ln_alpha_derivatives_at_tc(c1, c2, c3):
    """d/dTr, d2/dTr2, d3/dTr3 of ln alpha at Tc for the Mathias-Copeman form."""
    s1, s2, s3 = -c1 / 2.0, c2 / 2.0 + c1 / 4.0, -0.75 * c3 - 0.75 * c2 - 0.375 * c1
    return 2.0 * s1, 2.0 * (s2 - s1 * s1), 2.0 * (s3 - 3.0 * s1 * s2 + 2.0 * s1 ** 3)


def alpha(c, omega, tr):
    """The databank's alpha: Mathias-Copeman constants c below Tc, the joined kappa form above."""
    if tr <= 1.0:
        x = 1.0 - math.sqrt(tr)
        s = 1.0 + x * (c[0] + x * (c[1] + x * c[2]))
        return s * s
    k, w, u = kappa(omega), JOIN_WIDTH, tr - 1.0
    fit, gen = _ln_alpha_derivatives_at_tc(*c), _ln_alpha_derivatives_at_tc(k, 0.0, 0.0)
    a = fit[0] - gen[0]
    b = (fit[1] - gen[1] + 2.0 * a / w) / 2.0
    d = (fit[2] - gen[2] + 6.0 * b / w - 3.0 * a / (w * w)) / 6.0
    return kappa_alpha(omega, tr) * math.exp(u * (a + u * (b + u * d)) * math.exp(-u / w))


def _cubic_roots(c2, c1, c0):
    """Real roots of z^3 + c2 z^2 + c1 z + c0, ascending."""
    q = (c2 * c2 - 3.0 * c1) / 9.0
    r = (2.0 * c2 ** 3 - 9.0 * c2 * c1 + 27.0 * c0) / 54.0
    if r * r < q ** 3:
        th = math.acos(max(-1.0, min(1.0, r / math.sqrt(q ** 3))))
        z = [-2.0 * math.sqrt(q) * math.cos((th + 2.0 * math.pi * k) / 3.0) - c2 / 3.0 for k in (0, 1, -1)]
    else:
        a = -math.copysign((abs(r) + math.sqrt(r * r - q ** 3)) ** (1.0 / 3.0), r)
        z = [a + (q / a if a != 0.0 else 0.0) - c2 / 3.0]
    out = []
    for x in z:
        for _ in range(3):
            f = ((x + c2) * x + c1) * x + c0
            df = (3.0 * x + 2.0 * c2) * x + c1
            if df != 0.0:
                x -= f / df
        out.append(x)
    return sorted(out)


def _roots(a_coef, big_b):
    return [z for z in _cubic_roots(-(1.0 - big_b), a_coef - 3.0 * big_b ** 2 - 2.0 * big_b,
                                     -(a_coef * big_b - big_b ** 2 - big_b ** 3)) if z > big_b]


def _ln_phi(z, a_coef, big_b):
    lt = math.log((z + (1.0 + SQRT2) * big_b) / (z + (1.0 - SQRT2) * big_b))
    return z - 1.0 - math.log(z - big_b) - a_coef / (2.0 * SQRT2 * big_b) * lt


class Pure:
    def __init__(self, tc, pc):
        self.tc, self.pc = tc, pc
        self.ac = OMEGA_A * R * R * tc * tc / pc
        self.b = OMEGA_B * R * tc / pc

    def saturation(self, t, alpha, p_start):
        """(P, v_liquid, v_vapour) at saturation at T with this alpha, or None when the equation has no
        two-phase state there. Successive substitution P <- P phi_L / phi_V from p_start."""
        a = self.ac * alpha
        p = p_start
        for _ in range(200):
            big_a = a * p / (R * t) ** 2
            big_b = self.b * p / (R * t)
            z = _roots(big_a, big_b)
            if len(z) < 2:
                # one root: step towards the side where two appear
                p *= 0.7 if z and z[0] / big_b < 0.3074 / OMEGA_B else 1.3
                continue
            d = _ln_phi(z[0], big_a, big_b) - _ln_phi(z[-1], big_a, big_b)
            p *= math.exp(d)
            if abs(d) < 1e-11:
                return p, z[0] * R * t / p, z[-1] * R * t / p
        return None


def _temperature_slope(comp_psat, t):
    """d ln Psat / dT of the correlation: an error in ln P divided by it is one in T."""
    return (math.log(comp_psat(t * (1.0 + 1e-6))) - math.log(comp_psat(t * (1.0 - 1e-6)))) / (2e-6 * t)


def _solve3(m, r):
    """Solution of the 3x3 system m x = r (Cramer), None when singular."""
    def det(a):
        return (a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) - a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0])
                + a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]))
    d = det(m)
    if d == 0.0:
        return None
    out = []
    for j in range(3):
        a = [[r[i] if k == j else m[i][k] for k in range(3)] for i in range(3)]
        out.append(det(a) / d)
    return out


def _plausible(c, tr_lo):
    """alpha positive from Tr 0.2 to Tc, and falling with T from tr_lo to Tc (tr_lo above 1: not asked)."""
    prev = None
    for i in range(81):
        tr = 1.0 - 0.01 * i  # from Tc down to Tr 0.2
        x = 1.0 - math.sqrt(tr)
        s = 1.0 + x * (c[0] + x * (c[1] + x * c[2]))
        if s <= 0.0 or (prev is not None and tr >= tr_lo and s <= prev):
            return False
        prev = s
    return True


def fit_alpha(comp_psat, tc, pc, tr_lo=0.45, tr_hi=0.95, npoints=41, falling=True):
    """Mathias-Copeman constants (c1, c2, c3) fitted to the correlation's saturation temperature over Tr
    tr_lo..tr_hi (the least largest error in T at the correlation's pressure), and that error in K.
    falling: alpha must fall with T over the range (not asked of the quantum gases, hydrogen and neon,
    whose attraction the form only follows)."""
    eos = Pure(tc, pc)
    xs, ys, ws = [], [], []
    for i in range(npoints):
        tr = tr_lo + (tr_hi - tr_lo) * i / (npoints - 1)
        t = tr * tc
        target = comp_psat(t)
        # secant on ln alpha until the equation's Psat is the correlation's
        la0, la1 = math.log(kappa_alpha(0.2, tr)), math.log(kappa_alpha(0.2, tr)) + 0.02
        def err(la):
            s = eos.saturation(t, math.exp(la), target)
            return None if s is None else math.log(s[0] / target)
        e0, e1 = err(la0), err(la1)
        if e0 is None or e1 is None:
            continue
        sens = (e1 - e0) / (la1 - la0)
        for _ in range(40):
            if e1 == e0:
                break
            la0, la1, e0 = la1, la1 - e1 * (la1 - la0) / (e1 - e0), e1
            e1 = err(la1)
            if e1 is None:
                break
            if abs(e1) < 1e-10:
                sens = (e1 - e0) / (la1 - la0) if la1 != la0 else sens
                break
        if e1 is None or abs(e1) > 1e-8:
            continue
        root = math.exp(0.5 * la1)
        xs.append(1.0 - math.sqrt(tr))
        ys.append(root - 1.0)
        # K per unit error in sqrt(alpha): d ln alpha = 2 d sqrt(alpha) / sqrt(alpha)
        ws.append(abs(sens) * 2.0 / root / _temperature_slope(comp_psat, t))
    if len(xs) < 5:
        return None
    # the least largest error: Lawson's iteration, reweighting least squares by the errors
    u = [1.0] * len(xs)
    best = None
    for _ in range(60):
        m = [[0.0] * 3 for _ in range(3)]
        r = [0.0] * 3
        for x, y, w, ui in zip(xs, ys, ws, u):
            f = (x, x * x, x ** 3)
            for i in range(3):
                r[i] += w * w * ui * f[i] * y
                for j in range(3):
                    m[i][j] += w * w * ui * f[i] * f[j]
        c = _solve3(m, r)
        if c is None:
            break
        res = [w * abs(x * (c[0] + x * (c[1] + x * c[2])) - y) for x, y, w in zip(xs, ys, ws)]
        if _plausible(c, tr_lo if falling else 2.0) and (best is None or max(res) < best[0]):
            best = (max(res), c)
        total = sum(ui * ri for ui, ri in zip(u, res))
        if total == 0.0:
            break
        u = [ui * ri / total for ui, ri in zip(u, res)]
    if best is None:
        return None
    c = [round_sig(x) for x in best[1]]
    return c, deviation(c, comp_psat, tc, pc, tr_lo, tr_hi)


def deviation(c, comp_psat, tc, pc, tr_lo, tr_hi, npoints=51):
    """Largest |T_equation - T_correlation| in K over Tr tr_lo..tr_hi at the correlation's pressure."""
    eos = Pure(tc, pc)
    worst = 0.0
    for i in range(npoints):
        tr = tr_lo + (tr_hi - tr_lo) * i / (npoints - 1)
        t = tr * tc
        target = comp_psat(t)
        s = eos.saturation(t, alpha(c, 0.0, tr), target)
        if s is None:
            return float("inf")
        worst = max(worst, abs(math.log(s[0] / target)) / _temperature_slope(comp_psat, t))
    return worst


def round_sig(x, digits=7):
    return float(f"{x:.{digits}g}")
