#pragma once

#include <string>

#include "fuzz/fuzz_machine.h"
#include "fuzz/machine_snapshot.h"
#include "removal/backup_check.h"

namespace drvsweep::fuzz {

// A readable account of every change a restore made that the backup it restored does not
// cover, empty when there is none: a restore deletes nothing and changes no file that is there;
// it makes only the files its manifest names (with the backup's bytes), the folders they lie in
// below a TWAIN root, the INF of a package it stages (in the INF folder or the driver store,
// with the bytes of the backup's package INF), and keys and values at or below the manifest's
// keys. `backup` is null when the backup did not pass its check: then nothing may change.
std::string AccountOfRestore(FuzzMachine& machine, const MachineChanges& changes,
                             const CheckedBackup* backup);

}  // namespace drvsweep::fuzz
