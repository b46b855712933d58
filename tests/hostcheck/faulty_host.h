// The faulty stand-in host: the reference host with one fault injected at a time.
#pragma once

enum class Fault {
  none,
  status_beside_argument,  // WEND_FLASH writes its status one word past argument 20
  failure_not_flagged,     // a failed flash leaves VOKA_FLSCM2 at 0
  hot_flash,               // VOKA_STWKWK word 19 half a kelvin above the flash temperature
  duplicate_number,        // the component-number list names one component twice
  vapour_not_normalised,   // Y adds up to 1.05
  stale_vapour_fraction,   // the stream's vapour-fraction slot is left as it was
  heavy_vapour,            // TEBU_STWORK word 59 ten per cent above the vapour's molecular weight
  mole_flow_as_mass,       // TEBU_TOTMAS returns the mole flow
  steep_liquid,            // GOSA_ENTHL's heat capacity 1.2 times the enthalpy's slope
  nan_viscosity,           // GOSA_VISCV returns NaN
  negative_flag,           // GOSA_TCONL leaves -1 in the error flag
};

extern Fault fault;
