// How long DrvSweep.exe takes from its start until its window shows the filled list, as a
// user waits for it: the program is started in the Wine prefix that the runner seeded from the
// scenario, and the time runs until its main dialog is shown, waits for input and lists the
// scanners. One start first warms the prefix; the median of the starts after it is printed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/win32/windows_api.h"
#include "res/resource.h"
#include "tests/wine/program_session.h"
#include "tests/wine/window_reader.h"

namespace drvsweep {
namespace {

constexpr int kMeasuredStarts = 5;

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

// One start of the program: the milliseconds until its list showed `entries` entries.
double TimeOneStart(std::size_t entries) {
    LARGE_INTEGER started;
    QueryPerformanceCounter(&started);
    testing::ProgramSession session;
    const std::size_t shown =
        session.mainWindow() ? testing::ListEntries(session.mainWindow(), IDC_SCANNER_LIST).size()
                             : 0;
    LARGE_INTEGER listed;
    QueryPerformanceCounter(&listed);
    EXPECT_EQ(shown, entries);
    if (session.mainWindow()) {
        PostMessageW(session.mainWindow(), WM_CLOSE, 0, 0);
        session.ExpectEndsCleanly();
    }
    return Milliseconds(started, listed);
}

TEST(StartUpWindow, TimeUntilTheListIsFilled) {
    const char* scanners = std::getenv("DRVSWEEP_BENCH_SCANNERS");
    const std::size_t entries = scanners ? static_cast<std::size_t>(std::atoi(scanners)) : 0;
    TimeOneStart(entries);
    std::vector<double> times;
    for (int i = 0; i < kMeasuredStarts; ++i) {
        times.push_back(TimeOneStart(entries));
    }
    std::sort(times.begin(), times.end());
    std::printf("window with %d scanners listed after (ms):", static_cast<int>(entries));
    for (double time : times) {
        std::printf(" %.0f", time);
    }
    std::printf("; median %.0f\n", times[times.size() / 2]);
}

}  // namespace
}  // namespace drvsweep
