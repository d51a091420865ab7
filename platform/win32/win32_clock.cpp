#include "platform/win32/win32_clock.h"

#include "platform/win32/windows_api.h"

namespace drvsweep::win32 {

UtcTime Win32Clock::UtcNow() {
    SYSTEMTIME time;
    GetSystemTime(&time);
    return {time.wYear,   time.wMonth,  time.wDay,         time.wHour,
            time.wMinute, time.wSecond, time.wMilliseconds};
}

}  // namespace drvsweep::win32
