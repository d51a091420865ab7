#pragma once

#include <string>

#include "platform/sim/sim_windows.h"

namespace drvsweep::sim {

// Loads a machine scenario folder of the host into the machine: machine.reg into the registry,
// windir/ (when present) into the Windows folder, `family` ("nt" or "9x", default nt),
// `system` (the release, which the driver package calls, System Restore and the application data
// folder of all users follow, such as "7 x64" for the 64-bit Windows 7
// that Wine's prefix is; default the family's 32-bit release), `language` (a decimal language
// id, default 1033), the Setup API devices that the registry defines, as Wine would find them
// after importing the same file, `system_restore` ("off" turns System Restore off) and
// `file_facts` (protected files and version companies). On
// false, *error says what is wrong; the machine may then be partly loaded.
bool LoadScenario(const std::string& hostFolder, SimWindows* machine, std::string* error);

}  // namespace drvsweep::sim
