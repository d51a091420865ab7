#pragma once

#include <string>

#include "platform/sim/sim_windows.h"

namespace drvsweep::sim {

// Loads a machine scenario folder of the host into the machine: machine.reg into the registry,
// windir/ (when present) into the Windows folder, `family` ("nt" or "9x", default nt) and
// `language` (a decimal language id, default 1033), and then the Setup API devices that the
// registry defines, as Wine would find them after importing the same file. On false, *error
// says what is wrong; the machine may then be partly loaded.
bool LoadScenario(const std::string& hostFolder, SimWindows* machine, std::string* error);

}  // namespace drvsweep::sim
