#pragma once

#include <cstdint>

namespace drvsweep {

// Version and language services: GetVersion and GetSystemDefaultLangID.
class VersionInfo {
public:
    virtual ~VersionInfo() = default;
    virtual std::uint32_t Version() = 0;
    virtual std::uint16_t DefaultLanguage() = 0;
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
