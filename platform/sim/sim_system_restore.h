#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/sim/sim_faults.h"
#include "platform/system_restore.h"

namespace drvsweep::sim {

constexpr std::uint32_t kErrorServiceDisabled = 1058;

// One SRSetRestorePointA call that reached System Restore.
struct SimRestorePointCall {
    bool begin = false;       // BEGIN_SYSTEM_CHANGE, else END_SYSTEM_CHANGE
    std::string description;  // as RESTOREPOINTINFOA held it (Begin only)
    std::int64_t sequence = 0;
};

// System Restore as Microsoft documents SRSetRestorePointA: a machine without it (the 9x family
// but ME, Windows 2000) has no srclient.dll; one where it is turned off answers
// ERROR_SERVICE_DISABLED; otherwise Begin gives the next sequence number and End accepts a
// sequence number that a Begin gave and was not ended yet, ERROR_INVALID_DATA otherwise.
// Fault "SRSetRestorePointA" with the description (Begin) or the sequence number in decimal
// (End): the call runs and fails with the rule's code.
class SimSystemRestore : public SystemRestore {
public:
    explicit SimSystemRestore(SimFaults& faults) : faults_(faults) {}

    RestorePointCall Begin(const char* description) override;
    RestorePointCall End(std::int64_t sequence) override;

    // Whether the system has System Restore, and whether it is turned on. A new machine has it,
    // turned on.
    void SetAvailable(bool available) { available_ = available; }
    void SetTurnedOn(bool on) { turnedOn_ = on; }

    // The calls that succeeded, oldest first.
    const std::vector<SimRestorePointCall>& calls() const { return calls_; }

private:
    RestorePointCall Ran(bool succeeded, std::uint32_t status, std::int64_t sequence) const;

    SimFaults& faults_;
    bool available_ = true;
    bool turnedOn_ = true;
    std::int64_t lastSequence_ = 40;
    std::vector<std::int64_t> open_;
    std::vector<SimRestorePointCall> calls_;
};

}  // namespace drvsweep::sim
