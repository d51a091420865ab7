#pragma once

#include <cstdint>

#include "platform/sim/sim_faults.h"
#include "platform/version_info.h"

namespace drvsweep::sim {

// GetVersion and GetSystemDefaultLangID of the simulated machine. Neither call can fail on
// Windows; both are still logged through the faults, so that a test can count how often the
// logic asks (it must ask afresh each time), but a rule on them has no effect.
class SimVersion : public VersionInfo {
public:
    // The words Wine answers: "winxp" for the NT family, "win98" for the 9x family.
    static constexpr std::uint32_t kNtVersion = 0x0A280105;
    static constexpr std::uint32_t kWin9xVersion = 0xC0000A04;

    explicit SimVersion(SimFaults& faults) : faults_(faults) {}

    std::uint32_t Version() override;
    std::uint16_t DefaultLanguage() override;

    void SetVersion(std::uint32_t version) { version_ = version; }
    void SetLanguage(std::uint16_t language) { language_ = language; }
    Family family() const { return FamilyOfVersion(version_); }

private:
    SimFaults& faults_;
    std::uint32_t version_ = kNtVersion;
    std::uint16_t language_ = 1033;
};

}  // namespace drvsweep::sim
