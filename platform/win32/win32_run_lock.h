#pragma once

#include "platform/run_lock.h"
#include "platform/win32/scoped_handle.h"

namespace drvsweep::win32 {

// The run lock over two guards, both held until the process ends. Where Windows has private
// object namespaces (Vista and later), a mutex "DrvSweep\Removal" in the namespace "DrvSweep"
// whose boundary is the Administrators group: a program outside that group can neither create
// the namespace nor open it. On every system, the file DrvSweep.lock opened without sharing:
// on the NT family in %windir%\Logs\DrvSweep, a folder made administrators-only, on the 9x
// family, which keeps no security, in %windir%. The lock is held elsewhere when either guard
// is; Unavailable when neither could be made. The namespace calls are bound at run time, as
// the program also loads where they are missing.
class Win32RunLock : public RunLock {
public:
    Win32RunLock() = default;
    ~Win32RunLock() override;
    Win32RunLock(const Win32RunLock&) = delete;
    Win32RunLock& operator=(const Win32RunLock&) = delete;

    RunLockState Take() override;

private:
    RunLockState TakeNamespaceMutex();
    RunLockState TakeLockFile();

    // Closed with ClosePrivateNamespace, not CloseHandle.
    HANDLE namespace_ = nullptr;
    ScopedKernelHandle mutex_;
    ScopedFile file_;
    bool taken_ = false;
};

}  // namespace drvsweep::win32
