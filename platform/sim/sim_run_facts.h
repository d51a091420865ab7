#pragma once

#include <string>

#include "platform/run_facts.h"
#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_version.h"

namespace drvsweep::sim {

// The facts of a simulated run, each settable by the test. Registry texts convert from the
// ANSI code page of the machine's language: 936 (GBK) for 2052, 950 (Big5) for 1028 and 3076,
// 1252 otherwise, as Windows sets them.
class SimRunFacts : public RunFacts {
public:
    explicit SimRunFacts(SimVersion& version) : version_(version) {}

    std::string ComputerName() override { return computerName; }
    std::string UserName() override { return userName; }
    UtcTime UtcNow() override { return clock.UtcNow(); }
    std::uint32_t ThreadId() override { return 1234; }
    int ProgramBits() override { return 64; }
    std::u16string AnsiToUtf16(const char* bytes) override;
    AdminState IsAdministrator() override { return admin; }
    bool HasVisibleWindowStation() override { return visibleWindowStation; }
    void SetSetupNonInteractive() override { ++nonInteractiveCalls; }

    std::string computerName = "PC-042";
    std::string userName = "SYSTEM";
    SimClock clock;
    AdminState admin = AdminState::Yes;
    bool visibleWindowStation = true;
    int nonInteractiveCalls = 0;

private:
    SimVersion& version_;
};

}  // namespace drvsweep::sim
