#include "removal/uninstaller_command_line.h"

#include <cctype>
#include <cstring>
#include <string>

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

bool RunsWindowsInstaller(const char* commandLine) {
    const char* p = commandLine;
    while (*p == ' ' || *p == '\t') {
        ++p;
    }
    const bool quoted = *p == '"';
    p += quoted ? 1 : 0;
    std::string program;
    for (; *p != '\0' && (quoted ? *p != '"' : *p != ' ' && *p != '\t'); ++p) {
        program += static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
    }
    const std::size_t slash = program.find_last_of("\\/");
    const std::string name = slash == std::string::npos ? program : program.substr(slash + 1);
    return name == "msiexec" || name == "msiexec.exe";
}

}  // namespace drvsweep
