#include "base/text_encoding.h"

#include <cstdint>

#include "base/errors.h"

namespace hxprops {

namespace {

void append_utf8(std::string& out, std::uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

std::string from_utf16(const std::string& bytes, bool little_endian, const std::string& origin) {
  const auto fail = [&origin](const std::string& what) {
    throw InputError({origin, 0}, "", "saved as UTF-16, " + what + ": save it as UTF-8");
  };
  if (bytes.size() % 2 != 0) fail("with an odd number of bytes");
  const auto unit = [&bytes, little_endian](std::size_t i) {
    const auto lo = static_cast<unsigned char>(bytes[little_endian ? i : i + 1]);
    const auto hi = static_cast<unsigned char>(bytes[little_endian ? i + 1 : i]);
    return static_cast<std::uint32_t>(hi << 8 | lo);
  };
  std::string out;
  out.reserve(bytes.size() / 2);
  for (std::size_t i = 2; i < bytes.size(); i += 2) {
    std::uint32_t code = unit(i);
    if (code >= 0xDC00 && code < 0xE000) fail("with a lone low surrogate");
    if (code >= 0xD800 && code < 0xDC00) {
      const std::uint32_t low = i + 2 < bytes.size() ? unit(i + 2) : 0;
      if (low < 0xDC00 || low >= 0xE000) fail("with a lone high surrogate");
      code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
      i += 2;
    }
    append_utf8(out, code);
  }
  return out;
}

}  // namespace

std::string utf8_text(const std::string& bytes, const std::string& origin) {
  if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) return bytes.substr(3);
  if (bytes.rfind("\xFF\xFE", 0) == 0) return from_utf16(bytes, true, origin);
  if (bytes.rfind("\xFE\xFF", 0) == 0) return from_utf16(bytes, false, origin);
  return bytes;
}

}  // namespace hxprops
