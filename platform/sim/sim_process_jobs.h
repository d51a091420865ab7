#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/process_jobs.h"

namespace drvsweep::sim {

// How a simulated program behaves once started: it ends after `runsForMs` (never when
// negative), and `onEnd` runs when it ends by itself (to delete what the program deletes).
struct SimProgramScript {
    std::int64_t runsForMs = 0;
    std::function<void()> onEnd;
};

// Programs started in jobs on the simulated machine. Only a program with a script starts; every
// start, wait and ending is recorded.
class SimProcessJobs : public ProcessJobs {
public:
    std::unique_ptr<ProgramJob> StartInJob(const char* program, const char* parameters) override;

    void Script(const std::string& program, SimProgramScript script) {
        scripts_[program] = std::move(script);
    }

    struct Record {
        std::string program;
        std::string parameters;
        std::vector<std::uint32_t> waits;
        bool ended = false;         // ended by itself
        bool endedByForce = false;  // EndAll
    };
    const std::vector<Record>& records() const { return *records_; }

private:
    std::map<std::string, SimProgramScript> scripts_;
    std::shared_ptr<std::vector<Record>> records_ = std::make_shared<std::vector<Record>>();
};

}  // namespace drvsweep::sim
