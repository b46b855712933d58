// add_assay (kvt_reference/reference_host.h): an assay's cuts added to the loaded databank.
#include <cmath>
#include <string>

#include "data/assay.h"
#include "data/distillation.h"
#include "host/host_state.h"
#include "kvt_reference/reference_host.h"

namespace kvt::reference {

namespace {

// The shared name of a cut: its boiling point to the degree, with a number when a different cut
// already has it.
const Component& named_cut(Databank& db, const PseudoCut& cut) {
  const std::string base = "NBP " + std::to_string(static_cast<long>(std::lround(cut.tb - 273.15))) + " degC";
  for (int n = 1;; ++n) {
    const std::string name = n == 1 ? base : base + " #" + std::to_string(n);
    const Component* known = db.find(name);
    if (known == nullptr) return db.add(pseudo_component(name, cut.tb, cut.sg));
    if (known->characterised && std::abs(known->tb - cut.tb) < 1e-9 && std::abs(pseudo_component(name, cut.tb, cut.sg).mw - known->mw) < 1e-9)
      return *known;
  }
}

}  // namespace

std::vector<PseudoComponent> add_assay(const Assay& assay) {
  if (!host().loaded) load_databank();
  const std::vector<PseudoCut> cuts = cut_curve(true_boiling_curve(assay.curve, assay.tbp), assay.specific_gravity, assay.cuts, assay.cut_width);
  std::vector<PseudoComponent> out;
  double mass = 0.0, moles = 0.0;
  for (const PseudoCut& cut : cuts) {
    const Component& c = named_cut(host().databank, cut);
    PseudoComponent p{c.name, cut.volume_share, cut.volume_share * cut.sg, 0.0, c.tb, cut.sg, c.mw, c.tc, c.pc, c.omega};
    mass += p.mass_share;
    moles += p.mass_share / p.mw;
    out.push_back(p);
  }
  for (PseudoComponent& p : out) {
    p.mole_share = p.mass_share / p.mw / moles;
    p.mass_share /= mass;
  }
  return out;
}

}  // namespace kvt::reference
