#include "phase/option_copies.h"

#include <initializer_list>

#include "blocks/blocks.h"

namespace kvt::phase {

OptionCopies::OptionCopies(int64_t side) {
  const int64_t* list = option_list(side);
  for (auto& copy : copies_) {
    for (int k = 0; k < 6; ++k) copy[k] = list[k];
  }
  if (water_switch(side) != 1) return;
  const int64_t iwat = NERO_IDXWAT(host::complist_ptr(), host::flash_count_ptr());
  if (iwat <= 0) return;
  for (const Entry* e : {&kLiquid1, &kLiquid2}) {
    int64_t* copy = of(*e);
    if (host::comp_value(e->comp.word, iwat) == 1.0) copy[0] = copy[4];
  }
}

}  // namespace kvt::phase
