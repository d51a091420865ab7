#pragma once

#include "platform/clock.h"

namespace drvsweep::win32 {

// GetSystemTime.
class Win32Clock : public Clock {
public:
    UtcTime UtcNow() override;
};

}  // namespace drvsweep::win32
