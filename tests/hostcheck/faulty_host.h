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
  strict_arguments,        // a flash refused unless its tolerance (argument 10) is above 0 and it has three phases
                           // exactly where free water is allowed (phase kind above 10); LORI_PL001 NaN unless its
                           // codes are 1
  no_surface_tension,      // GOSA_SRFTEN returns 0, as a host without surface tensions may
  // Hosts that do less than the reference host, and as much as the library needs:
  specified_slots_kept,    // P-H and T-H flashes leave the stream's enthalpy slot as given, P-VF and T-VF flashes
                           // its vapour-fraction slot
  one_liquid_alone,        // with one liquid (split 1) X1 and the first liquid's table words left as they were
  split_short_of_one,      // one liquid's split written 1 - 1e-12, the absent second liquid's X2 NaN
  heat_capacity_on_request,  // GOSA_ENTHL, GOSA_ENTHV: a NaN heat capacity unless their code asks for it (2)
  vacuum_refused,          // T-P flashes below 1 kPa refused, nothing written
  present_components_water_method,  // the flash lists only the components with flow; GOSA_VISCL as with
                                    // water_method_needed
  // More faults:
  status_in_first_record,  // a flash into a retention record counts itself in PLEX first_record
  heating_only_seth,       // TEBU_SETH never lowers the stream's temperature, and a vapour-liquid P-H flash is a T-P
                           // flash at the temperature TEBU_SETH set
  enthalpy_nan_cp_negative,  // GOSA_ENTHV's enthalpy NaN, GOSA_ENTHL's heat capacity negative
  flag_cleared,            // GOSA_VISCL clears the error flag to 0
  vapour_volume_per_kg,    // the vapour's molar volume in the phase table per kg
  nan_hot_vapour_viscosity,  // GOSA_VISCV NaN above 430 K
  liquid_viscosity_in_cp,  // GOSA_VISCL in cP
  dense_viscosity_in_cp,   // GOSA_VISCV in cP above 10 bar
  stale_after_failure,     // the flash after a failed flash writes the compositions of the flash before the failure
  enthalpy_of_flash_liquid,  // GOSA_ENTHL ignores its composition argument: it takes the last flash's X
  slow_flash,              // every flash takes 2 ms longer (a host that passes, slowly)
};

extern Fault fault;
extern int64_t first_record;  // PLEX position of the first integer retention record (status_in_first_record)

// PLEX position of the component-number list, from the host's blocks (kvt/host_layout.h).
int64_t component_list_position();
