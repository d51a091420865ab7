#include "platform/sim/sim_version.h"

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
