#pragma once

#include <memory>
#include <vector>

#include "discovery/inf_index.h"
#include "discovery/scanner_table.h"
#include "platform/fixed_text.h"
#include "platform/platform.h"
#include "removal/plan_item.h"

namespace drvsweep {

class PackageUsers;

// A driver package of the scanner that the removal leaves alone, and why: a device that is not
// the maker's uses it (PackageUsers).
struct KeptPackage {
    PathText infPath;
    // The driver key ("{class}\NNNN") of the device that uses it; empty when the driver keys
    // could not all be read, so that who uses it cannot be told.
    PathText usedBy;
};

// The one list of what a scanner's built-in removal touches: the removal walks its items, the
// command line shows them, and what is left of them afterwards is the removal's result.
struct RemovalPlan {
    std::vector<PlanItem> items;
    // The scanner's packages that the removal leaves alone, with everything they name.
    std::vector<KeptPackage> kept;
};

// Plans the removals of one run over one read of the INF folder (the scan's index) and of the
// driver keys.
class RemovalPlanner {
public:
    RemovalPlanner(Platform& platform, InfIndex& index);
    ~RemovalPlanner();
    RemovalPlanner(const RemovalPlanner&) = delete;
    RemovalPlanner& operator=(const RemovalPlanner&) = delete;

    // The items of the scanner's built-in removal that are there now (those that Windows is
    // set to delete at the restart among them), in the order the removal acts on them: its device
    // (none for a driver package without a device), then, only when its INF is known, the
    // driver files, the driver packages and the data sources of every package of the scanner.
    // Its packages are its INF (first) and, on the NT family, every other OEM INF of the INF
    // folder whose models list its devicePath, each with the data source folder and DLL name its
    // own INF gives (FillDriverFields); a package whose fields cannot be told safely is left
    // out, and a file or folder that several packages name is planned once. A package that a
    // device of another maker uses is not planned, nor is any file or folder that it names: it
    // goes into `kept` instead.
    RemovalPlan Plan(const ScannerRecord& scanner);

private:
    const PackageUsers& Users();

    Platform& platform_;
    InfIndex& index_;
    // Read when a plan first needs them.
    std::unique_ptr<PackageUsers> users_;
};

// One plan over a fresh read of the INF folder: for a removal that is a run of its own (the
// window's).
RemovalPlan PlanBuiltInRemoval(Platform& platform, const ScannerRecord& scanner);

}  // namespace drvsweep
