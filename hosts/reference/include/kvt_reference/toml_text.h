// A check the TOML readers of the reference host and its programs (the databank, hxprops's case
// files) make before they hand a text to toml++: a character beyond ASCII outside a string or a
// comment, or right after a backslash of a "basic" string (or after the blanks of a line-ending one).
// TOML allows none outside strings (bare keys are ASCII), and toml++ 3.3 reaches undefined behaviour
// on many (its test for a blank beyond ASCII) wherever it tests a character for a blank, before it
// would refuse the text; so the readers refuse it first, naming the line.
//
// Where a string starts and ends is read by TOML's own grammar, not guessed: a quote opens a string
// only where a key or a value starts. Once the text breaks that grammar (a quote inside a number, a
// second value on a line, a line break inside a one-line string ...), toml++ refuses it at that point
// or scans on in ways the check cannot follow, so from there on every character beyond ASCII counts
// as outside strings. A text that is well-formed TOML is never refused for its strings' contents.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kvt::reference {

namespace toml_text_detail {

class Scan {
 public:
  explicit Scan(std::string_view text) : text_(text) {}

  // The line (from 1) of the first character the check refuses, or 0.
  int run() {
    if (text_.substr(0, 3) == "\xEF\xBB\xBF") i_ = 3;  // a byte-order mark, which toml++ skips
    while (i_ < text_.size() && found_ == 0) {
      if (broken_) {
        refuse_beyond_ascii();
        if (text_[i_] == '\n') ++line_;
        ++i_;
      } else {
        step();
      }
    }
    return found_;
  }

 private:
  // What the grammar expects next. In a table header only keys, '.' and the closing bracket(s).
  enum class Expect { line_start, key, key_end, value, after_value, header_end };
  enum Frame : char { array = '[', inline_table = '{' };

  static bool blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
  static bool beyond_ascii(char c) { return static_cast<unsigned char>(c) >= 0x80; }
  static bool bare_key_char(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
  }
  // A bare value (number, boolean, date, time) ends where a blank, a separator or a comment starts.
  static bool ends_bare_value(char c) { return blank(c) || c == '\n' || c == ',' || c == ']' || c == '}' || c == '#'; }

  bool starts(std::string_view s) const { return text_.substr(i_, s.size()) == s; }
  char frame() const { return frames_.empty() ? '\0' : frames_.back(); }
  void refuse_beyond_ascii() {
    if (beyond_ascii(text_[i_])) found_ = line_;
  }
  void break_grammar() { broken_ = true; }

  void step() {
    const char c = text_[i_];
    if (beyond_ascii(c)) {
      found_ = line_;
    } else if (blank(c)) {
      ++i_;
    } else if (c == '\n') {
      newline();
    } else if (c == '#') {
      comment();
    } else if (c == '"' || c == '\'') {
      quote(c);
    } else {
      punctuation_or_bare(c);
    }
  }

  // Where a comment or a line break may stand: between an array's values, or where a line may end.
  bool in_array_space() const { return frame() == array && (expect_ == Expect::value || expect_ == Expect::after_value); }
  bool at_line_end() const {
    return frame() == '\0' && (expect_ == Expect::line_start || expect_ == Expect::after_value || expect_ == Expect::header_end);
  }

  void newline() {
    if (!in_array_space() && !at_line_end()) return break_grammar();
    if (!in_array_space()) expect_ = Expect::line_start;
    ++line_;
    ++i_;
  }

  void comment() {
    if (!in_array_space() && !at_line_end()) return break_grammar();
    while (i_ < text_.size() && text_[i_] != '\n') ++i_;  // comments may hold any text
  }

  void quote(char q) {
    const bool multi = starts(q == '"' ? "\"\"\"" : "'''");
    if (expect_ == Expect::value) {
      string(q, multi);
      if (!broken_) expect_ = Expect::after_value;
    } else if ((expect_ == Expect::line_start || expect_ == Expect::key) && !multi) {
      string(q, false);
      if (!broken_) expect_ = Expect::key_end;
    } else {
      break_grammar();  // a stray quote: a second value, a quote after a key, a multi-line key
    }
  }

  // From the opening quote(s) past the closing one(s).
  void string(char q, bool multi) {
    const std::string_view close = multi ? text_.substr(i_, 3) : text_.substr(i_, 1);
    i_ += close.size();
    while (i_ < text_.size()) {
      const char c = text_[i_];
      if (starts(close)) {
        i_ += close.size();
        // A multi-line string's closing run may hold up to two quotes of its content before it.
        for (int run = 0; multi && run < 2 && i_ < text_.size() && text_[i_] == q; ++run) ++i_;
        return;
      }
      if (c == '\n') {
        if (!multi) return break_grammar();  // toml++ refuses a one-line string's line break
        ++line_;
      }
      if (q == '"' && c == '\\') {
        if (!escape(multi)) return;
        continue;
      }
      ++i_;
    }
    break_grammar();  // unterminated
  }

  // At a basic string's backslash: toml++ tests the character after it for a blank, and, after a
  // multi-line string's line-ending backslash, the first character after the blanks and line breaks.
  // Returns false when a character beyond ASCII stands there.
  bool escape(bool multi) {
    std::size_t j = i_ + 1;
    int at = line_;
    for (; multi && j < text_.size() && (blank(text_[j]) || text_[j] == '\n'); ++j) {
      if (text_[j] == '\n') ++at;
    }
    if (j < text_.size() && beyond_ascii(text_[j])) {
      found_ = at;
      return false;
    }
    if (j > i_ + 1) {  // a line-ending backslash and its blanks
      line_ = at;
      i_ = j;
    } else if (i_ + 1 < text_.size() && text_[i_ + 1] == '\n' && !multi) {
      ++i_;  // the line break, at which the one-line string breaks
    } else {
      i_ += 2;  // the backslash and the character it escapes
    }
    return true;
  }

  void punctuation_or_bare(char c) {
    switch (c) {
      case '[':
        if (expect_ == Expect::line_start) {
          header_ = starts("[[") ? 2 : 1;
          i_ += static_cast<std::size_t>(header_);
          expect_ = Expect::key;
          return;
        }
        if (expect_ != Expect::value) return break_grammar();
        frames_.push_back(array);
        ++i_;
        return;  // a value (or the closing bracket) is expected
      case '{':
        if (expect_ != Expect::value) return break_grammar();
        frames_.push_back(inline_table);
        ++i_;
        expect_ = Expect::key;
        return;
      case ']':
        if (header_ > 0 && expect_ == Expect::key_end) {
          if (header_ == 2 && !starts("]]")) return break_grammar();
          i_ += static_cast<std::size_t>(header_);
          header_ = 0;
          expect_ = Expect::header_end;
          return;
        }
        if (frame() != array || (expect_ != Expect::value && expect_ != Expect::after_value)) return break_grammar();
        close_frame();
        return;
      case '}':
        if (frame() != inline_table || (expect_ != Expect::key && expect_ != Expect::after_value)) return break_grammar();
        close_frame();
        return;
      case ',':
        if (expect_ != Expect::after_value || frame() == '\0') return break_grammar();
        expect_ = frame() == array ? Expect::value : Expect::key;
        ++i_;
        return;
      case '=':
        if (expect_ != Expect::key_end || header_ > 0) return break_grammar();
        expect_ = Expect::value;
        ++i_;
        return;
      case '.':
        if (expect_ != Expect::key_end) return break_grammar();
        expect_ = Expect::key;
        ++i_;
        return;
      default:
        bare(c);
    }
  }

  void close_frame() {
    frames_.pop_back();
    ++i_;
    expect_ = Expect::after_value;
  }

  void bare(char c) {
    if (expect_ == Expect::line_start || expect_ == Expect::key) {
      if (!bare_key_char(c)) return break_grammar();
      while (i_ < text_.size() && bare_key_char(text_[i_])) ++i_;
      expect_ = Expect::key_end;
      return;
    }
    // A value, or after one the time of a date-time written with a blank for its 'T'.
    if (expect_ != Expect::value && expect_ != Expect::after_value) return break_grammar();
    while (i_ < text_.size() && !ends_bare_value(text_[i_])) {
      if (beyond_ascii(text_[i_])) {
        found_ = line_;
        return;
      }
      if (text_[i_] == '"' || text_[i_] == '\'') return break_grammar();
      ++i_;
    }
    expect_ = Expect::after_value;
  }

  std::string_view text_;
  std::size_t i_ = 0;
  int line_ = 1;
  int found_ = 0;
  bool broken_ = false;
  Expect expect_ = Expect::line_start;
  int header_ = 0;      // the brackets of the table header being read: 1, 2 ("[[") or 0
  std::string frames_;  // the arrays and inline tables open at this point, innermost last
};

}  // namespace toml_text_detail

// The line (from 1) of the first byte beyond ASCII that stands outside every string and comment of
// `text`, or right after a basic string's backslash (or a multi-line one's line-ending backslash and
// the blanks after it), or 0 when there is none.
inline int toml_line_of_stray_non_ascii(std::string_view text) { return toml_text_detail::Scan(text).run(); }

}  // namespace kvt::reference
