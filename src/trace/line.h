// The five kinds of diagnostic trace line, formatted byte for byte and written one record per line
// through the host's UNIT_WRITE. This is the only formatter of the library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kvt::trace {

// Fixed-format fields. Integers are right-justified in `width` positions, or `width` asterisks when
// they do not fit. Reals take 14 positions: sign or blank, one digit, the point, seven digits and a
// four-character exponent ("E+02"; a three-digit exponent is written as its sign and digits, "+100").
// Both return the number of characters written into out.
std::size_t format_int(char* out, int64_t value, int width);
std::size_t format_real(char* out, double value);

class Writer {
 public:
  // The trace unit is the low half of word 1 of KVT_HXOUTP, read when the writer is made.
  Writer();

  void blank();                                   // " "
  void heading(std::string_view name);            // " ***** Inside HXPMWT ..."
  void integer(std::string_view label, int64_t value, int width = 2);
  void real(std::string_view label, double value);
  void element(std::string_view label, int64_t index, double value);

 private:
  std::size_t prefix(char* out, std::string_view label);
  void emit(const char* text, std::size_t n);
  int32_t unit_;
};

}  // namespace kvt::trace
