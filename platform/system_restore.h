#pragma once

#include <cstdint>

namespace drvsweep {

// What one call to System Restore answered: whether the system has it at all (srclient.dll,
// loaded at run time: Windows ME, XP and later) and, when it ran, whether it succeeded, with
// the status it gave (STATEMGRSTATUS.nStatus, or GetLastError() where it gave none) and the
// restore point's sequence number.
struct RestorePointCall {
    bool available = false;
    bool succeeded = false;
    std::uint32_t status = 0;
    std::int64_t sequence = 0;
};

// System Restore's restore points, as an uninstaller makes them: one begun before the change
// and ended after it.
class SystemRestore {
public:
    virtual ~SystemRestore() = default;

    // SRSetRestorePointA with BEGIN_SYSTEM_CHANGE and APPLICATION_UNINSTALL; the description is
    // cut to what RESTOREPOINTINFOA holds (63 bytes and the terminator).
    virtual RestorePointCall Begin(const char* description) = 0;

    // SRSetRestorePointA with END_SYSTEM_CHANGE for the sequence number Begin gave.
    virtual RestorePointCall End(std::int64_t sequence) = 0;
};

}  // namespace drvsweep
