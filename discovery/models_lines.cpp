#include "discovery/models_lines.h"

namespace drvsweep {

bool ModelsPattern(const CodePage& codePage, const char* hardwareId, PathText* pattern) {
    if (!pattern->assign(hardwareId)) {
        return false;
    }
    UpperCaseAscii(codePage, pattern->data());
    return true;
}

}  // namespace drvsweep
