// The faulty stand-in host: the reference host with one fault injected at a time.
#pragma once

#include <cstdint>

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
  crashing_surface_tension,  // GOSA_SRFTEN dies of SIGSEGV
  hanging_vf_flash,        // a P-vapour-fraction flash never returns
  stale_temperature,       // P-H and P-vapour-fraction flashes leave VOKA_STWKWK word 19 as it was
  ignored_enthalpy,        // TEBU_SETH does nothing and the P-H flash ignores H
  enthalpy_per_kg,         // GOSA_ENTHL, GOSA_ENTHV per kg instead of per kmol
  volume_per_mol,          // molar volumes in m3/mol
  swapped_pure,            // GOSA_VTHRM and GOSA_LTHRM swapped
  viscosity_in_cp,         // GOSA_VISCV in cP
  nan_hot_liquid_viscosity,  // GOSA_VISCL NaN above 345 K
  no_water,                // NERO_IDXWAT always 0
  stray_word,              // WEND_FLASH writes one word past the component-number list
  split_of_second_liquid,  // VOKA_STWKWK word 23 holds the second liquid's share
  stale_enthalpy,          // T-P flashes leave the stream's enthalpy slot as it was
  ierr_one_after_good,     // a good flash leaves 1 in VOKA_FLSCOM word 1
  zero_conductivity,       // GOSA_TCONV returns 0
  zero_pressure_t_flash,   // T-H and T-vapour-fraction flashes leave 0 in VOKA_STWKWK word 20
  pressure_in_bar,         // T-H and T-vapour-fraction flashes write VOKA_STWKWK word 20 in bar
  stale_second_liquid_row,  // P-vapour-fraction flashes leave the second liquid's phase-table words
  dry_flash_good,          // a three-phase flash of a stream without flow judged good
  negative_vapour_entry,   // Y with a negative last entry, still adding up to 1
  first_liquid_as_liquid,  // X1 holds the whole liquid's X
  one_component_viscosity,  // GOSA_VISCL NaN for a liquid of one component
  two_phases_refused,      // a flash with a phase count of 2 refused, NaN left in Y
  water_method_needed,     // GOSA_VISCL NaN for pure water unless option word 1 is 2, the host's water method
  water_from_310_k,        // GOSA_LTHRM's enthalpy of water NaN below 310 K, its correlation's range
  reversed_vapour,         // Y in reverse order of the component-number list
  hot_th_flash,            // T-H flashes: VOKA_STWKWK word 19 half a kelvin above the flash temperature
  vf_beside_spec,          // P-vapour-fraction flashes: the vapour fraction 0.01 above the one specified
  split_above_one,         // a flash with one liquid leaves 1.5 in VOKA_STWKWK word 23
  strict_arguments,        // a flash refused unless its tolerance (argument 10) is above 0; LORI_PL001 NaN
                           // unless its codes are 1
  no_surface_tension,      // GOSA_SRFTEN returns 0, as a host without surface tensions may
};

extern Fault fault;

// PLEX position of the component-number list, from the host's blocks (kvt/host_layout.h).
int64_t component_list_position();
