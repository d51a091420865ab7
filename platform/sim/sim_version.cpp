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

}  // namespace drvsweep::sim
