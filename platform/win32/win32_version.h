#pragma once

#include "platform/version_info.h"

namespace drvsweep::win32 {

// GetVersion, GetSystemDefaultLangID and GetACP with GetCPInfo, asked afresh on every call.
class Win32Version : public VersionInfo {
public:
    std::uint32_t Version() override;
    std::uint16_t DefaultLanguage() override;
    CodePage AnsiCodePage() override;
};

}  // namespace drvsweep::win32
