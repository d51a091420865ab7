#include "discovery/models_lines.h"

namespace drvsweep {

void UpperCaseAscii(PathText* text) {
    for (char* c = text->data(); *c != '\0'; ++c) {
        if (*c >= 'a' && *c <= 'z') {
            *c = static_cast<char>(*c - 'a' + 'A');
        }
    }
}

bool ModelsPattern(const char* hardwareId, PathText* pattern) {
    if (!pattern->assign(hardwareId)) {
        return false;
    }
    UpperCaseAscii(pattern);
    return true;
}

}  // namespace drvsweep
