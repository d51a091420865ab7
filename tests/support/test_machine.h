#pragma once

#include <memory>
#include <string>

#include "platform/dll_search_path.h"
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

// Whether the machine is Wine's: false natively, true in the Windows build when ntdll.dll has
// Wine's own export wine_get_version. Where Wine answers otherwise than Windows, a contract test
// expects the answer that docs/wine-facts.md records for Wine there.
bool RunsUnderWine();

// The scenario the runner seeded (DRVSWEEP_SCENARIO), or empty when none was given.
std::string CurrentScenario();

// The machine of the current scenario; fails the test when none was seeded.
std::unique_ptr<TestMachine> OpenScenarioMachine();

// The hand-over services of the same world: natively a simulated 32-bit Windows of its own,
// in the Windows build the real ones (the test program carries no program resource).
std::unique_ptr<ProgramHandOver> OpenHandOverServices();

// The SIDs, blank-separated, that the folder's DACL allows in besides Administrators, SYSTEM
// and the folder's owner; empty when there are none. Natively "S-1-1-0" (Everyone) for a folder
// the simulation does not record as secured. (Wine keeps no descriptor on files: it reads one
// back from the Unix mode bits, with the Unix user as owner, and Everyone where others have
// access, so only who else gets in can be seen there, not the owner or the protection.)
std::string OthersWithAccess(ProgramHandOver& os, const std::string& folder);

// Whether another party can open the file for writing now.
bool AnotherPartyCanWrite(ProgramHandOver& os, const std::string& path);

// A program that starts and ends with 0 when run with "--gtest_filter=-*": in the Windows build
// this test program's own file, natively any bytes.
std::string StartableProgramImage();

// The DLL search calls of the same world: natively a simulated kernel32 with both exports, in
// the Windows build the real ones.
std::unique_ptr<DllSearchPath> OpenDllSearchPath();

// The host path of a file below tests/fixtures, in the form the running program can open.
std::string FixturePath(const std::string& relative);

}  // namespace drvsweep::testing
