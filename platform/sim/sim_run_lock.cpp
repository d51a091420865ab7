#include "platform/sim/sim_run_lock.h"

namespace drvsweep::sim {

RunLockState SimRunLock::Take() {
    if (taken_) {
        return RunLockState::Taken;
    }
    long ignored = 0;
    if (faults_.ShouldFail("TakeRunLock", "", &ignored)) {
        return RunLockState::Unavailable;
    }
    if (heldElsewhere) {
        return RunLockState::HeldElsewhere;
    }
    taken_ = true;
    return RunLockState::Taken;
}

}  // namespace drvsweep::sim
