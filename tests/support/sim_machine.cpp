#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/sim/sim_dll_search_path.h"
#include "platform/sim/sim_program_hand_over.h"
#include "platform/sim/sim_scenario.h"
#include "platform/sim/sim_windows.h"
#include "tests/support/test_machine.h"

namespace drvsweep::testing {

namespace {

// The simulated Windows loaded from the scenario folder.
class SimTestMachine : public TestMachine {
public:
    Platform& platform() override { return windows_.platform(); }
    sim::SimWindows& windows() { return windows_; }

    bool HoldOpen(const std::string& path) override {
        if (!windows_.files().Exists(path)) {
            return false;
        }
        windows_.files().SetInUse(path, true);
        return true;
    }

private:
    sim::SimWindows windows_;
};

// Hand-over services that own the faults they consult.
class SimHandOverServices : public sim::SimProgramHandOver {
public:
    SimHandOverServices() : sim::SimProgramHandOver(faults_) {}

private:
    sim::SimFaults faults_;
};

// DLL search calls that own the faults they consult.
class SimDllSearchServices : public sim::SimDllSearchPath {
public:
    SimDllSearchServices() : sim::SimDllSearchPath(faults_) {}

private:
    sim::SimFaults faults_;
};

}  // namespace

bool RunsUnderWine() {
    return false;
}

std::unique_ptr<ProgramHandOver> OpenHandOverServices() {
    return std::make_unique<SimHandOverServices>();
}

std::string OthersWithAccess(ProgramHandOver& os, const std::string& folder) {
    const auto& sim = dynamic_cast<sim::SimProgramHandOver&>(os);
    return sim.securedFolders().count(folder) != 0 ? "" : "S-1-1-0";
}

bool AnotherPartyCanWrite(ProgramHandOver& os, const std::string& path) {
    return dynamic_cast<sim::SimProgramHandOver&>(os).AnotherPartyCanWrite(path);
}

std::string StartableProgramImage() {
    return "MZ";
}

std::unique_ptr<DllSearchPath> OpenDllSearchPath() {
    return std::make_unique<SimDllSearchServices>();
}

std::unique_ptr<TestMachine> OpenScenarioMachine() {
    auto machine = std::make_unique<SimTestMachine>();
    const std::string scenario = CurrentScenario();
    if (scenario.empty()) {
        return machine;
    }
    std::string error;
    if (!sim::LoadScenario(FixturePath(scenario), &machine->windows(), &error)) {
        ADD_FAILURE() << "scenario " << scenario << " did not load: " << error;
    }
    return machine;
}

}  // namespace drvsweep::testing
