#pragma once

#include "platform/run_facts.h"

namespace drvsweep::win32 {

// The facts of the running system. The calls that only later Windows versions have
// (CheckTokenMembership, SetupSetNonInteractiveMode, GetProcessWindowStation,
// GetUserObjectInformationA and ProcessIdToSessionId) are bound at run time, so that the program
// still loads on the 9x family and on Windows NT 4.
class Win32RunFacts : public RunFacts {
public:
    std::string ComputerName() override;
    std::string UserName() override;
    UtcTime UtcNow() override;
    std::uint32_t ThreadId() override;
    int ProgramBits() override;
    std::u16string AnsiToUtf16(const char* bytes) override;
    AdminState IsAdministrator() override;
    bool HasVisibleWindowStation() override;
    void SetSetupNonInteractive() override;
};

}  // namespace drvsweep::win32
