#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace drvsweep::testing {

// A JSON value read back from a report, for tests to check what a program wrote: strict
// enough to refuse what a JSON reader would refuse (trailing text, bad escapes, control
// characters in strings, lone surrogates), small enough to read at a glance.
struct JsonValue {
    enum class Kind { Null, Boolean, Number, String, Array, Object };
    Kind kind = Kind::Null;
    bool boolean = false;
    double number = 0;
    std::string text;  // a string's value, as UTF-8
    std::vector<JsonValue> items;
    std::map<std::string, JsonValue> members;

    const JsonValue& operator[](const std::string& key) const;
};

// Reads one whole JSON text; false with *error when it is not valid JSON.
bool ParseJson(const std::string& text, JsonValue* value, std::string* error);

// Reads RFC 4180 CSV (quoted fields, doubled quotes, CRLF rows) into rows of fields; false
// with *error on an unterminated quote or text after a closing quote.
bool ParseCsv(const std::string& text, std::vector<std::vector<std::string>>* rows,
              std::string* error);

}  // namespace drvsweep::testing
