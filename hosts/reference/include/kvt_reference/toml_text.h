// A check the TOML readers of the reference host and its programs (the databank, hxprops's case
// files) make before they hand a text to toml++: a character beyond ASCII outside a string or a
// comment, or right after a backslash of a multi-line "basic" string (or after the blanks of a
// line-ending one). TOML allows none outside strings (bare keys are ASCII), and toml++ 3.3 reaches
// undefined behaviour on many (its test for a blank beyond ASCII) wherever it tests a character for
// a blank, before it would refuse the text; so the readers refuse it first, naming the line.
#pragma once

#include <string_view>
#include <utility>

namespace kvt::reference {

// The line (from 1) of the first byte beyond ASCII that stands outside every string and comment of
// `text` or where a multi-line basic string's backslash is followed by it, or 0 when there is none. Strings are TOML's four kinds: "basic" (with backslash escapes),
// 'literal', and their three-quote multi-line forms. A quote opens one only where a key or a value
// may start (at the start of a line, after '=', '[', '{', ',', or a key's '.'); anywhere else it is a
// stray quote, malformed TOML whatever follows, and all that follows it counts as outside strings.
inline int toml_line_of_stray_non_ascii(std::string_view text) {
  int line = 1;
  std::size_t i = 0;
  char last = '\n';  // the last character outside strings and comments that is not a blank
  bool stray = false;  // a quote that opened no string: malformed, and toml++ may scan on past it
  std::size_t word = 0;  // where the run of characters that are neither blanks nor quotes before i starts
  int depth = 0;         // inline tables open on this line
  bool assigned = false;  // a key's '=' outside inline tables already stands on this line
  const auto starts = [&](std::string_view s) { return text.substr(i, s.size()) == s; };
  // A quote after '.' continues a dotted key, but not a number's ("6.'"), whose value toml++ scans on.
  const auto opens_string = [&] {
    if (last != '.') return std::string_view("\n=[{,").find(last) != std::string_view::npos;
    if (assigned && depth == 0) return false;  // a '.' within a value, not a dotted key's
    std::string_view before = text.substr(word, i - word);
    before = before.substr(0, before.rfind('.'));
    if (!before.empty() && (before[0] == '+' || before[0] == '-')) before.remove_prefix(1);
    return !(before == "inf" || before == "nan" || before.find_first_not_of("0123456789_eE+-.") == std::string_view::npos);
  };
  while (i < text.size()) {
    const char ch = text[i];
    if (ch == '\n') {
      ++line;
      depth = 0;
      assigned = false;
      last = '\n';
      word = ++i;
    } else if (ch == ' ' || ch == '\t' || ch == '\r') {
      word = ++i;
    } else if (ch == '#') {
      while (i < text.size() && text[i] != '\n') ++i;
    } else if ((ch == '"' || ch == '\'') && !stray && opens_string()) {
      const bool multi = starts(ch == '"' ? "\"\"\"" : "'''");
      const std::string_view close = multi ? text.substr(i, 3) : text.substr(i, 1);
      i += close.size();
      // To the closing delimiter, or, for a one-line string, to the end of the line, where toml++
      // refuses it.
      while (i < text.size() && !starts(close) && (multi || text[i] != '\n')) {
        if (text[i] == '\n') ++line;
        if (ch == '"' && text[i] == '\\' && i + 1 < text.size()) {
          // toml++ tests for a blank the character after a backslash of a multi-line string and the
          // first one after a line-ending backslash's blanks.
          std::size_t j = i + 1;
          int at = line;
          for (; multi && j < text.size() && std::string_view(" \t\r\n").find(text[j]) != std::string_view::npos; ++j) {
            if (text[j] == '\n') ++at;
          }
          if (multi && j < text.size() && static_cast<unsigned char>(text[j]) >= 0x80) return at;
          if (text[i + 1] == '\n') ++line;
          ++i;
        }
        ++i;
      }
      // A multi-line string's closing run may hold up to two quotes of its content before it.
      for (std::size_t run = 0; i < text.size() && text[i] == ch && run < (multi ? 5u : 1u); ++run) ++i;
      last = ch;
      word = i;
    } else if (static_cast<unsigned char>(ch) >= 0x80) {
      return line;
    } else {
      // A second '=' of one line outside inline tables is inside a malformed value, which toml++
      // scans on: a quote after it opens no string.
      if (ch == '=' && depth == 0) stray = stray || std::exchange(assigned, true);
      if (ch == '{') ++depth;
      if (ch == '}' && depth > 0) --depth;
      stray = stray || ch == '"' || ch == '\'';
      last = ch;
      ++i;
      if (std::string_view("=[]{},").find(ch) != std::string_view::npos) word = i;
    }
  }
  return 0;
}

}  // namespace kvt::reference
