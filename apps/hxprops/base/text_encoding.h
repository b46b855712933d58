// The text of a case file as UTF-8, whatever Windows editors and shells saved it as.
#pragma once

#include <string>

namespace hxprops {

// `bytes` as UTF-8: a UTF-8 byte-order mark is dropped, and UTF-16 with its byte-order mark (little-
// or big-endian: what Windows PowerShell 5.1's `>` and Notepad's "Unicode" write) is converted.
// Throws InputError naming `origin` for UTF-16 that is cut short or pairs its surrogates wrongly.
std::string utf8_text(const std::string& bytes, const std::string& origin);

}  // namespace hxprops
