#include "platform/sim/sim_programs.h"

#include <sstream>

#include "platform/sim/ascii_case.h"

namespace drvsweep::sim {

struct SimPrograms::State {
    explicit State(SimFaults& faultsIn) : faults(faultsIn) {}

    bool ShouldFail(const char* call, const std::string& argument) {
        long code = 0;
        if (!faults.ShouldFail(call, argument, &code)) {
            return false;
        }
        lastError = code;
        return true;
    }

    SimFaults& faults;
    std::vector<ShellLaunch> launches;
    std::vector<std::uint32_t> tokenAccesses;
    std::vector<PrivilegeAdjustment> adjustments;
    std::vector<std::uint32_t> exitRequests;
    std::vector<std::uint32_t> exitReasons;
    long lastError = 0;
    int openTokens = 0;
};

namespace {

std::string Hex(std::uint32_t number) {
    std::ostringstream text;
    text << "0x" << std::hex << number;
    return text.str();
}

class SimToken : public ProcessToken {
public:
    explicit SimToken(std::shared_ptr<SimPrograms::State> state) : state_(std::move(state)) {
        ++state_->openTokens;
    }
    ~SimToken() override {
        long ignored = 0;
        state_->faults.ShouldFail("CloseHandle", "token", &ignored);
        --state_->openTokens;
    }
    SimToken(const SimToken&) = delete;
    SimToken& operator=(const SimToken&) = delete;

    bool AdjustPrivilege(const Luid& privilege, std::uint32_t attributes) override {
        if (state_->ShouldFail("AdjustTokenPrivileges", std::to_string(privilege.lowPart))) {
            return false;
        }
        state_->adjustments.push_back(PrivilegeAdjustment{privilege, attributes});
        return true;
    }

private:
    std::shared_ptr<SimPrograms::State> state_;
};

}  // namespace

SimPrograms::SimPrograms(SimFaults& faults, FileProbe programExists)
    : state_(std::make_shared<State>(faults)), programExists_(std::move(programExists)) {}

SimPrograms::~SimPrograms() = default;

std::intptr_t SimPrograms::ShellOpen(const char* program, const char* parameters) {
    const std::string file = program ? program : "";
    long code = 0;
    if (state_->faults.ShouldFail("ShellExecuteA", file, &code)) {
        return code;
    }
    if (!programExists_(file)) {
        return 2;
    }
    state_->launches.push_back(ShellLaunch{file, parameters ? parameters : ""});
    return 42;
}

std::unique_ptr<ProcessToken> SimPrograms::OpenOwnToken(std::uint32_t access) {
    if (state_->ShouldFail("OpenProcessToken", Hex(access))) {
        return nullptr;
    }
    state_->tokenAccesses.push_back(access);
    return std::make_unique<SimToken>(state_);
}

bool SimPrograms::LookupPrivilege(const char* name, Luid* privilege) {
    const std::string text = name ? name : "";
    if (state_->ShouldFail("LookupPrivilegeValueA", text)) {
        return false;
    }
    if (!EqualIgnoringCase(text, "SeShutdownPrivilege")) {
        state_->lastError = kErrorNoSuchPrivilege;
        return false;
    }
    *privilege = kShutdownPrivilege;
    return true;
}

bool SimPrograms::ExitWindows(std::uint32_t flags, std::uint32_t reason) {
    if (state_->ShouldFail("ExitWindowsEx", Hex(flags))) {
        return false;
    }
    state_->exitRequests.push_back(flags);
    state_->exitReasons.push_back(reason);
    return true;
}

const std::vector<ShellLaunch>& SimPrograms::launches() const {
    return state_->launches;
}

const std::vector<std::uint32_t>& SimPrograms::tokenAccesses() const {
    return state_->tokenAccesses;
}

const std::vector<PrivilegeAdjustment>& SimPrograms::privilegeAdjustments() const {
    return state_->adjustments;
}

const std::vector<std::uint32_t>& SimPrograms::exitRequests() const {
    return state_->exitRequests;
}

const std::vector<std::uint32_t>& SimPrograms::exitReasons() const {
    return state_->exitReasons;
}

long SimPrograms::lastError() const {
    return state_->lastError;
}

int SimPrograms::openTokenCount() const {
    return state_->openTokens;
}

}  // namespace drvsweep::sim
