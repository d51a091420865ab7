#include "platform/win32/win32_run_lock.h"

#include <string>

#include "platform/win32/administrators_only_security.h"
#include "platform/win32/bound_function.h"

namespace drvsweep::win32 {

namespace {

constexpr char kNamespace[] = "DrvSweep";
constexpr char kMutexName[] = "DrvSweep\\Removal";
constexpr char kLockFileName[] = "DrvSweep.lock";

// The namespace calls of Vista and later, with CreateWellKnownSid (XP and later) for the
// Administrators group's SID; all of them or none.
struct NamespaceCalls {
    NamespaceCalls() {
        const HMODULE kernel = GetModuleHandleA("kernel32.dll");
        const HMODULE advapi = GetModuleHandleA("advapi32.dll");
        createBoundary = BoundFunction<CreateBoundaryCall>(kernel, "CreateBoundaryDescriptorA");
        addSid = BoundFunction<AddSidCall>(kernel, "AddSIDToBoundaryDescriptor");
        deleteBoundary = BoundFunction<DeleteBoundaryCall>(kernel, "DeleteBoundaryDescriptor");
        createNamespace = BoundFunction<CreateNamespaceCall>(kernel, "CreatePrivateNamespaceA");
        openNamespace = BoundFunction<OpenNamespaceCall>(kernel, "OpenPrivateNamespaceA");
        closeNamespace = BoundFunction<CloseNamespaceCall>(kernel, "ClosePrivateNamespace");
        wellKnownSid = BoundFunction<WellKnownSidCall>(advapi, "CreateWellKnownSid");
    }

    bool complete() const {
        return createBoundary != nullptr && addSid != nullptr && deleteBoundary != nullptr &&
               createNamespace != nullptr && openNamespace != nullptr &&
               closeNamespace != nullptr && wellKnownSid != nullptr;
    }

    using CreateBoundaryCall = HANDLE WINAPI(LPCSTR, ULONG);
    using AddSidCall = BOOL WINAPI(HANDLE*, PSID);
    using DeleteBoundaryCall = VOID WINAPI(HANDLE);
    using CreateNamespaceCall = HANDLE WINAPI(LPSECURITY_ATTRIBUTES, LPVOID, LPCSTR);
    using OpenNamespaceCall = HANDLE WINAPI(LPVOID, LPCSTR);
    using CloseNamespaceCall = BOOLEAN WINAPI(HANDLE, ULONG);
    using WellKnownSidCall = BOOL WINAPI(WELL_KNOWN_SID_TYPE, PSID, PSID, DWORD*);

    CreateBoundaryCall* createBoundary = nullptr;
    AddSidCall* addSid = nullptr;
    DeleteBoundaryCall* deleteBoundary = nullptr;
    CreateNamespaceCall* createNamespace = nullptr;
    OpenNamespaceCall* openNamespace = nullptr;
    CloseNamespaceCall* closeNamespace = nullptr;
    WellKnownSidCall* wellKnownSid = nullptr;
};

// Makes the namespace, or opens the one another administrator's process made; null when
// neither works (a process outside the boundary).
HANDLE OpenOrCreateNamespace(const NamespaceCalls& calls) {
    BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD sidSize = sizeof sid;
    if (!calls.wellKnownSid(WinBuiltinAdministratorsSid, nullptr, sid, &sidSize)) {
        return nullptr;
    }
    HANDLE boundary = calls.createBoundary(kNamespace, 0);
    if (boundary == nullptr) {
        return nullptr;
    }
    HANDLE opened = nullptr;
    if (calls.addSid(&boundary, sid)) {
        AdministratorsOnlySecurity security;
        opened = calls.createNamespace(security.attributes(), boundary, kNamespace);
        if (opened == nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
            opened = calls.openNamespace(boundary, kNamespace);
        }
    }
    calls.deleteBoundary(boundary);
    return opened;
}

bool IsNtFamily() {
    return (GetVersion() & 0x80000000u) == 0;
}

// %windir% with a trailing part; empty when the Windows folder cannot be read.
std::string InWindowsFolder(const char* tail) {
    char folder[MAX_PATH + 1] = {};
    const UINT length = GetWindowsDirectoryA(folder, sizeof folder);
    if (length == 0 || length >= sizeof folder) {
        return std::string();
    }
    return std::string(folder) + tail;
}

// The folder of the lock file: on the NT family made administrators-only like the log's, so
// that no user can put a file of that name there first and hold it open.
std::string LockFolder() {
    if (!IsNtFamily()) {
        return InWindowsFolder("");
    }
    const std::string logs = InWindowsFolder("\\Logs");
    if (logs.empty()) {
        return logs;
    }
    AdministratorsOnlySecurity security;
    if (security.attributes() == nullptr) {
        return std::string();
    }
    for (const std::string& folder : {logs, logs + "\\DrvSweep"}) {
        if (!CreateDirectoryA(folder.c_str(), security.attributes()) &&
            GetLastError() != ERROR_ALREADY_EXISTS) {
            return std::string();
        }
    }
    return logs + "\\DrvSweep";
}

}  // namespace

Win32RunLock::~Win32RunLock() {
    if (namespace_ != nullptr) {
        NamespaceCalls().closeNamespace(namespace_, 0);
    }
}

RunLockState Win32RunLock::Take() {
    if (taken_) {
        return RunLockState::Taken;
    }
    const RunLockState inNamespace = TakeNamespaceMutex();
    if (inNamespace == RunLockState::HeldElsewhere) {
        return inNamespace;
    }
    const RunLockState file = TakeLockFile();
    if (file == RunLockState::HeldElsewhere) {
        return file;
    }
    taken_ = inNamespace == RunLockState::Taken || file == RunLockState::Taken;
    return taken_ ? RunLockState::Taken : RunLockState::Unavailable;
}

RunLockState Win32RunLock::TakeNamespaceMutex() {
    const NamespaceCalls calls;
    if (!calls.complete()) {
        return RunLockState::Unavailable;
    }
    const HANDLE opened = OpenOrCreateNamespace(calls);
    if (opened == nullptr) {
        return RunLockState::Unavailable;
    }
    const HANDLE mutex = CreateMutexA(nullptr, FALSE, kMutexName);
    const DWORD error = GetLastError();
    if (mutex != nullptr && error != ERROR_ALREADY_EXISTS) {
        namespace_ = opened;
        *mutex_.receive() = mutex;
        return RunLockState::Taken;
    }
    if (mutex != nullptr) {
        CloseHandle(mutex);
    }
    // Only the holder keeps the namespace open, so that it goes with the holder.
    calls.closeNamespace(opened, 0);
    return mutex != nullptr || error == ERROR_ACCESS_DENIED ? RunLockState::HeldElsewhere
                                                            : RunLockState::Unavailable;
}

RunLockState Win32RunLock::TakeLockFile() {
    const std::string folder = LockFolder();
    if (folder.empty()) {
        return RunLockState::Unavailable;
    }
    const std::string path = folder + "\\" + kLockFileName;
    // No sharing: while this process holds it open, no other can open it.
    *file_.receive() = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                   OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file_.valid()) {
        return RunLockState::Taken;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION ? RunLockState::HeldElsewhere
                                                     : RunLockState::Unavailable;
}

}  // namespace drvsweep::win32
