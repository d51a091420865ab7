#pragma once

#include "platform/process_jobs.h"

namespace drvsweep::win32 {

// CreateProcessA into a job object (CreateJobObjectA and its companions bound at run time: the
// 9x family and NT 4 have none, and there the one process is waited for and ended).
class Win32ProcessJobs : public ProcessJobs {
public:
    std::unique_ptr<ProgramJob> StartInJob(const char* program, const char* parameters) override;
};

}  // namespace drvsweep::win32
