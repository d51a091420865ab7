#include "platform/win32/win32_run_facts.h"

#include "platform/win32/ansi_text.h"
#include "platform/win32/bound_function.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/windows_api.h"

namespace drvsweep::win32 {

namespace {

// A function of a system DLL found at run time, or null where this Windows lacks it. A DLL not
// loaded yet is loaded from the system folder by its full path.
template <typename Function>
Function Bind(const char* module, const char* name) {
    HMODULE handle = GetModuleHandleA(module);
    if (handle == nullptr) {
        handle = LoadSystemLibrary(module);
    }
    return handle == nullptr
               ? nullptr
               : reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(handle, name)));
}

}  // namespace

std::string Win32RunFacts::ComputerName() {
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    return GetComputerNameA(name, &size) ? std::string(name) : std::string();
}

std::string Win32RunFacts::UserName() {
    char name[257] = {};
    DWORD size = sizeof name;
    return GetUserNameA(name, &size) ? std::string(name) : std::string();
}

UtcTime Win32RunFacts::UtcNow() {
    return Win32Clock().UtcNow();
}

std::uint32_t Win32RunFacts::ThreadId() {
    return GetCurrentThreadId();
}

int Win32RunFacts::ProgramBits() {
    return static_cast<int>(sizeof(void*) * 8);
}

// A byte sequence that is no character becomes the default character, as before: a report
// keeps the rest of the text.
std::u16string Win32RunFacts::AnsiToUtf16(const char* bytes) {
    std::u16string text;
    AnsiToUtf16Text(bytes, false, &text);
    return text;
}

AdminState Win32RunFacts::IsAdministrator() {
    // The SID calls are bound too: the 9x family's advapi32 need not export them.
    using CheckTokenMembershipCall = BOOL(WINAPI*)(HANDLE, PSID, PBOOL);
    using AllocateSidCall = BOOL(WINAPI*)(PSID_IDENTIFIER_AUTHORITY, BYTE, DWORD, DWORD, DWORD,
                                          DWORD, DWORD, DWORD, DWORD, DWORD, PSID*);
    using FreeSidCall = PVOID(WINAPI*)(PSID);
    const auto check = Bind<CheckTokenMembershipCall>("advapi32.dll", "CheckTokenMembership");
    const auto allocate = Bind<AllocateSidCall>("advapi32.dll", "AllocateAndInitializeSid");
    const auto release = Bind<FreeSidCall>("advapi32.dll", "FreeSid");
    if (check == nullptr || allocate == nullptr || release == nullptr) {
        return AdminState::Unknown;
    }
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!allocate(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0,
                  0, 0, &administrators)) {
        return AdminState::Unknown;
    }
    BOOL member = FALSE;
    const BOOL checked = check(nullptr, administrators, &member);
    release(administrators);
    if (!checked) {
        return AdminState::Unknown;
    }
    return member ? AdminState::Yes : AdminState::No;
}

bool Win32RunFacts::HasVisibleWindowStation() {
    using GetProcessWindowStationCall = HWINSTA(WINAPI*)();
    using GetUserObjectInformationCall = BOOL(WINAPI*)(HANDLE, int, PVOID, DWORD, LPDWORD);
    const auto station = Bind<GetProcessWindowStationCall>("user32.dll", "GetProcessWindowStation");
    const auto information =
        Bind<GetUserObjectInformationCall>("user32.dll", "GetUserObjectInformationA");
    if (station == nullptr || information == nullptr) {
        return true;
    }
    const HWINSTA handle = station();
    USEROBJECTFLAGS flags = {};
    DWORD needed = 0;
    if (handle == nullptr || !information(handle, UOI_FLAGS, &flags, sizeof flags, &needed)) {
        return true;
    }
    if ((flags.dwFlags & WSF_VISIBLE) == 0) {
        return false;
    }
    // From Vista on no user signs in to session 0, whose WinSta0 still counts as visible: a
    // program a service starts there keeps the service's session. Before Vista session 0 is the
    // console's.
    using ProcessIdToSessionIdCall = BOOL(WINAPI*)(DWORD, DWORD*);
    const auto sessionOf = Bind<ProcessIdToSessionIdCall>("kernel32.dll", "ProcessIdToSessionId");
    const DWORD version = GetVersion();
    DWORD session = 1;
    const bool vistaOrLater = (version & 0x80000000u) == 0 && (version & 0xFFu) >= 6;
    return !(vistaOrLater && sessionOf != nullptr && sessionOf(GetCurrentProcessId(), &session) &&
             session == 0);
}

void Win32RunFacts::SetSetupNonInteractive() {
    using SetupSetNonInteractiveModeCall = BOOL(WINAPI*)(BOOL);
    const auto setMode =
        Bind<SetupSetNonInteractiveModeCall>("setupapi.dll", "SetupSetNonInteractiveMode");
    if (setMode != nullptr) {
        setMode(TRUE);
    }
}

}  // namespace drvsweep::win32
