#include "platform/sim/file_name_match.h"

#include <cctype>
#include <cstdint>
#include <cstring>

namespace drvsweep::sim {

namespace {

// Characters no 8.3 name holds (byte 0xE5 stood for a deleted entry in FAT).
constexpr char kIllegal8Dot3[] = "*?<>|\"+=,;[]:/\\\xE5";

bool IsLegal8Dot3(const std::string& name) {
    if (name.empty() || name.size() > 12) {
        return false;
    }
    if (name[0] == '.') {
        return name == "." || name == "..";
    }
    std::size_t dot = std::string::npos;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        if (c == ' ') {
            return false;  // Wine makes a short name for every name with a blank
        }
        if (c == '.') {
            if (dot != std::string::npos) {
                return false;
            }
            dot = i;
        } else if (std::strchr(kIllegal8Dot3, c) != nullptr) {
            return false;
        }
    }
    if (dot == std::string::npos) {
        return name.size() <= 8;
    }
    return dot <= 8 && name.size() - dot <= 4 && dot != name.size() - 1;
}

char ShortNameChar(char c) {
    const bool invalid =
        static_cast<unsigned char>(c) > 0x7F || std::strchr("*?<>|\"+=,;[] ~.", c) != nullptr;
    return invalid ? '_' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

unsigned Lower(char c) {
    return static_cast<unsigned>(std::tolower(static_cast<unsigned char>(c)));
}

char Fold(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool Glob(const char* name, const char* pattern) {
    const char* starPattern = nullptr;
    const char* starName = nullptr;
    while (*name != '\0') {
        if (*pattern == '*') {
            starPattern = ++pattern;
            starName = name;
        } else if (*pattern == '?' || (*pattern != '\0' && Fold(*pattern) == Fold(*name))) {
            ++pattern;
            ++name;
        } else if (starPattern != nullptr) {
            pattern = starPattern;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*pattern == '*' || *pattern == '.') {
        ++pattern;
    }
    return *pattern == '\0';
}

}  // namespace

std::string ShortFileName(const std::string& name) {
    if (IsLegal8Dot3(name)) {
        return "";
    }
    std::uint16_t hash = 0xBEEF;
    for (std::size_t i = 0; i + 1 < name.size(); ++i) {
        hash = static_cast<std::uint16_t>((hash << 3) ^ (hash >> 5) ^ Lower(name[i]) ^
                                          (Lower(name[i + 1]) << 8));
    }
    hash = static_cast<std::uint16_t>((hash << 3) ^ (hash >> 5) ^ Lower(name.back()));

    std::size_t extension = std::string::npos;
    for (std::size_t i = 1; i + 1 < name.size(); ++i) {
        if (name[i] == '.') {
            extension = i;
        }
    }
    std::string shortName;
    for (std::size_t i = 0; i < 4 && i < name.size() && i != extension; ++i) {
        shortName += ShortNameChar(name[i]);
    }
    shortName.resize(5, '~');
    static const char kHashChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345";
    shortName += kHashChars[(hash >> 10) & 0x1F];
    shortName += kHashChars[(hash >> 5) & 0x1F];
    shortName += kHashChars[hash & 0x1F];
    if (extension != std::string::npos) {
        shortName += '.';
        for (std::size_t i = extension + 1; i < name.size() && i <= extension + 3; ++i) {
            shortName += ShortNameChar(name[i]);
        }
    }
    return shortName;
}

bool MatchesFilePattern(const std::string& name, const std::string& pattern) {
    if (Glob(name.c_str(), pattern.c_str())) {
        return true;
    }
    const std::string shortName = ShortFileName(name);
    return !shortName.empty() && Glob(shortName.c_str(), pattern.c_str());
}

}  // namespace drvsweep::sim
