#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"
#include "platform/program_hand_over.h"

namespace drvsweep::testing {

// The machine a contract test runs on. Natively it is the simulated Windows loaded from the
// scenario folder tests/fixtures/<scenario>; in the Windows build it is the real Windows of
// the Wine prefix, which the test runner seeded from the same scenario before the test began.
class TestMachine {
public:
    virtual ~TestMachine() = default;
    virtual Platform& platform() = 0;

    // Has another process hold the file open without delete sharing for as long as the machine
    // lives (natively the simulated file is marked in use); false when it could not be held.
    virtual bool HoldOpen(const std::string& path) = 0;
};

// The scenario the runner seeded (DRVSWEEP_SCENARIO), or empty when none was given.
std::string CurrentScenario();

// The machine of the current scenario; fails the test when none was seeded.
std::unique_ptr<TestMachine> OpenScenarioMachine();

// The hand-over services of the same world: natively a simulated 32-bit Windows of its own,
// in the Windows build the real ones (the test program carries no program resource).
std::unique_ptr<ProgramHandOver> OpenHandOverServices();

// The host path of a file below tests/fixtures, in the form the running program can open.
std::string FixturePath(const std::string& relative);

}  // namespace drvsweep::testing
