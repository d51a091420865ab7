#pragma once

#include <string>

namespace drvsweep {

// Where a command-line run's text goes: the standard output and error that the program was
// given (a pipe or a file, as fleet tools pass them), else the console of the parent process,
// else nowhere. Texts are UTF-8; a console is written in UTF-16 so that every character shows.
class ConsoleOutput {
public:
    virtual ~ConsoleOutput() = default;

    // False when there is nowhere to write or the write failed; a run goes on either way.
    virtual bool WriteOutput(const std::string& utf8) = 0;
    virtual bool WriteError(const std::string& utf8) = 0;
};

}  // namespace drvsweep
