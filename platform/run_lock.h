#pragma once

namespace drvsweep {

// What asking for the machine-wide removal lock came to.
enum class RunLockState {
    Taken,          // this process holds it, for the rest of its life
    HeldElsewhere,  // another process holds it
    Unavailable,    // the system could not make it at all (no place for it, no rights)
};

// The lock that lets one DrvSweep removal run on the machine at a time, the window's and the
// command line's alike. Only administrators (and SYSTEM) can take it, so that no program of an
// ordinary user can hold it to keep removals from running.
class RunLock {
public:
    virtual ~RunLock() = default;

    // Takes the lock; a process that holds it already is answered Taken again.
    virtual RunLockState Take() = 0;
};

}  // namespace drvsweep
