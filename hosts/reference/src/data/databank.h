// The component databank: pure-component constants and temperature correlations, read from a TOML
// file in which every coefficient set names its source.
#pragma once

#include <array>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "data/component.h"

namespace kvt::reference {

// A binary interaction parameter of the Peng-Robinson equation, with its source.
struct Interaction {
  std::string first, second;
  double kij = 0.0;
  std::string source;
};

// The NRTL parameters of a pair of components, with their source: a12, a21 in cal/mol as published
// (tau_12 = a12 / (R T) with R = kCalorieGasConstant), alpha the non-randomness.
inline constexpr double kCalorieGasConstant = 1.98721;  // cal/(mol K)
struct NrtlPair {
  std::string first, second;
  double a12 = 0.0, a21 = 0.0, alpha = 0.0;
  std::string source;
};

// A databank file: the index of its components, read whole, and each component's block read when it is
// first asked for (a case needs a few of many).
class Databank {
 public:
  std::vector<Entry> entries;         // every component of the file, in file order
  // The components read so far, in the order read (find() adds to it; addresses stay valid).
  mutable std::deque<Component> components;
  std::vector<Interaction> interactions;
  std::vector<NrtlPair> nrtl_pairs;
  std::vector<std::pair<std::string, std::string>> sources;  // key, full reference

  // k_ij of a pair of components (either order); 0 for a pair the table does not hold.
  double kij(std::string_view a, std::string_view b) const;
  // Whether the table holds a k_ij for the pair.
  bool has_kij(std::string_view a, std::string_view b) const;
  // The NRTL parameters of a pair (either order; `first` says which), or nullptr.
  const NrtlPair* nrtl(std::string_view a, std::string_view b) const;

  // The component of that canonical name (case-insensitive), read on first use; nullptr when the
  // file has none. Throws Error (file, line, field) for a malformed block.
  const Component* find(std::string_view name) const;
  // Adds a component made outside the file (a pseudo-component of an assay), found by its name from
  // then on; the caller keeps names unique.
  const Component& add(Component c);

 private:
  friend Databank open_databank(const std::filesystem::path& file);
  std::filesystem::path file_;
  std::string text_;
};

// Reads a databank file's index, sources and interaction table; components are read by find().
// Throws kvt::reference::Error naming the file, and the line and field where known, for a missing
// file, bad TOML (or a character beyond ASCII outside a string or comment), a component named twice,
// or an interaction naming an unknown component.
Databank open_databank(const std::filesystem::path& file);

// Reads a databank file whole: as open_databank, then every component, refusing the first malformed
// one (a missing required field, a number that is not finite, an unknown equation form, a source that
// names no [sources] key, an empty or inverted range, flash correlations that share no temperature
// range).
Databank read_databank(const std::filesystem::path& file);

}  // namespace kvt::reference
