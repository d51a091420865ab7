#pragma once

#include <string>
#include <vector>

namespace drvsweep::sim {

// Failures injected into the simulated Windows. A rule names a Win32 call ("RegOpenKeyExA",
// "SetupGetLineTextA", ...), optionally a text that the call's argument must contain, how
// many matching calls pass before it strikes, and how many times it strikes (-1: always).
struct FaultRule {
    std::string call;
    std::string argumentContains;
    long errorCode = 5;  // ERROR_ACCESS_DENIED
    int skip = 0;
    int times = -1;
};

class SimFaults {
public:
    void Add(FaultRule rule);
    void Clear();

    // Asks whether this call fails; on true *errorCode holds the code to report. Every call
    // of the simulation asks once, with the argument its rule matches against.
    bool ShouldFail(const char* call, const std::string& argument, long* errorCode);

    // Whether calls() records the calls asked about (it does from the start). A fuzzer that
    // never reads it turns it off: it costs an allocation per call.
    void RecordCalls(bool record) { recordCalls_ = record; }

    // Every call asked about, as "Call argument", oldest first.
    const std::vector<std::string>& calls() const { return calls_; }

    // How many calls failed because a rule struck, since the start.
    int strikes() const { return strikes_; }

private:
    struct ActiveRule {
        FaultRule rule;
        int seen = 0;
        int struck = 0;
    };
    std::vector<ActiveRule> rules_;
    std::vector<std::string> calls_;
    int strikes_ = 0;
    bool recordCalls_ = true;
};

}  // namespace drvsweep::sim
