#pragma once

#include <map>
#include <set>
#include <string>

#include "platform/file_facts.h"
#include "platform/sim/ascii_case.h"
#include "platform/sim/sim_faults.h"
#include "platform/sim/sim_file_tree.h"

namespace drvsweep::sim {

// What Windows knows of the machine's files beyond their bytes: which ones Windows protects and
// the company each one's version resource names. Paths compare without case. A file that is not
// there has no company that can be read (Unknown), as GetFileVersionInfoSizeA then fails.
//
// Faults: "SfcIsFileProtected" and "GetFileVersionInfoA" with the path; the call then answers
// Unknown.
class SimFileFacts : public FileFacts {
public:
    SimFileFacts(SimFaults& faults, SimFileTree& files);

    FactAnswer IsProtectedSystemFile(const char* path) override;
    FactAnswer CompanyName(const char* path, std::string* company) override;

    // Whether the system has SfcIsFileProtected (not 98 SE): without it every answer is Unknown.
    void SetHasFileProtection(bool has) { hasFileProtection_ = has; }
    void Protect(const std::string& path);
    void SetCompany(const std::string& path, const std::string& company);

private:
    SimFaults& faults_;
    SimFileTree& files_;
    bool hasFileProtection_ = true;
    std::set<std::string, UpperCaseLess> protected_;
    std::map<std::string, std::string, UpperCaseLess> companies_;
};

}  // namespace drvsweep::sim
