#include <cstdlib>
#include <string>

#include "tests/support/test_machine.h"

namespace drvsweep::testing {

std::string CurrentScenario() {
    const char* scenario = std::getenv("DRVSWEEP_SCENARIO");
    return scenario ? scenario : "";
}

std::string FixturePath(const std::string& relative) {
    return std::string(DRVSWEEP_FIXTURES_DIR) + "/" + relative;
}

}  // namespace drvsweep::testing
