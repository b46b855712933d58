// Packed compositions of the last flash (see host/packed.h for where they live).
#pragma once

namespace kvt {

// For the liquid, first liquid, second liquid and vapour in that order: keep the flash components
// whose mole fraction is above 1e-10, in flash-component order, with their component numbers.
void pack_compositions();

}  // namespace kvt
