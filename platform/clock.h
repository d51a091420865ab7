#pragma once

namespace drvsweep {

// A moment in UTC, as GetSystemTime gives it.
struct UtcTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// The system's clock.
class Clock {
public:
    virtual ~Clock() = default;

    // GetSystemTime.
    virtual UtcTime UtcNow() = 0;
};

}  // namespace drvsweep
