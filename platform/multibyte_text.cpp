#include "platform/multibyte_text.h"

namespace drvsweep {

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
        if (*c >= 'a' && *c <= 'z') {
            *c = static_cast<char>(*c - 'a' + 'A');
        }
    }
}

}  // namespace drvsweep
