#pragma once

#include "platform/console_output.h"

namespace drvsweep::win32 {

// The standard handles the program was given; where it was given none (a GUI program started
// from a console), the parent's console, attached with AttachConsole(ATTACH_PARENT_PROCESS)
// bound at run time (Windows XP and later), else nowhere. A console is written with
// WriteConsoleW; a pipe or a file receives the UTF-8 bytes.
class Win32Console : public ConsoleOutput {
public:
    bool WriteOutput(const std::string& utf8) override;
    bool WriteError(const std::string& utf8) override;
};

}  // namespace drvsweep::win32
