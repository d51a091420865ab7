#pragma once

#include <vector>

#include "platform/fixed_text.h"
#include "platform/platform.h"
#include "removal/plan_item.h"
#include "removal/removal_outcome.h"

namespace drvsweep {

// Acts on every item of the plan in order, then probes each: the one walk of a built-in
// removal. No action stops the others. Each kind's action:
// - DeviceInstance: RemoveDeviceNodesNt;
// - RegistryKey: RegDeleteKeyA (the 9x family deletes the subkeys with the key);
// - DriverFile: the one-file step, and the file scheduled for the restart if it stays;
// - DriverPackage: RemoveDriverPackage, and what stays of the .inf and .pnf scheduled;
// - DataSourceFolder: the data source file with the one-file step, then the folder's tree,
//   what stays of it scheduled (DeleteTreeOrAtRestart).
// An item the probe (PlanItemPathsThere) finds gone is Deleted; one whose every path still
// there was scheduled, or whose removal Windows said finishes at the restart, is
// DeletedAtRestart; any other StillThere. The outcome says which of the two leaves something
// to the restart.
RemovalOutcome RunRemovalPlan(Platform& platform, const std::vector<PlanItem>& plan);

// The probe alone, over every item: what is left of a plan that something else acted on (the
// maker's own uninstaller). Asks for no restart.
RemovalOutcome CheckRemovalPlan(Platform& platform, const std::vector<PlanItem>& plan);

}  // namespace drvsweep
