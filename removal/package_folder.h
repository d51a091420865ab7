#pragma once

#include "platform/platform.h"
#include "removal/backup_store.h"
#include "removal/removal_plan.h"

namespace drvsweep {

// Backs up a driver package of the NT family as a folder Windows can stage again,
// "packages\<oemN>", listed in the manifest's packages: the driver store's folder of the
// package, whole, where the store knows it; otherwise the INF (as oemN.inf), the catalog that
// Windows keeps as oemN.cat in the system's catalog database (under the name the INF's
// CatalogFile gives), and each file its SourceDisksFiles name (in the subfolder a line gives)
// that the plan deletes, keeps or finds in a data source folder of the package. A name the
// package installed nowhere on this machine (another architecture's) is not there to take.
bool BackUpPackageFolder(Platform& platform, BackupStore& store, const PlanItem& item,
                         const RemovalPlan& plan);

}  // namespace drvsweep
