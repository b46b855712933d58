"""The databank's equation forms evaluated in Python, as the host evaluates them (for the generator's
fits and checks)."""

import math

R_J_PER_MOL_K = 8.314462618  # Poling's Cp/R polynomials are converted with this


def value(entry, t):
    """Value of one correlation entry (a dict as written to the databank) at t."""
    c = entry.get("c", [])
    eq = entry["eq"]
    if eq == "dippr100":
        return sum(ci * t ** i for i, ci in enumerate(c))
    if eq == "dippr101":
        return math.exp(c[0] + c[1] / t + c[2] * math.log(t) + c[3] * t ** c[4])
    if eq == "dippr102":
        return c[0] * t ** c[1] / (1.0 + c[2] / t + c[3] / (t * t))
    if eq == "dippr105":
        return c[0] / c[1] ** (1.0 + (1.0 - t / c[2]) ** c[3])
    if eq == "dippr106":
        tr = t / entry["tc"]
        return c[0] * (1.0 - tr) ** (c[1] + c[2] * tr + c[3] * tr * tr)
    if eq == "dippr107":
        x, y = c[2] / t, c[4] / t
        return c[0] + c[1] * (x / math.sinh(x)) ** 2 + c[3] * (y / math.cosh(y)) ** 2
    if eq == "dippr114":
        u = 1.0 - t / entry["tc"]
        return (c[0] ** 2 / u + c[1] - 2 * c[0] * c[2] * u - c[0] * c[3] * u ** 2 - c[2] ** 2 * u ** 3 / 3
                - c[2] * c[3] * u ** 4 / 2 - c[3] ** 2 * u ** 5 / 5)
    raise ValueError(eq)


def pieces(prop):
    return prop if isinstance(prop, list) else [prop]


def at(prop, t):
    """The value of a property (one entry or several over adjacent ranges) at t."""
    ps = pieces(prop)
    for p in ps:
        if p["tmin"] <= t <= p["tmax"]:
            return value(p, t)
    nearest = min(ps, key=lambda p: min(abs(t - p["tmin"]), abs(t - p["tmax"])))
    return value(nearest, t)


def boiling_point(vp, p=101325.0):
    """T where the vapour-pressure correlation gives p, by bisection on ln P (the form is monotone),
    searching down to a third of the range's lower end."""
    ps = pieces(vp)
    lo, hi = ps[0]["tmin"] / 3.0, ps[-1]["tmax"]
    if at(vp, hi) < p:
        return None
    for _ in range(200):
        mid = 0.5 * (lo + hi)
        if at(vp, mid) < p:
            lo = mid
        else:
            hi = mid
    return 0.5 * (lo + hi)
