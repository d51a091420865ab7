#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace drvsweep {

// What the run's restore point came to, as one line for the log.
struct RestorePointNote {
    bool made = false;
    std::string text;
};

// The one restore point of a run: begun before its first removal, ended after its last.
class RunRestorePoint {
public:
    explicit RunRestorePoint(Platform& platform) : platform_(platform) {}

    // Asks System Restore for a point (APPLICATION_UNINSTALL), the first time only; later calls
    // answer nothing (an empty text). From Windows 8 on Windows skips a point made within 24
    // hours of the last unless SystemRestorePointCreationFrequency allows it: the value is set
    // to 0 for the call alone and the previous one put back (or deleted where there was none);
    // where System Restore's key is missing, nothing is made for it.
    // A system without System Restore, with it turned off, or a call that fails is only noted:
    // the run goes on.
    RestorePointNote Begin();

    // Ends the point begun, if one was.
    RestorePointNote End();

private:
    Platform& platform_;
    bool tried_ = false;
    bool begun_ = false;
    std::int64_t sequence_ = 0;
};

}  // namespace drvsweep
