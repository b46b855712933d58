// Finding a databank component by what an engineer types: its name in any case with blanks and
// hyphens folded ("n-Butane", "n butane"), a synonym ("isobutane", "2-methylpropane"), its CAS number
// ("74-98-6") or its formula where only one component has it ("CO2", "C3H8").
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "data/component.h"

namespace kvt::reference {

// The text as names are compared: lower case, without blanks, hyphens and underscores.
std::string fold_name(std::string_view text);

// The entry `text` names, tried in this order: canonical name, CAS number, synonym, formula. Throws
// Error when it names several (listing them with their CAS numbers) or none (naming the nearest; a text
// written as a CAS number whose check digit fails, or that no component has, says so).
const Entry& resolve_entry(const std::vector<Entry>& entries, std::string_view text);

// The entries whose name, a synonym, formula or CAS number contains `text` (folded); all when empty.
std::vector<const Entry*> search_entries(const std::vector<Entry>& entries, std::string_view text);

}  // namespace kvt::reference
