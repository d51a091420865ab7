#include <cstdlib>
#include <string>

#include "tests/support/test_machine.h"

namespace drvsweep::testing {

std::string CurrentScenario() {
    const char* scenario = std::getenv("DRVSWEEP_SCENARIO");
    return scenario ? scenario : "";
}

// The scenarios live in tests/fixtures unless DRVSWEEP_FIXTURES names another folder (the
// benchmark's generated machine does).
std::string FixturePath(const std::string& relative) {
    const char* folder = std::getenv("DRVSWEEP_FIXTURES");
    return std::string(DRVSWEEP_HOST_ROOT) + (folder ? folder : DRVSWEEP_FIXTURES_DIR) + "/" +
           relative;
}

}  // namespace drvsweep::testing
