#include "platform/win32/win32_programs.h"

#include <utility>

#include "platform/win32/scoped_handle.h"
#include "platform/win32/windows_api.h"

namespace drvsweep::win32 {

namespace {

class Win32ProcessToken : public ProcessToken {
public:
    explicit Win32ProcessToken(ScopedKernelHandle token) : token_(std::move(token)) {}

    bool AdjustPrivilege(const Luid& privilege, std::uint32_t attributes) override {
        TOKEN_PRIVILEGES privileges = {};
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Luid.LowPart = privilege.lowPart;
        privileges.Privileges[0].Luid.HighPart = privilege.highPart;
        privileges.Privileges[0].Attributes = attributes;
        return AdjustTokenPrivileges(token_.get(), FALSE, &privileges, 0, nullptr, nullptr) !=
               FALSE;
    }

private:
    ScopedKernelHandle token_;
};

}  // namespace

std::intptr_t Win32Programs::ShellOpen(const char* program, const char* parameters) {
    // ShellExecuteA returns an HINSTANCE only for compatibility; its value is the result code.
    return reinterpret_cast<std::intptr_t>(
        ShellExecuteA(nullptr, "open", program, parameters, nullptr, SW_SHOWNORMAL));
}

std::unique_ptr<ProcessToken> Win32Programs::OpenOwnToken(std::uint32_t access) {
    ScopedKernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), access, token.receive())) {
        return nullptr;
    }
    return std::make_unique<Win32ProcessToken>(std::move(token));
}

bool Win32Programs::LookupPrivilege(const char* name, Luid* privilege) {
    LUID luid;
    if (!LookupPrivilegeValueA(nullptr, name, &luid)) {
        return false;
    }
    privilege->lowPart = luid.LowPart;
    privilege->highPart = luid.HighPart;
    return true;
}

bool Win32Programs::ExitWindows(std::uint32_t flags, std::uint32_t reason) {
    return ExitWindowsEx(flags, reason) != FALSE;
}

}  // namespace drvsweep::win32
