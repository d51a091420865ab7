#include "removal/reg_text.h"

#include <algorithm>
#include <cstdio>

namespace drvsweep {

namespace {

constexpr char kHeader4[] = "REGEDIT4";
constexpr char kHeader5[] = "Windows Registry Editor Version 5.00";
constexpr char kRoot[] = "HKEY_LOCAL_MACHINE\\";
constexpr std::size_t kLargestFile = 16u * 1024u * 1024u;
constexpr std::size_t kLargestValue = 1024u * 1024u;
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;
constexpr std::uint32_t kRegMultiSz = 7;

bool IsText(std::uint32_t type) {
    return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

bool HasLineBreakOrNul(const std::string& text) {
    return text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
}

// Names of keys one below the other: none empty, no line break or NUL.
bool IsKeyPath(const std::string& path) {
    return !path.empty() && path.front() != '\\' && path.back() != '\\' &&
           path.find("\\\\") == std::string::npos && !HasLineBreakOrNul(path);
}

// The conversions, taken only when they give back exactly what they were given: a text the code
// page holds only approximately would be imported as another text.
bool ExactlyToUtf16(AnsiConversion& conversion, const std::string& ansi, std::u16string* utf16) {
    std::string back;
    return conversion.AnsiToUtf16(ansi, utf16) && conversion.Utf16ToAnsi(*utf16, &back) &&
           back == ansi;
}

bool ExactlyToAnsi(AnsiConversion& conversion, const std::u16string& utf16, std::string* ansi) {
    std::u16string back;
    return conversion.Utf16ToAnsi(utf16, ansi) && conversion.AnsiToUtf16(*ansi, &back) &&
           back == utf16;
}

// The file's text, one char16_t per character: in a REGEDIT4 file each byte stands for itself
// and goes back unchanged; in a version 5 file texts are converted.
class Text {
public:
    Text(AnsiConversion& conversion, bool unicode) : conversion_(conversion), unicode_(unicode) {}

    bool FromAnsi(const std::string& ansi, std::u16string* out) {
        if (!unicode_) {
            for (const char c : ansi) {
                out->push_back(static_cast<unsigned char>(c));
            }
            return true;
        }
        // Converted piece by piece between NULs, which the conversion of a text cannot carry.
        std::size_t start = 0;
        while (true) {
            const std::size_t nul = ansi.find('\0', start);
            std::u16string piece;
            const std::string part =
                ansi.substr(start, nul == std::string::npos ? nul : nul - start);
            if (!part.empty() && !ExactlyToUtf16(conversion_, part, &piece)) {
                return false;
            }
            *out += piece;
            if (nul == std::string::npos) {
                return true;
            }
            out->push_back(u'\0');
            start = nul + 1;
        }
    }

    bool ToAnsi(const std::u16string& text, std::string* out) {
        if (!unicode_) {
            for (const char16_t c : text) {
                if (c > 0xFF) {
                    return false;
                }
                out->push_back(static_cast<char>(c));
            }
            return true;
        }
        std::size_t start = 0;
        while (true) {
            const std::size_t nul = text.find(u'\0', start);
            std::string piece;
            const std::u16string part =
                text.substr(start, nul == std::u16string::npos ? nul : nul - start);
            if (!part.empty() && !ExactlyToAnsi(conversion_, part, &piece)) {
                return false;
            }
            *out += piece;
            if (nul == std::u16string::npos) {
                return true;
            }
            out->push_back('\0');
            start = nul + 1;
        }
    }

    bool unicode() const { return unicode_; }

private:
    AnsiConversion& conversion_;
    bool unicode_;
};

void Append(std::u16string* out, const char* ascii) {
    for (; *ascii != '\0'; ++ascii) {
        out->push_back(static_cast<unsigned char>(*ascii));
    }
}

bool AppendQuoted(Text& text, const std::string& ansi, std::u16string* out) {
    std::u16string converted;
    if (!text.FromAnsi(ansi, &converted)) {
        return false;
    }
    out->push_back(u'"');
    for (const char16_t c : converted) {
        if (c == u'"' || c == u'\\') {
            out->push_back(u'\\');
        }
        out->push_back(c);
    }
    out->push_back(u'"');
    return true;
}

// A REG_SZ that "text" gives back the same: one terminating NUL, none inside, no line break.
// In a REGEDIT4 file a text with a byte from 0x80 up beside a backslash or quote is written in
// hex: in a double-byte code page that byte may lead a character whose second byte is the
// backslash, which an importer that reads characters would not take as an escape.
bool WritesAsQuoted(const RegTextValue& value, bool unicode) {
    const std::string& b = value.bytes;
    if (value.type != kRegSz || b.empty() || b.back() != '\0' || b.find('\0') != b.size() - 1 ||
        b.find_first_of("\r\n") != std::string::npos) {
        return false;
    }
    const bool high = std::any_of(b.begin(), b.end(),
                                  [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    return unicode || !high || b.find_first_of("\\\"") == std::string::npos;
}

// Starts a new line of a hex list once the current one reaches regedit's width.
void AppendHexSeparator(std::u16string* out) {
    constexpr std::size_t kWidth = 77;
    const std::size_t lineStart = out->rfind(u'\n') + 1;
    out->push_back(u',');
    if (out->size() - lineStart >= kWidth) {
        Append(out, "\\\r\n  ");
    }
}

bool AppendData(Text& text, const RegTextValue& value, std::u16string* out) {
    if (WritesAsQuoted(value, text.unicode())) {
        return AppendQuoted(text, value.bytes.substr(0, value.bytes.size() - 1), out);
    }
    char word[32];
    if (value.type == kRegDword && value.bytes.size() == 4) {
        const auto* b = reinterpret_cast<const unsigned char*>(value.bytes.data());
        std::snprintf(word, sizeof word, "dword:%02x%02x%02x%02x", b[3], b[2], b[1], b[0]);
        Append(out, word);
        return true;
    }
    std::string bytes = value.bytes;
    if (text.unicode() && IsText(value.type)) {
        std::u16string wide;
        if (!text.FromAnsi(value.bytes, &wide)) {
            return false;
        }
        bytes.clear();
        for (const char16_t c : wide) {
            bytes.push_back(static_cast<char>(c & 0xFF));
            bytes.push_back(static_cast<char>(c >> 8));
        }
    }
    if (value.type == kRegBinary) {
        Append(out, "hex:");
    } else {
        std::snprintf(word, sizeof word, "hex(%x):", static_cast<unsigned>(value.type));
        Append(out, word);
    }
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(word, sizeof word, "%02x", static_cast<unsigned char>(bytes[i]));
        Append(out, word);
        if (i + 1 < bytes.size()) {
            AppendHexSeparator(out);
        }
    }
    return true;
}

// Reading.
class Reader {
public:
    Reader(Text& text, std::vector<RegTextKey>* keys, std::string* error)
        : text_(text), keys_(*keys), error_(*error) {}

    bool Read(const std::u16string& file) {
        // Lines end in CR LF, or LF alone; a CR elsewhere or a NUL is no part of a .reg text.
        std::vector<std::u16string> lines(1);
        for (std::size_t at = 0; at < file.size(); ++at) {
            const char16_t c = file[at];
            number_ = lines.size();
            if (c == u'\n') {
                lines.emplace_back();
            } else if (c == u'\r' && (at + 1 == file.size() || file[at + 1] != u'\n')) {
                return Fail("a CR without LF");
            } else if (c == u'\0') {
                return Fail("a NUL character");
            } else if (c != u'\r') {
                lines.back().push_back(c);
            }
        }
        bool header = false;
        for (std::size_t i = 0; i < lines.size();) {
            number_ = i + 1;
            std::u16string line = lines[i++];
            // A list of hex bytes ending in a backslash goes on in the next line.
            while (!line.empty() && line.back() == u'\\' && line.front() != u'[' &&
                   line.front() != u';' && i < lines.size()) {
                line.pop_back();
                std::u16string next = lines[i++];
                next.erase(0, next.find_first_not_of(u" \t"));
                line += next;
            }
            if (!Line(line, &header)) {
                return false;
            }
        }
        return header || Fail("no header");
    }

private:
    bool Fail(const std::string& why) {
        error_ = "line " + std::to_string(number_) + ": " + why;
        return false;
    }

    bool Line(const std::u16string& line, bool* header) {
        if (line.empty() || line[0] == u';') {
            return true;
        }
        if (!*header) {
            std::u16string expected;
            Append(&expected, text_.unicode() ? kHeader5 : kHeader4);
            *header = line == expected;
            return *header || Fail("not a registry file of this format");
        }
        if (line[0] == u'[') {
            return Key(line);
        }
        if (keys_.empty()) {
            return Fail("a value outside any key");
        }
        return Value(line);
    }

    bool Key(const std::u16string& line) {
        std::u16string root;
        Append(&root, kRoot);
        if (line.back() != u']' || line.compare(1, root.size(), root) != 0) {
            return Fail("a key that is not below HKEY_LOCAL_MACHINE");
        }
        RegTextKey key;
        if (!text_.ToAnsi(line.substr(1 + root.size(), line.size() - 2 - root.size()), &key.path) ||
            !IsKeyPath(key.path)) {
            return Fail("a key path that cannot be read");
        }
        keys_.push_back(key);
        return true;
    }

    // A quoted text from `at`, escapes undone; `at` ends after the closing quote.
    bool Quoted(const std::u16string& line, std::size_t* at, std::u16string* out) {
        if (*at >= line.size() || line[*at] != u'"') {
            return false;
        }
        for (++*at; *at < line.size(); ++*at) {
            char16_t c = line[*at];
            if (c == u'"') {
                ++*at;
                return true;
            }
            if (c == u'\\') {
                if (++*at >= line.size()) {
                    return false;
                }
                c = line[*at];
            }
            out->push_back(c);
        }
        return false;
    }

    bool Value(const std::u16string& line) {
        RegTextValue value;
        std::size_t at = 0;
        std::u16string name;
        if (line[0] == u'@') {
            at = 1;
        } else if (!Quoted(line, &at, &name) || !text_.ToAnsi(name, &value.name)) {
            return Fail("a value name that cannot be read");
        }
        if (at >= line.size() || line[at] != u'=') {
            return Fail("a value without =");
        }
        const std::u16string data = line.substr(at + 1);
        if (!Data(data, &value)) {
            return false;
        }
        if (value.bytes.size() > kLargestValue) {
            return Fail("a value over 1 MB");
        }
        keys_.back().values.push_back(value);
        return true;
    }

    bool Data(const std::u16string& data, RegTextValue* value) {
        std::string ascii;
        for (const char16_t c : data) {
            ascii.push_back(c < 0x80 ? static_cast<char>(c) : '?');
        }
        if (!data.empty() && data[0] == u'"') {
            std::size_t at = 0;
            std::u16string text;
            if (!Quoted(data, &at, &text) || at != data.size() ||
                !text_.ToAnsi(text, &value->bytes)) {
                return Fail("a text that cannot be read");
            }
            value->type = kRegSz;
            value->bytes.push_back('\0');
            return true;
        }
        unsigned long number = 0;
        if (ascii.compare(0, 6, "dword:") == 0) {
            if (ascii.size() != 14 ||
                ascii.find_first_not_of("0123456789abcdefABCDEF", 6) != std::string::npos) {
                return Fail("a dword that cannot be read");
            }
            number = std::stoul(ascii.substr(6), nullptr, 16);
            value->type = kRegDword;
            for (int i = 0; i < 4; ++i) {
                value->bytes.push_back(static_cast<char>((number >> (8 * i)) & 0xFF));
            }
            return true;
        }
        std::size_t list = 0;
        if (ascii.compare(0, 4, "hex:") == 0) {
            value->type = kRegBinary;
            list = 4;
        } else if (ascii.compare(0, 4, "hex(") == 0) {
            const std::size_t close = ascii.find("):");
            if (close == std::string::npos || close < 5 || close > 12 ||
                ascii.find_first_not_of("0123456789abcdefABCDEF", 4) != close) {
                return Fail("a value type that cannot be read");
            }
            value->type =
                static_cast<std::uint32_t>(std::stoul(ascii.substr(4, close - 4), nullptr, 16));
            list = close + 2;
        } else {
            return Fail("a value that cannot be read (deletions are refused)");
        }
        std::string bytes;
        for (std::size_t at = list; at < ascii.size();) {
            if (at + 2 > ascii.size() ||
                ascii.find_first_not_of("0123456789abcdefABCDEF", at) < at + 2) {
                return Fail("hex bytes that cannot be read");
            }
            bytes.push_back(static_cast<char>(std::stoul(ascii.substr(at, 2), nullptr, 16)));
            at += 2;
            if (at < ascii.size() && ascii[at++] != ',') {
                return Fail("hex bytes that cannot be read");
            }
            if (at == ascii.size() && ascii.back() == ',') {
                return Fail("hex bytes that cannot be read");
            }
        }
        if (text_.unicode() && IsText(value->type)) {
            if (bytes.size() % 2 != 0) {
                return Fail("a UTF-16 text of an odd length");
            }
            std::u16string wide;
            for (std::size_t i = 0; i < bytes.size(); i += 2) {
                wide.push_back(
                    static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                          static_cast<unsigned char>(bytes[i + 1]) << 8));
            }
            bytes.clear();
            if (!text_.ToAnsi(wide, &bytes)) {
                return Fail("a text that cannot be converted");
            }
        }
        value->bytes = bytes;
        return true;
    }

    Text& text_;
    std::vector<RegTextKey>& keys_;
    std::string& error_;
    std::size_t number_ = 0;
};

}  // namespace

bool WriteRegText(AnsiConversion& conversion, RegTextFormat format,
                  const std::vector<RegTextKey>& keys, std::string* fileBytes) {
    const bool unicode = format == RegTextFormat::Regedit5;
    Text text(conversion, unicode);
    std::u16string out;
    Append(&out, unicode ? kHeader5 : kHeader4);
    Append(&out, "\r\n");
    for (const RegTextKey& key : keys) {
        std::u16string path;
        if (!IsKeyPath(key.path) || !text.FromAnsi(key.path, &path)) {
            return false;
        }
        Append(&out, "\r\n[");
        Append(&out, kRoot);
        out += path;
        Append(&out, "]\r\n");
        for (const RegTextValue& value : key.values) {
            if (value.name.empty()) {
                out.push_back(u'@');
            } else if (HasLineBreakOrNul(value.name) || !AppendQuoted(text, value.name, &out)) {
                return false;
            }
            out.push_back(u'=');
            if (!AppendData(text, value, &out)) {
                return false;
            }
            Append(&out, "\r\n");
        }
    }
    Append(&out, "\r\n");
    fileBytes->clear();
    if (!unicode) {
        for (const char16_t c : out) {
            fileBytes->push_back(static_cast<char>(c));
        }
        return true;
    }
    fileBytes->append("\xFF\xFE");
    for (const char16_t c : out) {
        fileBytes->push_back(static_cast<char>(c & 0xFF));
        fileBytes->push_back(static_cast<char>(c >> 8));
    }
    return true;
}

bool ReadRegText(AnsiConversion& conversion, const std::string& fileBytes,
                 std::vector<RegTextKey>* keys, std::string* error) {
    keys->clear();
    if (fileBytes.size() > kLargestFile) {
        *error = "the file is over 16 MB";
        return false;
    }
    const bool unicode = fileBytes.size() >= 2 && fileBytes[0] == '\xFF' && fileBytes[1] == '\xFE';
    std::u16string file;
    if (unicode) {
        if (fileBytes.size() % 2 != 0) {
            *error = "a UTF-16 file of an odd length";
            return false;
        }
        for (std::size_t i = 2; i < fileBytes.size(); i += 2) {
            file.push_back(
                static_cast<char16_t>(static_cast<unsigned char>(fileBytes[i]) |
                                      static_cast<unsigned char>(fileBytes[i + 1]) << 8));
        }
    } else {
        for (const char c : fileBytes) {
            file.push_back(static_cast<unsigned char>(c));
        }
    }
    Text text(conversion, unicode);
    return Reader(text, keys, error).Read(file);
}

}  // namespace drvsweep
