#pragma once

#include <memory>
#include <string>
#include <vector>

#include "discovery/inf_index.h"
#include "discovery/scanner_table.h"
#include "platform/fixed_text.h"
#include "platform/platform.h"
#include "removal/plan_item.h"

namespace drvsweep {

class FileKeeper;
class PackageUsers;

// A driver package of the scanner that the removal leaves alone, and why: a device that is not
// the maker's uses it (PackageUsers), who uses it cannot be told, or its fields cannot be read
// safely.
struct KeptPackage {
    PathText infPath;
    // The driver key ("{class}\NNNN") of the device that uses it; empty when the driver keys
    // could not all be read, so that who uses it cannot be told.
    PathText usedBy;
    // Why, when no device of another maker keeps it: then the package is the scanner's own and
    // still installed, so the scanner is not removed.
    std::string leftOutBecause;
};

// A file or folder of the scanner's packages that the removal leaves, and why (FileKeeper, a
// package of the scanner that stays, or an install section entry the removal refuses).
struct KeptFile {
    PathText path;
    std::string reason;
};

// The one list of what a scanner's built-in removal touches: the removal walks its items, the
// command line shows them, and what is left of them afterwards is the removal's result.
struct RemovalPlan {
    std::vector<PlanItem> items;
    // The scanner's packages that the removal leaves alone, with everything they name.
    std::vector<KeptPackage> kept;
    std::vector<KeptFile> keptFiles;
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
    // driver files, the driver packages, the data source folders, the folders below a TWAIN root
    // they leave empty, and the COM classes of the deleted server files, of every package of the
    // scanner. Its packages are its INF (first) and, on the NT family, every other OEM INF of
    // the INF folder whose models list its devicePath. A package's files are the DLL and data
    // source folder its TWAIN line gives (FillDriverFields) and what the install section Windows
    // used copied (ReadPackageInstall); a file FileKeeper keeps, or that a package staying
    // installed names, is not planned but named in keptFiles with the reason, and a data source
    // folder holding such a file, or a link, stays. A package that a device of another maker
    // uses is not planned, nor is any file or folder that it names: it goes into `kept` instead.
    RemovalPlan Plan(const ScannerRecord& scanner);

private:
    const PackageUsers& Users();

    Platform& platform_;
    InfIndex& index_;
    // Read when a plan first needs them.
    std::unique_ptr<PackageUsers> users_;
    std::unique_ptr<FileKeeper> keeper_;
};

// One plan over a fresh read of the INF folder: for a removal that is a run of its own (the
// window's).
RemovalPlan PlanBuiltInRemoval(Platform& platform, const ScannerRecord& scanner);

}  // namespace drvsweep
