#include "platform/sim/sim_dialog_host.h"
#include "tests/wine/dialog_host_harness.h"

namespace drvsweep::testing {

void RunInDialog(const std::function<void(DialogHost& host)>& body) {
    sim::SimDialogHost window;
    body(window);
}

}  // namespace drvsweep::testing
