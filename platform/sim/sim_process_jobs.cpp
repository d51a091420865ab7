#include "platform/sim/sim_process_jobs.h"

namespace drvsweep::sim {

namespace {

class SimProgramJob : public ProgramJob {
public:
    SimProgramJob(SimProgramScript script,
                  std::shared_ptr<std::vector<SimProcessJobs::Record>> records, std::size_t index)
        : script_(std::move(script)), records_(std::move(records)), index_(index) {}

    bool WaitForAll(std::uint32_t milliseconds) override {
        SimProcessJobs::Record& record = (*records_)[index_];
        record.waits.push_back(milliseconds);
        if (record.ended || record.endedByForce) {
            return true;
        }
        // A wait without limit lasts until the program ends, if it ever does.
        waited_ = milliseconds == kWaitForever ? script_.runsForMs : waited_ + milliseconds;
        if (script_.runsForMs < 0 || script_.runsForMs > waited_) {
            return false;
        }
        record.ended = true;
        if (script_.onEnd) {
            script_.onEnd();
        }
        return true;
    }

    void EndAll() override {
        SimProcessJobs::Record& record = (*records_)[index_];
        if (!record.ended) {
            record.endedByForce = true;
        }
    }

private:
    SimProgramScript script_;
    std::shared_ptr<std::vector<SimProcessJobs::Record>> records_;
    std::size_t index_;
    std::int64_t waited_ = 0;
};

}  // namespace

std::unique_ptr<ProgramJob> SimProcessJobs::StartInJob(const char* program,
                                                       const char* parameters) {
    const auto script = scripts_.find(program);
    if (script == scripts_.end()) {
        return nullptr;
    }
    records_->push_back({program, parameters, {}, false, false});
    return std::make_unique<SimProgramJob>(script->second, records_, records_->size() - 1);
}

}  // namespace drvsweep::sim
