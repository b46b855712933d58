#include "case/quoted.h"

#include <algorithm>
#include <cstdio>

namespace hxprops {

std::string quoted(std::string_view s) {
  std::string out = "\"";
  for (const char ch : s) {
    const auto u = static_cast<unsigned char>(ch);
    if (ch == '"' || ch == '\\') {
      out += '\\';
      out += ch;
    } else if (u < 0x20 || u == 0x7f) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", u);
      out += buf;
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

std::string key_text(std::string_view k) {
  const bool bare = !k.empty() && std::all_of(k.begin(), k.end(), [](char ch) {
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == '-' || ch == '_';
  });
  return bare ? std::string(k) : quoted(k);
}

}  // namespace hxprops
