#include "platform/sim/sim_console.h"

namespace drvsweep::sim {

bool SimConsole::WriteOutput(const std::string& utf8) {
    if (attached_) {
        output_ += utf8;
    }
    return attached_;
}

bool SimConsole::WriteError(const std::string& utf8) {
    if (attached_) {
        error_ += utf8;
    }
    return attached_;
}

}  // namespace drvsweep::sim
