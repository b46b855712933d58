#include "flash/flash_system.h"

#include "models/henry.h"

namespace kvt::reference {

bool water_alone(const FlashSystem& sys, std::span<const double> x) {
  if (sys.water < 0 || !(x[static_cast<std::size_t>(sys.water)] > 0.0)) return false;
  for (std::size_t i = 0; i < x.size(); ++i) {
    if (static_cast<int>(i) != sys.water && x[i] > 0.0) return false;
  }
  return true;
}

FlashSystem flash_system(const Databank& db, std::vector<const Component*> components, Method method) {
  FlashSystem s;
  for (std::size_t i = 0; i < components.size(); ++i) {
    if (components[i]->name == "water") s.water = static_cast<int>(i);
  }
  s.pr = peng_robinson(components, db);
  if (method == Method::peng_robinson) add_liquid_correction(s.pr);
  if (method == Method::peng_robinson || method == Method::ideal) s.pr.aqueous = aqueous_solutes(components);
  if (method == Method::nrtl) s.nrtl = nrtl_data(db, components);
  s.components = std::move(components);
  s.method = method;
  return s;
}

}  // namespace kvt::reference
