#include "platform/multibyte_text.h"

#include <cstring>

namespace drvsweep {

namespace {

char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The length of the character at `c` when `other` begins with the same character, or 0 when it
// does not. A two-byte character's lead byte is never an ASCII letter or a terminator, so
// `other` has a second byte to compare whenever its first matches.
std::size_t SameCharacter(const CodePage& codePage, const char* c, const char* other) {
    if (NextChar(codePage, c) - c == 2) {
        return c[0] == other[0] && c[1] == other[1] ? 2 : 0;
    }
    return UpperAscii(*c) == UpperAscii(*other) ? 1 : 0;
}

}  // namespace

const char* NextChar(const CodePage& codePage, const char* c) {
    if (*c == '\0') {
        return c;
    }
    if (codePage.IsLeadByte(static_cast<unsigned char>(*c)) && c[1] != '\0') {
        return c + 2;
    }
    return c + 1;
}

const char* FindFirstBackslash(const CodePage& codePage, const char* text) {
    for (const char* c = text; *c != '\0'; c = NextChar(codePage, c)) {
        if (*c == '\\') {
            return c;
        }
    }
    return nullptr;
}

bool EndsWithBackslash(const CodePage& codePage, const char* text) {
    const std::size_t length = LengthWithoutTrailingBackslashes(codePage, text);
    return text[length] != '\0';
}

std::size_t LengthWithoutTrailingBackslashes(const CodePage& codePage, const char* text) {
    std::size_t kept = 0;
    for (const char* c = text; *c != '\0';) {
        const char* next = NextChar(codePage, c);
        if (*c != '\\') {
            kept = static_cast<std::size_t>(next - text);
        }
        c = next;
    }
    return kept;
}

void UpperCaseAscii(const CodePage& codePage, char* text) {
    for (char* c = text; *c != '\0'; c += NextChar(codePage, c) - c) {
        *c = UpperAscii(*c);
    }
}

bool EqualsIgnoringCase(const CodePage& codePage, const char* a, const char* b) {
    while (*a != '\0') {
        const std::size_t length = SameCharacter(codePage, a, b);
        if (length == 0) {
            return false;
        }
        a += length;
        b += length;
    }
    return *b == '\0';
}

bool StartsWithIgnoringCase(const CodePage& codePage, const char* text, const char* prefix) {
    while (*prefix != '\0') {
        const std::size_t length = SameCharacter(codePage, text, prefix);
        if (length == 0) {
            return false;
        }
        text += length;
        prefix += length;
    }
    return true;
}

const char* FileNamePart(const char* path) {
    const char* slash = std::strrchr(path, '\\');
    return slash == nullptr ? path : slash + 1;
}

}  // namespace drvsweep
