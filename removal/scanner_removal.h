#pragma once

#include "discovery/scanner_table.h"
#include "platform/platform.h"
#include "removal/removal_outcome.h"
#include "removal/removal_plan.h"
#include "removal/vendor_uninstaller.h"

namespace drvsweep {

// How a scanner's removal went about it.
enum class RemovalMethod {
    Vendor,             // the maker's registered uninstaller, which took the scanner
    VendorThenBuiltIn,  // the maker's uninstaller left the scanner; the built-in removal followed
    BuiltIn,            // the built-in removal alone
};

// What one scanner's removal came to, as both front ends present it.
struct ScannerRemovalResult {
    RemovalMethod method = RemovalMethod::BuiltIn;
    // Every item of the scanner's plan: after the built-in walk its outcome; after the maker's
    // uninstaller alone what the probe found of it.
    RemovalOutcome outcome;
    // The one presence test (IsScannerPresent) once the removal ended.
    bool scannerPresent = false;
};

// How a front end runs the maker's uninstaller, and what it is told of the removal's steps.
// The window hands the command to the shell and watches the device; the command line waits.
class RemovalSteps {
public:
    virtual ~RemovalSteps() = default;
    // Starts the uninstaller: Started or Refused. A front end that waits returns once it ended.
    virtual UninstallerStatus RunUninstaller(const CommandLineText& commandLine,
                                             const UninstallerCommand& command) = 0;
    // The built-in removal is about to act; `afterUninstaller` when the maker's uninstaller
    // ran and left the scanner.
    virtual void BeforeBuiltIn(bool afterUninstaller) { static_cast<void>(afterUninstaller); }
};

// The one test of whether a scanner is still installed: its device key (IsDevicePresent); for
// a driver package without a device, its INF.
bool IsScannerPresent(Platform& platform, const ScannerRecord& scanner);

// The first step of a removal: starts the maker's uninstaller registered for the scanner's
// model through `steps`. A driver package without a device has none: it names a hardware ID,
// not a device whose going could be watched, and an uninstaller registered for that ID may not
// take the package (NoKey). Otherwise FindUninstallerCommand's status, or the start's.
UninstallerStatus StartRegisteredUninstaller(Platform& platform, const ScannerRecord& scanner,
                                             RemovalSteps& steps);

// The built-in removal: the walk over the plan (RunRemovalPlan), then the presence test.
ScannerRemovalResult RemoveBuiltIn(Platform& platform, const ScannerRecord& scanner,
                                   const RemovalPlan& plan);

// One scanner's whole removal, for a front end that waits for the maker's uninstaller. With
// `useUninstaller`, the registered uninstaller runs first; when it took the scanner, the result
// is Vendor with what it left of the plan; when it left the scanner, the built-in removal
// follows (VendorThenBuiltIn). Without one, or when none started, the built-in removal.
ScannerRemovalResult RemoveScanner(Platform& platform, const ScannerRecord& scanner,
                                   const RemovalPlan& plan, RemovalSteps& steps,
                                   bool useUninstaller);

// The window's way: the uninstaller handed to the shell, no waiting (StartThroughShell).
class ShellRemovalSteps : public RemovalSteps {
public:
    explicit ShellRemovalSteps(Platform& platform) : platform_(platform) {}
    UninstallerStatus RunUninstaller(const CommandLineText& commandLine,
                                     const UninstallerCommand& command) override;

private:
    Platform& platform_;
};

}  // namespace drvsweep
