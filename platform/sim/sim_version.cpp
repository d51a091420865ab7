#include "platform/sim/sim_version.h"

#include "platform/sim/code_page.h"

namespace drvsweep::sim {

std::uint32_t SimVersion::Version() {
    long ignored = 0;
    faults_.ShouldFail("GetVersion", "", &ignored);
    return version_;
}

std::uint16_t SimVersion::DefaultLanguage() {
    long ignored = 0;
    faults_.ShouldFail("GetSystemDefaultLangID", "", &ignored);
    return language_;
}

CodePage SimVersion::AnsiCodePage() {
    long ignored = 0;
    faults_.ShouldFail("GetACP", "", &ignored);
    return codePage_;
}

bool SimVersion::AnsiToUtf16(const std::string& ansi, std::u16string* utf16) {
    std::u16string converted = sim::AnsiToUtf16(codePage_.id(), ansi);
    if (sim::Utf16ToAnsi(codePage_.id(), converted) != ansi) {
        return false;
    }
    *utf16 = std::move(converted);
    return true;
}

bool SimVersion::Utf16ToAnsi(const std::u16string& utf16, std::string* ansi) {
    std::string converted = sim::Utf16ToAnsi(codePage_.id(), utf16);
    if (sim::AnsiToUtf16(codePage_.id(), converted) != utf16) {
        return false;
    }
    *ansi = std::move(converted);
    return true;
}

bool SimVersion::SetAnsiCodePage(std::uint32_t id) {
    if (id != 1252 && id != 936 && id != 950) {
        return false;
    }
    codePage_ = CodePage(id);
    if (id != 1252) {
        codePage_.AddLeadByteRange(0x81, 0xFE);
    }
    return true;
}

}  // namespace drvsweep::sim
