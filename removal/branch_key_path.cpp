#include "removal/branch_key_path.h"

#include <cstddef>
#include <cstring>

namespace drvsweep {

namespace {

bool IsPlainComponent(const char* begin, const char* end) {
    const auto length = static_cast<std::size_t>(end - begin);
    return length > 0 && !(length == 1 && begin[0] == '.') &&
           !(length == 2 && begin[0] == '.' && begin[1] == '.');
}

}  // namespace

bool IsKeyPathBelowBranch(const CodePage& codePage, const char* path) {
    int components = 0;
    const char* begin = path;
    for (;;) {
        const char* end = FindFirstBackslash(codePage, begin);
        if (end == nullptr) {
            end = begin + std::strlen(begin);
        }
        if (!IsPlainComponent(begin, end)) {
            return false;
        }
        ++components;
        if (*end == '\0') {
            return components >= 2;
        }
        begin = end + 1;
    }
}

}  // namespace drvsweep
