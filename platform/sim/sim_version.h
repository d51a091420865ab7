#pragma once

#include <cstdint>

#include "platform/sim/sim_faults.h"
#include "platform/version_info.h"

namespace drvsweep::sim {

// GetVersion, GetSystemDefaultLangID and the ANSI code page of the simulated machine. None of
// these calls can fail on Windows; each is still logged through the faults, so that a test can
// count how often the logic asks (it must ask afresh each time), but a rule on them has no effect.
// The code page is 1252 unless set to 936 or 950, whose lead bytes are 0x81 to 0xFE as on Windows.
class SimVersion : public VersionInfo {
public:
    // The words Wine answers: "winxp" for the NT family, "win98" for the 9x family.
    static constexpr std::uint32_t kNtVersion = 0x0A280105;
    static constexpr std::uint32_t kWin9xVersion = 0xC0000A04;

    explicit SimVersion(SimFaults& faults) : faults_(faults) {}

    std::uint32_t Version() override;
    std::uint16_t DefaultLanguage() override;
    CodePage AnsiCodePage() override;
    // In the code page set here (code_page.h). A text is refused when it does not come back
    // unchanged from the way there and back: an ANSI byte sequence that is no character, or a
    // character the code page lacks, which Windows would replace by a default character.
    bool AnsiToUtf16(const std::string& ansi, std::u16string* utf16) override;
    bool Utf16ToAnsi(const std::u16string& utf16, std::string* ansi) override;

    // 1252, 936 or 950; false, with nothing changed, for any other code page.
    bool SetAnsiCodePage(std::uint32_t id);

    void SetVersion(std::uint32_t version) { version_ = version; }
    void SetLanguage(std::uint16_t language) { language_ = language; }
    Family family() const { return FamilyOfVersion(version_); }
    const CodePage& codePage() const { return codePage_; }

private:
    SimFaults& faults_;
    std::uint32_t version_ = kNtVersion;
    std::uint16_t language_ = 1033;
    CodePage codePage_;
};

}  // namespace drvsweep::sim
