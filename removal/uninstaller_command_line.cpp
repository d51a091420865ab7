#include "removal/uninstaller_command_line.h"

#include <cstring>

namespace drvsweep {

bool SplitUninstallerCommandLine(const char* commandLine, UninstallerCommand* command) {
    const char* exe = std::strstr(commandLine, "exe");
    if (exe == nullptr) {
        return false;
    }
    const char* programEnd = exe + 3;
    const char* parameters = *programEnd == '\0' ? programEnd : programEnd + 1;
    UninstallerCommand split;
    if (!split.program.assign(commandLine, static_cast<std::size_t>(programEnd - commandLine)) ||
        !split.parameters.assign(parameters)) {
        return false;
    }
    *command = split;
    return true;
}

}  // namespace drvsweep
