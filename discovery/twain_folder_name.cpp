#include "discovery/twain_folder_name.h"

#include <cstring>

namespace drvsweep {

namespace {

bool IsSafeComponent(const char* begin, const char* end) {
    if (begin == end || *begin == ' ' || end[-1] == ' ' || end[-1] == '.') {
        return false;
    }
    for (const char* c = begin; c != end; ++c) {
        const unsigned char byte = static_cast<unsigned char>(*c);
        if (byte < 0x20 || std::strchr("/:*?\"<>|,", byte) != nullptr) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool IsSafeTwainFolderName(const char* name) {
    const char* begin = name;
    for (;;) {
        const char* end = std::strchr(begin, '\\');
        if (end == nullptr) {
            end = begin + std::strlen(begin);
        }
        if (!IsSafeComponent(begin, end)) {
            return false;
        }
        if (*end == '\0') {
            return true;
        }
        begin = end + 1;
    }
}

}  // namespace drvsweep
