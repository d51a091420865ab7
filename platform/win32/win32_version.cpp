#include "platform/win32/win32_version.h"

#include "platform/win32/ansi_text.h"
#include "platform/win32/windows_api.h"

namespace drvsweep::win32 {

std::uint32_t Win32Version::Version() {
    return GetVersion();
}

std::uint16_t Win32Version::DefaultLanguage() {
    return GetSystemDefaultLangID();
}

// GetCPInfo lists the lead bytes as pairs of first and last byte, ended by a pair of zeros;
// a single-byte code page lists none.
CodePage Win32Version::AnsiCodePage() {
    CodePage codePage(GetACP());
    CPINFO info = {};
    if (GetCPInfo(CP_ACP, &info)) {
        for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2) {
            codePage.AddLeadByteRange(info.LeadByte[i], info.LeadByte[i + 1]);
        }
    }
    return codePage;
}

bool Win32Version::AnsiToUtf16(const std::string& ansi, std::u16string* utf16) {
    return AnsiToUtf16Text(ansi, true, utf16);
}

bool Win32Version::Utf16ToAnsi(const std::u16string& utf16, std::string* ansi) {
    return Utf16ToAnsiText(utf16, ansi);
}

}  // namespace drvsweep::win32
