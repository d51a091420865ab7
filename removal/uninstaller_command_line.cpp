#include "removal/uninstaller_command_line.h"

#include <cstring>
#include <string>

namespace drvsweep {

namespace {

// The first word of a command line: from its first character that is not a blank or tab (an
// opening quote included) to the end of the word (the closing quote or a blank), not included.
struct FirstWord {
    const char* begin;
    const char* end;
};

FirstWord FirstWordOf(const char* commandLine) {
    const char* begin = commandLine;
    while (*begin == ' ' || *begin == '\t') {
        ++begin;
    }
    const bool quoted = *begin == '"';
    const char* end = begin + (quoted ? 1 : 0);
    while (*end != '\0' && (quoted ? *end != '"' : *end != ' ' && *end != '\t')) {
        ++end;
    }
    return {begin, end};
}

bool AssignSplit(const char* commandLine, const char* programEnd, UninstallerCommand* command) {
    const char* parameters = *programEnd == '\0' ? programEnd : programEnd + 1;
    UninstallerCommand split;
    if (!split.program.assign(commandLine, static_cast<std::size_t>(programEnd - commandLine)) ||
        !split.parameters.assign(parameters)) {
        return false;
    }
    *command = split;
    return true;
}

}  // namespace

bool SplitUninstallerCommandLine(const char* commandLine, UninstallerCommand* command) {
    // The first "exe" of "msiexec.exe" lies inside the name: cut there, the line would name a
    // program "msiexe" that does not exist.
    if (RunsWindowsInstaller(commandLine)) {
        return AssignSplit(commandLine, FirstWordOf(commandLine).end, command);
    }
    const char* exe = std::strstr(commandLine, "exe");
    if (exe == nullptr) {
        return false;
    }
    return AssignSplit(commandLine, exe + 3, command);
}

bool RunsWindowsInstaller(const char* commandLine) {
    const FirstWord word = FirstWordOf(commandLine);
    std::string program;
    for (const char* p = word.begin + (*word.begin == '"' ? 1 : 0); p < word.end; ++p) {
        // ASCII letters alone are folded, as the name compared is ASCII.
        program += *p >= 'A' && *p <= 'Z' ? static_cast<char>(*p - 'A' + 'a') : *p;
    }
    const std::size_t slash = program.find_last_of("\\/");
    const std::string name = slash == std::string::npos ? program : program.substr(slash + 1);
    return name == "msiexec" || name == "msiexec.exe";
}

}  // namespace drvsweep
