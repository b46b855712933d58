#include "properties/skeleton.h"

#include <initializer_list>

#include "kvt/kvt.h"

namespace kvt::props {

OptionCopies::OptionCopies(int64_t side) {
  const int64_t* list = option_list(side);
  for (auto& copy : copies_) {
    for (int k = 0; k < 6; ++k) copy[k] = list[k];
  }
  if (water_switch(side) != 1) return;
  const int64_t iwat = NERO_IDXWAT(host::complist_ptr(), host::flash_count_ptr());
  if (iwat <= 0) return;
  for (Phase ph : {Phase::Liquid1, Phase::Liquid2}) {
    int64_t* copy = of(ph);
    if (host::comp_value(composition(ph), iwat) == 1.0) copy[0] = copy[4];
  }
}

}  // namespace kvt::props
