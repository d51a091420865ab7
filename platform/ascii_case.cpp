#include "platform/ascii_case.h"

namespace drvsweep {

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringAsciiCase(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (LowerAscii(*a) != LowerAscii(*b)) {
            return false;
        }
    }
    return *a == *b;
}

bool StartsWithIgnoringAsciiCase(const char* text, const char* prefix) {
    for (; *prefix != '\0'; ++text, ++prefix) {
        if (LowerAscii(*text) != LowerAscii(*prefix)) {
            return false;
        }
    }
    return true;
}

}  // namespace drvsweep
