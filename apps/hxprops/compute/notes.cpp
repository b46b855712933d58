#include "compute/notes.h"

#include <algorithm>
#include <cmath>

namespace hxprops {

namespace {

// Two raisings are one note when they are of one kind, from one routine, about one phase and
// component; a note that names none of these (an unclassified one), or one raised at no state (the
// component selection's, each a fact of its own about a component), is one by its text.
bool same_note(const SideNote& kept, const HostNote& n) {
  if (kept.kind != n.kind || kept.routine != n.routine || kept.phase != n.phase || kept.component != n.component) return false;
  const bool classified = n.kind != "other" || !n.component.empty() || !n.phase.empty();
  return (classified && std::isfinite(n.t)) || kept.text == n.text;
}

}  // namespace

std::vector<int> NoteBook::file(const std::vector<HostNote>& raised, double t, double p) {
  std::vector<int> indices;
  for (const HostNote& n : raised) {
    const double at_t = std::isfinite(n.t) ? n.t : t, at_p = std::isfinite(n.p) ? n.p : p;
    auto it = std::find_if(notes_.begin(), notes_.end(), [&](const SideNote& kept) { return same_note(kept, n); });
    if (it == notes_.end()) {
      notes_.push_back({"N" + std::to_string(notes_.size() + 1), n.kind, n.routine, n.phase, n.component, n.text, 0, at_t, at_t, at_p, at_p});
      it = notes_.end() - 1;
    }
    const int index = static_cast<int>(it - notes_.begin());
    if (std::find(indices.begin(), indices.end(), index) != indices.end()) continue;  // once per state
    indices.push_back(index);
    ++it->count;
    it->t_min = std::min(it->t_min, at_t);
    it->t_max = std::max(it->t_max, at_t);
    it->p_min = std::min(it->p_min, at_p);
    it->p_max = std::max(it->p_max, at_p);
  }
  std::sort(indices.begin(), indices.end());
  return indices;
}

std::string note_codes(const std::vector<int>& indices, const std::vector<SideNote>& notes) {
  std::string out;
  for (const int i : indices) out += (out.empty() ? "" : ";") + notes[static_cast<std::size_t>(i)].code;
  return out;
}

std::string note_line(const SideNote& n, UnitSystem u) {
  const auto range = [u](double lo, double hi, Dimension d, int decimals) {
    const std::string a = quantity_text(lo, d, u, decimals);
    return lo == hi ? a : quantity_text(lo, d, u, decimals) + " to " + quantity_text(hi, d, u, decimals);
  };
  return n.code + "  at " + std::to_string(n.count) + (n.count == 1 ? " row, " : " rows, ") +
         range(n.t_min, n.t_max, Dimension::Temperature, 2) + ", " + range(n.p_min, n.p_max, Dimension::Pressure, -1) + ": " + n.text;
}

}  // namespace hxprops
