"""Checks of each generated component against its own tables, as an engineer would check a new
databank entry. A component failing one is left out of the databank with its reason."""

import correlations
import peng_robinson as pr

TB_TOLERANCE_K = 0.5          # the vapour-pressure fit at the normal boiling point
HVAP_TOLERANCE = 0.05         # heat of vaporisation at Tb against Clausius-Clapeyron on the fit
CP_TOLERANCE = 0.01           # ideal-gas Cp at 298.15 K against Poling's tabulated value


def check(rec, poling_cp298, alpha_c):
    """(figures, failures): figures is a dict of the measured deviations; failures lists the checks
    failed, each as a sentence."""
    figures, failures = {}, []
    vp = rec["vapour_pressure"]
    tb = correlations.boiling_point(vp)
    figures["tb_k"] = None if tb is None else tb - rec["tb"]
    if tb is None or abs(tb - rec["tb"]) > TB_TOLERANCE_K:
        failures.append(f"the vapour-pressure fit gives 101 325 Pa {figures['tb_k']} K from Tb")

    # Clausius-Clapeyron on the fit at Tb (or, for a Tb below the liquid's ranges, as carbon dioxide's
    # below its triple point, at their lower end): dH = T (v_V - v_L) dP/dT, volumes from the equation
    t = max(rec["tb"], correlations.pieces(vp)[0]["tmin"], correlations.pieces(rec["heat_of_vaporisation"])[0]["tmin"])
    p = correlations.at(vp, t)
    dpdt = (correlations.at(vp, t * (1 + 1e-6)) - correlations.at(vp, t * (1 - 1e-6))) / (2e-6 * t)
    eos = pr.Pure(rec["tc"], rec["pc"])
    a = eos.ac * pr.alpha(alpha_c, rec["omega"], t / rec["tc"])
    z = pr._roots(a * p / (pr.R * t) ** 2, eos.b * p / (pr.R * t))
    hv = correlations.at(rec["heat_of_vaporisation"], t)
    if len(z) >= 1:
        v_v = z[-1] * pr.R * t / p
        v_l = (z[0] if len(z) > 1 else 0.0) * pr.R * t / p
        cc = t * (v_v - v_l) * dpdt
        figures["hvap"] = hv / cc - 1.0
        if abs(figures["hvap"]) > HVAP_TOLERANCE:
            failures.append(f"the heat of vaporisation at Tb is {100 * figures['hvap']:+.1f} % from "
                            "Clausius-Clapeyron on the vapour-pressure fit")
    if poling_cp298 is not None:
        cp = correlations.at(rec["ideal_gas_cp"], 298.15) / 1000.0
        figures["cp298"] = cp / poling_cp298 - 1.0
        if abs(figures["cp298"]) > CP_TOLERANCE:
            failures.append(f"the ideal-gas Cp at 298.15 K is {100 * figures['cp298']:+.2f} % from Poling's")
    return figures, failures

