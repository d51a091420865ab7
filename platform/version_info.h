#pragma once

#include <cstdint>
#include <string>

#include "platform/multibyte_text.h"

namespace drvsweep {

// Version and language services: GetVersion, GetSystemDefaultLangID, and the ANSI code page
// with its lead bytes (GetACP, GetCPInfo).
class VersionInfo {
public:
    virtual ~VersionInfo() = default;
    virtual std::uint32_t Version() = 0;
    virtual std::uint16_t DefaultLanguage() = 0;
    virtual CodePage AnsiCodePage() = 0;

    // A text in the system's ANSI code page as UTF-16 (MultiByteToWideChar, CP_ACP), and back
    // (WideCharToMultiByte, CP_ACP): false when the text cannot be converted whole.
    virtual bool AnsiToUtf16(const std::string& ansi, std::u16string* utf16) = 0;
    virtual bool Utf16ToAnsi(const std::u16string& utf16, std::string* ansi) = 0;
};

enum class Family { Nt, Win9x };

// The NT family answers GetVersion with the high bit clear, the 9x family with it set.
constexpr Family FamilyOfVersion(std::uint32_t version) {
    return version < 0x80000000u ? Family::Nt : Family::Win9x;
}

// Asked afresh each time: nothing about the family is cached.
inline Family CurrentFamily(VersionInfo& version) {
    return FamilyOfVersion(version.Version());
}

}  // namespace drvsweep
