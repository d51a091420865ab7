#pragma once

#include "platform/system_restore.h"

namespace drvsweep::win32 {

// SRSetRestorePointA of srclient.dll, loaded at run time from the system folder: Windows 2000
// and the 9x family but ME have no System Restore.
class Win32SystemRestore : public SystemRestore {
public:
    RestorePointCall Begin(const char* description) override;
    RestorePointCall End(std::int64_t sequence) override;
};

}  // namespace drvsweep::win32
