#include "discovery/twain_folder_name.h"

#include <cstring>

namespace drvsweep {

namespace {

// A trailing dot or blank is a byte of its own: no code page has either as a second byte.
bool IsSafeComponent(const CodePage& codePage, const char* begin, const char* end) {
    if (begin == end || *begin == ' ' || end[-1] == ' ' || end[-1] == '.') {
        return false;
    }
    for (const char* c = begin; c < end; c = NextChar(codePage, c)) {
        const unsigned char byte = static_cast<unsigned char>(*c);
        if (codePage.IsLeadByte(byte)) {
            // A lead byte with nothing after it is no character Windows could name a folder by.
            if (c + 1 >= end) {
                return false;
            }
            continue;
        }
        if (byte < 0x20 || std::strchr("/:*?\"<>|,", byte) != nullptr) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool IsSafeTwainFolderName(const CodePage& codePage, const char* name) {
    const char* begin = name;
    for (;;) {
        const char* end = FindFirstBackslash(codePage, begin);
        if (end == nullptr) {
            end = begin + std::strlen(begin);
        }
        if (!IsSafeComponent(codePage, begin, end)) {
            return false;
        }
        if (*end == '\0') {
            return true;
        }
        begin = end + 1;
    }
}

}  // namespace drvsweep
