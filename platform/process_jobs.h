#pragma once

#include <cstdint>
#include <memory>

namespace drvsweep {

// A wait without a time limit (INFINITE).
constexpr std::uint32_t kWaitForever = 0xFFFFFFFFu;

// A program started with everything it starts in turn: a job object where the system has
// them, the one process otherwise. Destroying it closes the handles; it ends nothing.
class ProgramJob {
public:
    virtual ~ProgramJob() = default;

    // Waits until every process of the job has ended, at most `milliseconds` (kWaitForever: as
    // long as they run); true when they have.
    virtual bool WaitForAll(std::uint32_t milliseconds) = 0;

    // Ends every process of the job that still runs (TerminateJobObject).
    virtual void EndAll() = 0;
};

class ProcessJobs {
public:
    virtual ~ProcessJobs() = default;

    // CreateProcessA of "<program>" <parameters> inside a new job object; null when the program
    // could not be started.
    virtual std::unique_ptr<ProgramJob> StartInJob(const char* program, const char* parameters) = 0;
};

}  // namespace drvsweep
