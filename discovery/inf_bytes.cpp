#include "discovery/inf_bytes.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>

namespace drvsweep {

namespace {

constexpr char kWild = '\x80';
constexpr char kOther = '\x81';
constexpr std::size_t kMaxToken = 63;

// The directory ids whose folders are the Windows folder, folders Windows names below it, or a
// drive's root: 10, 11, 12, 17, 18, 20, 21, 23, 24, 25, 30, 50, 51, 52, 54, 55.
constexpr long kSystemFolderIds[] = {10, 11, 12, 17, 18, 20, 21, 23,
                                     24, 25, 30, 50, 51, 52, 54, 55};
constexpr const char* kSystemSubfolders[] = {"",
                                             "\\SYSTEM",
                                             "\\SYSTEM32",
                                             "\\SYSTEM32\\DRIVERS",
                                             "\\SYSTEM32\\VIEWERS",
                                             "\\SYSTEM32\\SPOOL\\DRIVERS\\COLOR",
                                             "\\SYSTEM32\\SPOOL\\PRTPROCS\\X64",
                                             "\\SYSTEM32\\SPOOL\\PRTPROCS\\W32X86",
                                             "\\INF",
                                             "\\HELP",
                                             "\\FONTS"};

char UpperAscii(unsigned code) {
    return static_cast<char>(code >= 'a' && code <= 'z' ? code - 0x20 : code);
}

// The conversion to an ANSI code page maps a character it cannot hold to a look-alike (best
// fit) or to '?'. Ideographs, kana and Hangul syllables look like no ASCII character.
bool NeverAscii(unsigned unit) {
    return (unit >= 0x3040 && unit <= 0x30FF) || (unit >= 0x3400 && unit <= 0x9FFF) ||
           (unit >= 0xAC00 && unit <= 0xD7A3);
}

std::string AnsiSymbols(const std::string& bytes) {
    std::string symbols(bytes.size(), kOther);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const unsigned byte = static_cast<unsigned char>(bytes[i]);
        if (byte < 0x80) {
            symbols[i] = UpperAscii(byte);
        }
    }
    return symbols;
}

std::string Utf16Symbols(const std::string& bytes) {
    std::string symbols;
    symbols.reserve(bytes.size() / 2);
    const std::size_t first = bytes.compare(0, 2, "\xFF\xFE") == 0 ? 1 : 0;
    for (std::size_t i = first; i < bytes.size() / 2; ++i) {
        const unsigned unit = static_cast<unsigned char>(bytes[2 * i]) |
                              static_cast<unsigned char>(bytes[2 * i + 1]) << 8;
        symbols.push_back(unit < 0x80 ? UpperAscii(unit) : NeverAscii(unit) ? kOther : kWild);
    }
    return symbols;
}

// Every character that does not begin with a continuation byte is one wildcard: a well-formed
// sequence is one character, an ill-formed byte becomes at most one.
std::string Utf8Symbols(const std::string& bytes) {
    std::string symbols;
    symbols.reserve(bytes.size());
    for (std::size_t i = 3; i < bytes.size(); ++i) {
        const unsigned byte = static_cast<unsigned char>(bytes[i]);
        if (byte < 0x80) {
            symbols.push_back(UpperAscii(byte));
        } else if (byte >= 0xC0) {
            symbols.push_back(kWild);
        }
    }
    return symbols;
}

// A blank as the parser sees it; a wildcard may be one of the Unicode blanks, and a NUL reads
// as a blank inside a value.
bool IsJoinBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f' || c == '\0';
}

// The characters that end a word: blanks, line ends, field and section punctuation and the
// end-of-file mark. No field of the parser runs across one of them without keeping it.
bool IsSeparator(char c) {
    return IsJoinBlank(c) || c == '\n' || c == ',' || c == ';' || c == '=' || c == '[' ||
           c == ']' || c == '\x1A';
}

// Where the backslash at `at` joins its line to the next (followed by nothing but backslashes,
// blanks and a comment up to the line end), the position after the line end; otherwise `at`.
std::size_t ContinuationEnd(const std::string& text, std::size_t at) {
    std::size_t p = at + 1;
    while (p < text.size() && (text[p] == '\\' || IsJoinBlank(text[p]) || text[p] == kWild)) {
        ++p;
    }
    if (p < text.size() && text[p] == ';') {
        p = std::min(text.find('\n', p), text.size());
    }
    if (p == text.size()) {
        return p;
    }
    return text[p] == '\n' ? p + 1 : at;
}

// The text with quotes dropped and continued lines joined, the blanks on both sides of each
// join dropped with it; more joins than the parser makes can only give more matches.
std::string Joined(const std::string& text) {
    std::string joined(text.size(), '\0');
    std::size_t length = 0;
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c != '"' && c != '\\') {
            joined[length++] = c;
            ++i;
            continue;
        }
        const std::size_t end = c == '\\' ? ContinuationEnd(text, i) : i + 1;
        if (end == i) {
            joined[length++] = c;
            ++i;
            continue;
        }
        i = end;
        if (c == '\\') {
            while (length > 0 && IsJoinBlank(joined[length - 1])) {
                --length;
            }
            while (i < text.size() && IsJoinBlank(text[i])) {
                ++i;
            }
        }
    }
    joined.resize(length);
    return joined;
}

bool Contains(const std::string& text, const std::string& word) {
    return std::search(text.begin(), text.end(),
                       std::boyer_moore_horspool_searcher(word.begin(), word.end())) != text.end();
}

// A reference's name as the Setup API reads a directory id: an optional sign and digits.
bool ReadDirectoryId(const std::string& name, long* id) {
    std::size_t i = name[0] == '-' || name[0] == '+' ? 1 : 0;
    if (i == name.size()) {
        return false;
    }
    long value = 0;
    for (; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') {
            return false;
        }
        value = std::min(value * 10 + (name[i] - '0'), 1L << 20);
    }
    *id = name[0] == '-' ? -value : value;
    return true;
}

bool IsSystemFolderId(long id) {
    return std::find(std::begin(kSystemFolderIds), std::end(kSystemFolderIds), id) !=
           std::end(kSystemFolderIds);
}

bool IsValidToken(const std::string& token) {
    return !token.empty() && token.size() <= kMaxToken &&
           std::all_of(token.begin(), token.end(), [](char c) {
               return c > ' ' && c < 0x7F && std::strchr("\"%,;=[]", c) == nullptr;
           });
}

// Whether `token` (upper-cased, valid) occurs in the symbols, a wildcard standing for one
// character or none: a bit-parallel match, bit k set when the token's first k characters end
// at the current symbol.
bool Holds(const std::string& symbols, const std::string& token) {
    std::uint64_t masks[256] = {};
    for (std::size_t k = 0; k < token.size(); ++k) {
        masks[static_cast<unsigned char>(token[k])] |= std::uint64_t{1} << (k + 1);
    }
    const std::uint64_t found = std::uint64_t{1} << token.size();
    std::uint64_t state = 1;
    for (const char c : symbols) {
        state = c == kWild ? state | state << 1 | 1
                           : (state << 1 & masks[static_cast<unsigned char>(c)]) | 1;
        if ((state & found) != 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

InfBytes::InfBytes(const std::string& bytes, const char* windowsFolder) {
    AddReading(AnsiSymbols(bytes));
    // Read as UTF-16, a file holds the [Version] section's name in ASCII only with NUL bytes.
    if (bytes.find('\0') != std::string::npos) {
        AddReading(Utf16Symbols(bytes));
    }
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        AddReading(Utf8Symbols(bytes));
    }
    const std::string folder = AnsiSymbols(windowsFolder);
    const std::size_t slash = folder.find('\\');
    systemFolders_.append(folder, 0, slash == std::string::npos ? folder.size() : slash + 1);
    systemFolders_.push_back('\0');
    for (const char* subfolder : kSystemSubfolders) {
        systemFolders_.append(folder).append(subfolder).push_back('\0');
    }
}

// The Setup API substitutes a reference within its field. Words never run across the end of a
// field, so the words of a field with an even number of '%' each pair them as the field does;
// a value can only join what stands right outside its reference.
void InfBytes::AddReading(const std::string& decoded) {
    Reading reading;
    reading.symbols = Joined(decoded);
    reading.wild = reading.symbols.find(kWild) != std::string::npos;
    const std::string& text = reading.symbols;
    // The Setup API opens no INF as a Windows 4 style one without its [Version] section, whose
    // name it compares in ASCII: a reading that does not hold the name lists nothing. (Read as
    // UTF-16, ANSI text is all ideographs and look-alikes, and never holds it.)
    if (!Contains(text, "VERSION")) {
        return;
    }
    reading.mayNameAnything = Contains(text, "LAYOUTFILE");
    // Only the words that hold a '%' can join anything.
    std::vector<std::size_t> percents;
    for (std::size_t at = text.find('%'); at != std::string::npos;) {
        std::size_t begin = at;
        while (begin > 0 && !IsSeparator(text[begin - 1])) {
            --begin;
        }
        std::size_t end = at;
        percents.clear();
        for (; end < text.size() && !IsSeparator(text[end]); ++end) {
            if (text[end] == '%') {
                percents.push_back(end);
            }
        }
        AddReferences(text, begin, end, percents, &reading);
        at = text.find('%', end);
    }
    readings_.push_back(std::move(reading));
}

void InfBytes::AddReferences(const std::string& text, std::size_t begin, std::size_t end,
                             const std::vector<std::size_t>& percents, Reading* reading) {
    reading->mayNameAnything = reading->mayNameAnything || percents.size() % 2 != 0;
    for (std::size_t k = 0; k + 1 < percents.size(); k += 2) {
        const std::size_t open = percents[k];
        const std::size_t close = percents[k + 1];
        if (close == open + 1) {
            continue;  // "%%" stands for a '%'
        }
        if (open > begin) {
            MarkBeside(text[open - 1], reading);
        }
        if (close + 1 < end) {
            MarkBeside(text[close + 1], reading);
        }
        long id = 0;
        if (ReadDirectoryId(text.substr(open + 1, close - open - 1), &id)) {
            const bool system = IsSystemFolderId(id);
            reading->systemFolderReference = reading->systemFolderReference || system;
            reading->mayNameAnything = reading->mayNameAnything || !system;
        }
    }
}

void InfBytes::MarkBeside(char c, Reading* reading) {
    // A reference right beside another (or beside an escaped '%') may join two values.
    reading->mayNameAnything = reading->mayNameAnything || c == '%';
    reading->besideReference[static_cast<unsigned char>(c)] = true;
}

bool InfBytesMayName(const InfBytes& bytes, const char* token) {
    std::string upper;
    for (const char* c = token; *c != '\0'; ++c) {
        upper.push_back(UpperAscii(static_cast<unsigned char>(*c)));
    }
    if (!IsValidToken(upper)) {
        return true;
    }
    const bool inSystemFolder =
        std::search(bytes.systemFolders_.begin(), bytes.systemFolders_.end(), upper.begin(),
                    upper.end()) != bytes.systemFolders_.end();
    return std::any_of(
        bytes.readings_.begin(), bytes.readings_.end(), [&](const InfBytes::Reading& reading) {
            return reading.mayNameAnything || (reading.systemFolderReference && inSystemFolder) ||
                   reading.besideReference[static_cast<unsigned char>(kWild)] ||
                   std::any_of(upper.begin(), upper.end(),
                               [&](char c) {
                                   return reading.besideReference[static_cast<unsigned char>(c)];
                               }) ||
                   (reading.wild
                        ? Holds(reading.symbols, upper)
                        : std::search(reading.symbols.begin(), reading.symbols.end(),
                                      std::boyer_moore_horspool_searcher(
                                          upper.begin(), upper.end())) != reading.symbols.end());
        });
}

}  // namespace drvsweep
