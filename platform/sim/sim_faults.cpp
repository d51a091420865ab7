#include "platform/sim/sim_faults.h"

namespace drvsweep::sim {

void SimFaults::Add(FaultRule rule) {
    rules_.push_back(ActiveRule{std::move(rule)});
}

void SimFaults::Clear() {
    rules_.clear();
}

bool SimFaults::ShouldFail(const char* call, const std::string& argument, long* errorCode) {
    if (recordCalls_) {
        calls_.push_back(std::string(call) + " " + argument);
    }
    for (ActiveRule& active : rules_) {
        if (active.rule.call != call ||
            argument.find(active.rule.argumentContains) == std::string::npos) {
            continue;
        }
        if (active.seen++ < active.rule.skip) {
            continue;
        }
        if (active.rule.times >= 0 && active.struck >= active.rule.times) {
            continue;
        }
        ++active.struck;
        ++strikes_;
        *errorCode = active.rule.errorCode;
        return true;
    }
    return false;
}

}  // namespace drvsweep::sim
