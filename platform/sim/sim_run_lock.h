#pragma once

#include "platform/run_lock.h"
#include "platform/sim/sim_faults.h"

namespace drvsweep::sim {

// The run lock of the simulated machine. The test says whether another process holds it; the
// fault "TakeRunLock" makes it one the system cannot make (Unavailable). Once taken it stays
// this process's.
class SimRunLock : public RunLock {
public:
    explicit SimRunLock(SimFaults& faults) : faults_(faults) {}

    RunLockState Take() override;

    bool heldElsewhere = false;
    bool taken() const { return taken_; }

private:
    SimFaults& faults_;
    bool taken_ = false;
};

}  // namespace drvsweep::sim
