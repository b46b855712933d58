#include "trace/line.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "kvt/kvt.h"

namespace kvt::trace {

namespace {

constexpr std::string_view kMarker = " *****   ";  // positions 1-9 of a value line
constexpr std::string_view kEquals = "     = ";    // positions 16-22
constexpr std::string_view kEllipsis = " ...";     // end of a heading
constexpr std::string_view kIndexEnd = ") = ";     // positions 20-23 of an element line
constexpr int kLabelWidth = 6;
constexpr int kRealWidth = 14;

std::size_t right_justify(char* out, std::string_view text, int width) {
  const std::size_t pad = text.size() < static_cast<std::size_t>(width) ? width - text.size() : 0;
  std::memset(out, ' ', pad);
  std::memcpy(out + pad, text.data(), text.size());
  return pad + text.size();
}

}  // namespace

std::size_t format_int(char* out, int64_t value, int width) {
  // Digits from the right, on the magnitude taken unsigned so that INT64_MIN has one too.
  char digits[24];
  char* p = digits + sizeof digits;
  uint64_t magnitude = value < 0 ? 0u - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  do {
    *--p = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) *--p = '-';
  const auto len = static_cast<std::size_t>(digits + sizeof digits - p);
  if (len > static_cast<std::size_t>(width)) {
    std::memset(out, '*', width);
    return width;
  }
  return right_justify(out, {p, len}, width);
}

std::size_t format_real(char* out, double value) {
  if (std::isnan(value)) return right_justify(out, "NaN", kRealWidth);
  if (std::isinf(value)) return right_justify(out, value < 0 ? "-Infinity" : "Infinity", kRealWidth);

  // to_chars gives "d.ddddddde+XX" or "d.ddddddde+XXX" for the magnitude.
  char buf[32];
  const auto end = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 7).ptr;
  const char* e = static_cast<const char*>(std::memchr(buf, 'e', end - buf));
  const std::string_view mantissa(buf, e - buf);  // 9 characters
  const std::string_view exp_digits(e + 2, end - (e + 2));

  char* p = out;
  *p++ = std::signbit(value) ? '-' : ' ';
  std::memcpy(p, mantissa.data(), mantissa.size());
  p += mantissa.size();
  if (exp_digits.size() < 3) *p++ = 'E';
  *p++ = e[1];
  std::memcpy(p, exp_digits.data(), exp_digits.size());
  p += exp_digits.size();
  return p - out;
}

Writer::Writer() : unit_(static_cast<int32_t>(static_cast<uint32_t>(KVT_WORD(KVT_HXOUTP, KVT_HXOUTP_UNIT)))) {}

void Writer::emit(const char* text, std::size_t n) {
  const int64_t nchar = static_cast<int64_t>(n);
  UNIT_WRITE(&unit_, text, &nchar);
}

std::size_t Writer::prefix(char* out, std::string_view label) {
  std::memcpy(out, kMarker.data(), kMarker.size());
  return kMarker.size() + right_justify(out + kMarker.size(), label, kLabelWidth);
}

void Writer::blank() { emit(" ", 1); }

void Writer::heading(std::string_view name) {
  char line[48];
  constexpr std::string_view head = " ***** Inside ";
  std::memcpy(line, head.data(), head.size());
  std::size_t n = head.size();
  std::memcpy(line + n, name.data(), name.size());
  n += name.size();
  std::memcpy(line + n, kEllipsis.data(), kEllipsis.size());
  emit(line, n + kEllipsis.size());
}

void Writer::integer(std::string_view label, int64_t value, int width) {
  char line[48];
  std::size_t n = prefix(line, label);
  std::memcpy(line + n, kEquals.data(), kEquals.size());
  n += kEquals.size();
  n += format_int(line + n, value, width);
  emit(line, n);
}

void Writer::real(std::string_view label, double value) {
  char line[48];
  std::size_t n = prefix(line, label);
  std::memcpy(line + n, kEquals.data(), kEquals.size());
  n += kEquals.size();
  n += format_real(line + n, value);
  emit(line, n);
}

void Writer::element(std::string_view label, int64_t index, double value) {
  char line[48];
  std::size_t n = prefix(line, label);
  line[n++] = '(';
  n += format_int(line + n, index, 3);
  std::memcpy(line + n, kIndexEnd.data(), kIndexEnd.size());
  n += kIndexEnd.size();
  n += format_real(line + n, value);
  emit(line, n);
}

}  // namespace kvt::trace
