#pragma once

#include "platform/version_info.h"

namespace drvsweep::win32 {

// GetVersion, GetSystemDefaultLangID and GetACP with GetCPInfo, asked afresh on every call;
// MultiByteToWideChar and WideCharToMultiByte (ansi_text.h).
class Win32Version : public VersionInfo {
public:
    std::uint32_t Version() override;
    std::uint16_t DefaultLanguage() override;
    CodePage AnsiCodePage() override;
    bool AnsiToUtf16(const std::string& ansi, std::u16string* utf16) override;
    bool Utf16ToAnsi(const std::u16string& utf16, std::string* ansi) override;
};

}  // namespace drvsweep::win32
