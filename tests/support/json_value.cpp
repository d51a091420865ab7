#include "tests/support/json_value.h"

#include <cstdlib>

namespace drvsweep::testing {

namespace {

void AppendUtf8(std::string& out, unsigned long c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

class Reader {
public:
    explicit Reader(const std::string& text) : text_(text) {}

    bool Document(JsonValue* value, std::string* error) {
        const bool ok = Value(value) && (SkipBlanks(), at_ == text_.size());
        if (!ok) {
            *error = "invalid JSON at offset " + std::to_string(at_);
        }
        return ok;
    }

private:
    void SkipBlanks() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' ||
                                      text_[at_] == '\r' || text_[at_] == '\n')) {
            ++at_;
        }
    }
    bool Take(char c) {
        SkipBlanks();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    bool Word(const char* word) {
        const std::string w(word);
        if (text_.compare(at_, w.size(), w) != 0) {
            return false;
        }
        at_ += w.size();
        return true;
    }
    bool Hex4(unsigned long* unit) {
        if (at_ + 4 > text_.size()) {
            return false;
        }
        char* end = nullptr;
        const std::string digits = text_.substr(at_, 4);
        *unit = std::strtoul(digits.c_str(), &end, 16);
        at_ += 4;
        return end == digits.c_str() + 4;
    }
    bool String(std::string* out) {
        if (!Take('"')) {
            return false;
        }
        while (at_ < text_.size()) {
            const unsigned char c = static_cast<unsigned char>(text_[at_++]);
            if (c == '"') {
                return true;
            }
            if (c < 0x20) {
                return false;
            }
            if (c != '\\') {
                *out += static_cast<char>(c);
                continue;
            }
            if (at_ >= text_.size()) {
                return false;
            }
            const char e = text_[at_++];
            const std::string simple = "\"\\/bfnrt";
            const std::string meaning = "\"\\/\b\f\n\r\t";
            if (simple.find(e) != std::string::npos) {
                *out += meaning[simple.find(e)];
            } else if (e == 'u') {
                unsigned long unit = 0;
                if (!Hex4(&unit) || (unit >= 0xDC00 && unit <= 0xDFFF)) {
                    return false;
                }
                if (unit >= 0xD800 && unit <= 0xDBFF) {
                    unsigned long low = 0;
                    if (!Word("\\u") || !Hex4(&low) || low < 0xDC00 || low > 0xDFFF) {
                        return false;
                    }
                    unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                }
                AppendUtf8(*out, unit);
            } else {
                return false;
            }
        }
        return false;
    }
    bool Value(JsonValue* value) {
        SkipBlanks();
        if (at_ >= text_.size()) {
            return false;
        }
        const char c = text_[at_];
        if (c == '"') {
            value->kind = JsonValue::Kind::String;
            return String(&value->text);
        }
        if (c == '{') {
            value->kind = JsonValue::Kind::Object;
            ++at_;
            if (Take('}')) {
                return true;
            }
            do {
                std::string key;
                JsonValue member;
                if (!String(&key) || !Take(':') || !Value(&member) ||
                    !value->members.emplace(key, member).second) {
                    return false;
                }
            } while (Take(','));
            return Take('}');
        }
        if (c == '[') {
            value->kind = JsonValue::Kind::Array;
            ++at_;
            if (Take(']')) {
                return true;
            }
            do {
                value->items.emplace_back();
                if (!Value(&value->items.back())) {
                    return false;
                }
            } while (Take(','));
            return Take(']');
        }
        if (Word("true") || Word("false")) {
            value->kind = JsonValue::Kind::Boolean;
            value->boolean = text_[at_ - 1] == 'e' && text_[at_ - 2] == 'u';
            return true;
        }
        if (Word("null")) {
            return true;
        }
        const char* start = text_.c_str() + at_;
        char* end = nullptr;
        value->kind = JsonValue::Kind::Number;
        value->number = std::strtod(start, &end);
        at_ += static_cast<std::size_t>(end - start);
        return end != start;
    }

    const std::string& text_;
    std::size_t at_ = 0;
};

}  // namespace

const JsonValue& JsonValue::operator[](const std::string& key) const {
    static const JsonValue missing;
    const auto found = members.find(key);
    return found == members.end() ? missing : found->second;
}

bool ParseJson(const std::string& text, JsonValue* value, std::string* error) {
    *value = JsonValue();
    return Reader(text).Document(value, error);
}

bool ParseCsv(const std::string& text, std::vector<std::vector<std::string>>* rows,
              std::string* error) {
    rows->clear();
    std::vector<std::string> row;
    std::string field;
    std::size_t at = 0;
    while (at < text.size()) {
        if (text[at] == '"') {
            ++at;
            while (true) {
                if (at >= text.size()) {
                    *error = "unterminated quoted field";
                    return false;
                }
                if (text[at] == '"' && at + 1 < text.size() && text[at + 1] == '"') {
                    field += '"';
                    at += 2;
                } else if (text[at] == '"') {
                    ++at;
                    break;
                } else {
                    field += text[at++];
                }
            }
        } else {
            while (at < text.size() && text[at] != ',' && text[at] != '\r' && text[at] != '\n') {
                field += text[at++];
            }
        }
        if (at < text.size() && text[at] == ',') {
            row.push_back(field);
            field.clear();
            ++at;
        } else if (text.compare(at, 2, "\r\n") == 0 || at == text.size()) {
            row.push_back(field);
            field.clear();
            rows->push_back(row);
            row.clear();
            at += at == text.size() ? 0 : 2;
        } else {
            *error = "text after a field at offset " + std::to_string(at);
            return false;
        }
    }
    return true;
}

}  // namespace drvsweep::testing
