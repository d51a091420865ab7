#pragma once

#include <string>

namespace drvsweep::cli {

// UTF-16 as UTF-8. An unpaired surrogate becomes U+FFFD, so the result is always valid UTF-8.
std::string Utf16ToUtf8(const std::u16string& text);

// UTF-8 as UTF-16; a byte that starts no valid sequence becomes U+FFFD.
std::u16string Utf8ToUtf16(const std::string& text);

// A JSON string literal of the UTF-8 text, quotes included, in pure ASCII: every character
// outside printable ASCII is written \uXXXX (characters past U+FFFF as a surrogate pair).
std::string JsonString(const std::string& utf8);

// One CSV field (RFC 4180): always quoted, with quotes doubled. A field that a spreadsheet
// would take for a formula (it starts with =, +, -, @, a tab or a carriage return) gets a
// leading apostrophe, so that opening the report runs nothing.
std::string CsvField(const std::string& utf8);

}  // namespace drvsweep::cli
