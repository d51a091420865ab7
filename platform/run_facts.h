#pragma once

#include <cstdint>
#include <string>

#include "platform/clock.h"

namespace drvsweep {

enum class AdminState { Yes, No, Unknown };

// What a command-line run asks of the system besides the services of Platform: who and where
// it runs, the time, text conversion, and the guard that keeps a fleet run from hanging.
class RunFacts {
public:
    virtual ~RunFacts() = default;

    // GetComputerNameA and GetUserNameA; empty when unknown.
    virtual std::string ComputerName() = 0;
    virtual std::string UserName() = 0;

    virtual UtcTime UtcNow() = 0;

    // GetCurrentThreadId, which log lines name.
    virtual std::uint32_t ThreadId() = 0;

    // 64 or 32: the bitness of the program itself.
    virtual int ProgramBits() = 0;

    // A registry text in the system's ANSI code page as UTF-16 (MultiByteToWideChar, CP_ACP).
    virtual std::u16string AnsiToUtf16(const char* bytes) = 0;

    // Whether the own process holds administrator rights (CheckTokenMembership, bound at run
    // time); Unknown where the system has no way to tell.
    virtual AdminState IsAdministrator() = 0;

    // Whether anyone could see a window of the process: its window station is visible
    // (WSF_VISIBLE), and from Vista on the process is not in session 0 (ProcessIdToSessionId),
    // where no user signs in. False for a service's programs; true where the system cannot tell.
    virtual bool HasVisibleWindowStation() = 0;

    // SetupSetNonInteractiveMode(TRUE), bound at run time, where the system has it: the Setup
    // API then fails a step instead of showing a window.
    virtual void SetSetupNonInteractive() = 0;
};

}  // namespace drvsweep
