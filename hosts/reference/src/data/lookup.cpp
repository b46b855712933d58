#include "data/lookup.h"

#include <algorithm>
#include <cctype>

#include "kvt_reference/reference_host.h"

namespace kvt::reference {

namespace {

// Edit distance (insertions, deletions, substitutions) between two folded names.
std::size_t distance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diag = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t up = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diag + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diag = up;
    }
  }
  return row[b.size()];
}

std::string described(const Entry& e) { return e.name + (e.cas.empty() ? "" : " (" + e.cas + ")"); }

// The entries' folded synonyms, folded once, when a lookup first gets past names and CAS numbers.
void fold_synonyms(const std::vector<Entry>& entries) {
  for (const Entry& e : entries) {
    if (e.folded.size() > 3 || e.synonyms.empty()) continue;
    for (const std::string& s : e.synonyms) e.folded.push_back(fold_name(s));
  }
}

// The check digit of a text written as a CAS registry number (2 to 7 digits, 2 digits and 1 digit,
// joined by hyphens): the sum of its other digits, each times its place counted from the right, modulo
// 10; -1 when the text is not so written.
int cas_check_digit(std::string_view text) {
  const std::size_t first = text.find('-'), second = text.rfind('-');
  const auto digits = [](std::string_view d) { return !d.empty() && std::all_of(d.begin(), d.end(), [](char ch) { return ch >= '0' && ch <= '9'; }); };
  if (first < 2 || first > 7 || second != first + 3 || text.size() != second + 2 || !digits(text.substr(0, first)) ||
      !digits(text.substr(first + 1, 2)) || !digits(text.substr(second + 1))) {
    return -1;
  }
  int sum = 0, place = 1;
  for (auto it = text.rbegin() + 2; it != text.rend(); ++it) {
    if (*it != '-') sum += (*it - '0') * place++;
  }
  return sum % 10;
}

}  // namespace

std::string fold_name(std::string_view text) {
  std::string out;
  for (unsigned char ch : text) {
    if (ch == ' ' || ch == '-' || ch == '_' || ch == '\t') continue;
    out.push_back(static_cast<char>(std::tolower(ch)));
  }
  return out;
}

const Entry& resolve_entry(const std::vector<Entry>& entries, std::string_view text) {
  const std::string key = fold_name(text);
  // tiers: the name (folded[0]), the CAS number (1), a synonym (3 on), the formula (2)
  const std::pair<std::size_t, std::size_t> tiers[] = {{0, 1}, {1, 2}, {3, std::string::npos}, {2, 3}};
  for (const auto& [first, last] : tiers) {
    if (first == 3) fold_synonyms(entries);
    std::vector<const Entry*> found;
    for (const Entry& e : entries) {
      const auto end = e.folded.begin() + static_cast<std::ptrdiff_t>(std::min(last, e.folded.size()));
      if (!key.empty() && std::find(e.folded.begin() + static_cast<std::ptrdiff_t>(first), end, key) != end) found.push_back(&e);
    }
    if (found.size() == 1) return *found.front();
    if (found.size() > 1) {
      std::string list;
      for (const Entry* e : found) list += (list.empty() ? "" : ", ") + described(*e);
      throw Error("component '" + std::string(text) + "' is ambiguous: it names " + list);
    }
  }
  if (const int check = cas_check_digit(text); check >= 0) {
    if (check == text.back() - '0') throw Error("no component of the databank has the CAS number " + std::string(text));
    const std::string corrected = std::string(text.substr(0, text.size() - 1)) + static_cast<char>('0' + check);
    const auto known = std::find_if(entries.begin(), entries.end(), [&](const Entry& e) { return e.cas == corrected; });
    throw Error("'" + std::string(text) + "' is no CAS number: its check digit is " + text.back() + ", its other digits give " +
                std::to_string(check) + (known != entries.end() ? " (" + corrected + " is " + known->name + ")" : ""));
  }
  // nearest: the least edit distance to any of an entry's names
  std::vector<std::pair<std::size_t, const Entry*>> near;
  for (const Entry& e : entries) {
    std::size_t d = distance(key, e.folded[0]);
    for (std::size_t i = 3; i < e.folded.size(); ++i) d = std::min(d, distance(key, e.folded[i]));
    near.emplace_back(d, &e);
  }
  std::stable_sort(near.begin(), near.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::string list;
  for (std::size_t i = 0; i < std::min<std::size_t>(3, near.size()); ++i) list += (i ? ", " : "") + near[i].second->name;
  throw Error("unknown component '" + std::string(text) + "': not in the databank (nearest: " + list + ")");
}

std::vector<const Entry*> search_entries(const std::vector<Entry>& entries, std::string_view text) {
  const std::string key = fold_name(text);
  fold_synonyms(entries);
  std::vector<const Entry*> out;
  for (const Entry& e : entries) {
    if (std::any_of(e.folded.begin(), e.folded.end(), [&](const std::string& s) { return s.find(key) != std::string::npos; }))
      out.push_back(&e);
  }
  return out;
}

}  // namespace kvt::reference
