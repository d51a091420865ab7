#pragma once

#include <vector>

#include "platform/fixed_text.h"
#include "platform/platform.h"
#include "removal/removal_outcome.h"
#include "removal/removal_plan.h"

namespace drvsweep {

// Acts on every item of the plan in order, then probes each: the one walk of a built-in
// removal. No action stops the others. Each kind's action:
// - DeviceInstance: RemoveDeviceNodesNt;
// - RegistryKey: RegDeleteKeyA (the 9x family deletes the subkeys with the key);
// - DriverFile: the one-file step, and the file scheduled for the restart if it stays;
// - DriverPackage: RemoveDriverPackage, and what stays of the .inf and .pnf scheduled;
// - DataSourceFolder: the data source file with the one-file step, then the folder's tree,
//   what stays of it scheduled (DeleteTreeOrAtRestart).
// An item the probe finds gone is Deleted; one whose every path still there was scheduled, or
// whose removal Windows said finishes at the restart, is DeletedAtRestart; any other
// StillThere.
RemovalOutcome RunRemovalPlan(Platform& platform, const std::vector<PlanItem>& plan);

// The probe alone, over every item: what is left of a plan that something else acted on (the
// maker's own uninstaller). Asks for no restart.
RemovalOutcome CheckRemovalPlan(Platform& platform, const std::vector<PlanItem>& plan);

// The item's paths that are there now: a device whose key below the Enum root exists (or
// cannot be told missing), a key that is not missing (one that cannot be opened for another
// reason is still there), a file or folder that a listing of its path finds as its kind; for a
// driver package its .inf and its .pnf apart.
std::vector<PathText> PlanItemPathsThere(Platform& platform, const PlanItem& item);

// Whether anything of the item is there now (PlanItemPathsThere).
bool IsPlanItemPresent(Platform& platform, const PlanItem& item);

}  // namespace drvsweep
