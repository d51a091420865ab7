#include "platform/wininit_text.h"

#include <cstddef>
#include <cstring>

namespace drvsweep {

namespace {

constexpr const char* kLineEnd = "\r\n";

// One line of the text: [begin, end) without its line end, next the start of the next line.
struct Line {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t next = 0;
};

Line LineAt(const std::string& text, std::size_t begin) {
    Line line;
    line.begin = begin;
    const std::size_t newline = text.find('\n', begin);
    line.next = newline == std::string::npos ? text.size() : newline + 1;
    line.end = newline == std::string::npos ? text.size() : newline;
    if (line.end > begin && text[line.end - 1] == '\r') {
        --line.end;
    }
    return line;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string Trimmed(const std::string& text, std::size_t begin, std::size_t end) {
    while (begin < end && IsBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

// Compares a section name or key with a name, without case.
bool IsName(const CodePage& codePage, const std::string& text, const char* name) {
    return text.size() == std::strlen(name) && EqualsIgnoringCase(codePage, text.c_str(), name);
}

// Whether the line is a section header, and then whether it names [rename].
bool IsHeader(const CodePage& codePage, const std::string& text, const Line& line, bool* isRename) {
    const std::string content = Trimmed(text, line.begin, line.end);
    if (content.empty() || content[0] != '[') {
        return false;
    }
    const std::size_t close = content.find(']');
    const std::string name =
        Trimmed(content, 1, close == std::string::npos ? content.size() : close);
    *isRename = IsName(codePage, name, "rename");
    return true;
}

// The value of a NUL= line, or false for any other line.
bool NulValue(const CodePage& codePage, const std::string& text, const Line& line,
              std::string* value) {
    const std::size_t equals = text.find('=', line.begin);
    if (equals == std::string::npos || equals >= line.end ||
        !IsName(codePage, Trimmed(text, line.begin, equals), "nul")) {
        return false;
    }
    *value = Trimmed(text, equals + 1, line.end);
    return true;
}

// Where the first [rename] section's lines are: from the line after its header up to the next
// header or the end. False when there is no such section.
bool FindRenameSection(const CodePage& codePage, const std::string& text, std::size_t* first,
                       std::size_t* end) {
    bool inSection = false;
    for (std::size_t at = 0; at < text.size();) {
        const Line line = LineAt(text, at);
        bool isRename = false;
        if (IsHeader(codePage, text, line, &isRename)) {
            if (inSection) {
                *end = line.begin;
                return true;
            }
            if (isRename) {
                inSection = true;
                *first = line.next;
            }
        }
        at = line.next;
    }
    *end = text.size();
    return inSection;
}

}  // namespace

std::vector<std::string> WininitDeletions(const CodePage& codePage, const std::string& text) {
    std::vector<std::string> paths;
    bool inSection = false;
    for (std::size_t at = 0; at < text.size();) {
        const Line line = LineAt(text, at);
        bool isRename = false;
        std::string value;
        if (IsHeader(codePage, text, line, &isRename)) {
            inSection = isRename;
        } else if (inSection && NulValue(codePage, text, line, &value)) {
            paths.push_back(value);
        }
        at = line.next;
    }
    return paths;
}

std::string AddWininitDeletion(const CodePage& codePage, const std::string& text,
                               const std::string& shortPath) {
    const std::string entry = "NUL=" + shortPath + kLineEnd;
    std::size_t first = 0;
    std::size_t end = 0;
    if (!FindRenameSection(codePage, text, &first, &end)) {
        const bool closed = text.empty() || text.back() == '\n';
        return text + (closed ? "" : kLineEnd) + "[rename]" + kLineEnd + entry;
    }
    // After the header, or after the section's last line that is not blank.
    std::size_t insertAt = first;
    for (std::size_t at = first; at < end;) {
        const Line line = LineAt(text, at);
        std::string value;
        if (NulValue(codePage, text, line, &value) && value == shortPath) {
            return text;
        }
        if (!Trimmed(text, line.begin, line.end).empty()) {
            insertAt = line.next;
        }
        at = line.next;
    }
    // A header or last line without a line end is the end of the text: close it first.
    const bool closed = text[insertAt - 1] == '\n';
    return text.substr(0, insertAt) + (closed ? "" : kLineEnd) + entry + text.substr(insertAt);
}

}  // namespace drvsweep
