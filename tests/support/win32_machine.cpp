#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/scoped_handle.h"
#include "platform/win32/win32_program_hand_over.h"
#include "platform/win32/win32_windows.h"
#include "platform/win32/windows_api.h"
#include "res/resource.h"
#include "tests/support/held_file.h"
#include "tests/support/test_machine.h"

namespace drvsweep::testing {

namespace {

// The Wine prefix the test runs in, as tests/wine/wine_run.sh seeded it from the scenario.
class Win32TestMachine : public TestMachine {
public:
    Platform& platform() override { return windows_.platform(); }

    bool HoldOpen(const std::string& path) override {
        held_.push_back(std::make_unique<HeldFile>());
        return held_.back()->Hold(path);
    }

private:
    win32::Win32Windows windows_;
    std::vector<std::unique_ptr<HeldFile>> held_;
};

}  // namespace

std::unique_ptr<TestMachine> OpenScenarioMachine() {
    EXPECT_FALSE(CurrentScenario().empty())
        << "no scenario seeded: run the test through tests/wine/wine_run.sh with "
           "DRVSWEEP_SCENARIO and DRVSWEEP_FIXTURES set";
    return std::make_unique<Win32TestMachine>();
}

std::unique_ptr<ProgramHandOver> OpenHandOverServices() {
    return std::make_unique<win32::Win32ProgramHandOver>(IDR_PROGRAM64);
}

}  // namespace drvsweep::testing
