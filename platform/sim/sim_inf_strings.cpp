#include "platform/sim/sim_inf_strings.h"

#include <algorithm>
#include <cstddef>
#include <optional>

namespace drvsweep::sim {
namespace {

constexpr std::size_t kMaxSubstitutedLength = 4097;
constexpr long kUserIdFirst = 32768;
constexpr long kShellIdFirst = 16384;
constexpr long kShellIdLast = 16447;
constexpr long kUserProfileId = 53;

struct KnownDirectory {
    long id;
    const char16_t* path;
};

constexpr KnownDirectory kKnownDirectories[] = {
    {0, u""},
    {-1, u""},
    {65535, u""},
    {10, u"C:\\windows"},
    {11, u"C:\\windows\\system32"},
    {12, u"C:\\windows\\system32\\drivers"},
    {17, u"C:\\windows\\inf"},
    {18, u"C:\\windows\\help"},
    {20, u"C:\\windows\\fonts"},
    {21, u"C:\\windows\\system32\\viewers"},
    {23, u"C:\\windows\\system32\\spool\\drivers\\color"},
    {24, u"C:\\"},
    {25, u"C:\\windows"},
    {30, u"C:\\"},
    {50, u"C:\\windows\\system"},
    {51, u"C:\\windows\\system32\\spool"},
    {52, u"C:\\windows\\system32\\spool\\drivers"},
    {54, u"C:\\"},
    {55, u"C:\\windows\\system32\\spool\\prtprocs\\x64"},
};

// strtol in base 10 over the whole name: leading blanks and a sign allowed, at least one
// digit, nothing after the digits. Values beyond the 32-bit range are clamped, as strtol's.
std::optional<long> ParseDirectoryId(const WideText& name) {
    std::size_t i = 0;
    while (i < name.size() && IsInfSpace(name[i])) {
        ++i;
    }
    const bool negative = i < name.size() && name[i] == u'-';
    if (i < name.size() && (name[i] == u'-' || name[i] == u'+')) {
        ++i;
    }
    if (i == name.size()) {
        return std::nullopt;
    }
    long long value = 0;
    for (; i < name.size(); ++i) {
        if (name[i] < u'0' || name[i] > u'9') {
            return std::nullopt;
        }
        value = std::min(value * 10 + (name[i] - u'0'), 1LL << 32);
    }
    return static_cast<long>(negative ? std::max(-value, -(1LL << 31))
                                      : std::min(value, (1LL << 31) - 1));
}

std::optional<WideText> DirectoryOfId(long id, const WideText& infFolder) {
    if (id == 1) {
        return infFolder;
    }
    for (const KnownDirectory& known : kKnownDirectories) {
        if (known.id == id) {
            return WideText(known.path);
        }
    }
    if (id >= kUserIdFirst || id == kUserProfileId || (id >= kShellIdFirst && id <= kShellIdLast)) {
        return std::nullopt;
    }
    return WideText(u"C:\\windows\\system32\\unknown");
}

std::optional<WideText> Replacement(const ParsedInf& inf, const WideText& name,
                                    bool beforeBackslash, const WideText& infFolder) {
    if (name.empty()) {
        return WideText(u"%");
    }
    const InfLineData* line = inf.FindKeyLine(inf.FindSection(u"Strings"), name);
    if (line != nullptr && !line->fields.empty()) {
        return line->fields.front();
    }
    const std::optional<long> id = ParseDirectoryId(name);
    std::optional<WideText> folder = id ? DirectoryOfId(*id, infFolder) : std::nullopt;
    if (folder && beforeBackslash && !folder->empty() && folder->back() == u'\\') {
        folder->pop_back();
    }
    return folder;
}

// Appends up to the room left, as the Setup API's fixed substitution buffer does.
void AppendBounded(WideText* text, const WideText& piece) {
    text->append(piece, 0, std::min(piece.size(), kMaxSubstitutedLength - text->size()));
}

}  // namespace

WideText SubstituteInfStrings(const ParsedInf& inf, const WideText& field,
                              const WideText& infFolder) {
    WideText text;
    std::size_t start = 0;  // the first character not yet copied
    bool inside = false;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != u'%') {
            continue;
        }
        inside = !inside;
        if (inside) {
            AppendBounded(&text, field.substr(start, i - start));
            start = i;
            continue;
        }
        const bool beforeBackslash = i + 1 < field.size() && field[i + 1] == u'\\';
        const std::optional<WideText> replacement =
            Replacement(inf, field.substr(start + 1, i - start - 1), beforeBackslash, infFolder);
        AppendBounded(&text, replacement ? *replacement : field.substr(start, i - start + 1));
        start = i + 1;
    }
    AppendBounded(&text, field.substr(start));
    return text;
}

}  // namespace drvsweep::sim
