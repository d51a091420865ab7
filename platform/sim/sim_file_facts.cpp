#include "platform/sim/sim_file_facts.h"

namespace drvsweep::sim {

SimFileFacts::SimFileFacts(SimFaults& faults, SimFileTree& files)
    : faults_(faults), files_(files) {}

FactAnswer SimFileFacts::IsProtectedSystemFile(const char* path) {
    long ignored = 0;
    if (!hasFileProtection_ || faults_.ShouldFail("SfcIsFileProtected", path, &ignored)) {
        return FactAnswer::Unknown;
    }
    return protected_.count(path) != 0 ? FactAnswer::Yes : FactAnswer::No;
}

FactAnswer SimFileFacts::CompanyName(const char* path, std::string* company) {
    long ignored = 0;
    if (faults_.ShouldFail("GetFileVersionInfoA", path, &ignored) || !files_.Exists(path)) {
        return FactAnswer::Unknown;
    }
    const auto found = companies_.find(path);
    if (found == companies_.end()) {
        return FactAnswer::No;
    }
    *company = found->second;
    return FactAnswer::Yes;
}

void SimFileFacts::Protect(const std::string& path) {
    protected_.insert(path);
}

void SimFileFacts::SetCompany(const std::string& path, const std::string& company) {
    companies_[path] = company;
}

}  // namespace drvsweep::sim
