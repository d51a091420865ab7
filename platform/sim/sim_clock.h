#pragma once

#include "platform/clock.h"

namespace drvsweep::sim {

// A clock that stands still at the time it was set to; it starts at 2026-12-08 23:05:09.042 UTC.
class SimClock : public Clock {
public:
    UtcTime UtcNow() override { return now_; }
    void Set(const UtcTime& now) { now_ = now; }

private:
    UtcTime now_{2026, 12, 8, 23, 5, 9, 42};
};

}  // namespace drvsweep::sim
