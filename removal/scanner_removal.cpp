#include "removal/scanner_removal.h"

#include <memory>

#include "platform/win32_codes.h"
#include "removal/item_probe.h"
#include "removal/removal_walk.h"

namespace drvsweep {

bool IsScannerPresent(Platform& platform, const ScannerRecord& scanner) {
    if (!scanner.packageOnly) {
        return IsDevicePresent(platform, scanner.devicePath.c_str());
    }
    FoundFile found;
    return !scanner.infPath.empty() &&
           platform.files.FindFirst(scanner.infPath.c_str(), &found) != nullptr;
}

UninstallerStatus StartRegisteredUninstaller(Platform& platform, const ScannerRecord& scanner,
                                             RemovalSteps& steps) {
    if (scanner.packageOnly) {
        return UninstallerStatus::NoKey;
    }
    CommandLineText commandLine;
    UninstallerCommand command;
    const UninstallerStatus found =
        FindUninstallerCommand(platform, scanner.devicePath.c_str(), &commandLine, &command);
    return found == UninstallerStatus::Found ? steps.RunUninstaller(commandLine, command) : found;
}

ScannerRemovalResult RemoveBuiltIn(Platform& platform, const ScannerRecord& scanner,
                                   const RemovalPlan& plan) {
    ScannerRemovalResult result;
    result.outcome = RunRemovalPlan(platform, plan.items);
    result.scannerPresent = IsScannerPresent(platform, scanner);
    return result;
}

ScannerRemovalResult RemoveScanner(Platform& platform, const ScannerRecord& scanner,
                                   const RemovalPlan& plan, RemovalSteps& steps,
                                   bool useUninstaller) {
    const bool uninstallerRan =
        useUninstaller &&
        StartRegisteredUninstaller(platform, scanner, steps) == UninstallerStatus::Started;
    if (uninstallerRan && !IsScannerPresent(platform, scanner)) {
        ScannerRemovalResult result;
        result.method = RemovalMethod::Vendor;
        result.outcome = CheckRemovalPlan(platform, plan.items);
        return result;
    }
    // The plan was made before the uninstaller ran: what it took is gone, and the walk finds
    // nothing to do there.
    steps.BeforeBuiltIn(uninstallerRan);
    ScannerRemovalResult result = RemoveBuiltIn(platform, scanner, plan);
    result.method = uninstallerRan ? RemovalMethod::VendorThenBuiltIn : RemovalMethod::BuiltIn;
    return result;
}

UninstallerStatus ShellRemovalSteps::RunUninstaller(const CommandLineText&,
                                                    const UninstallerCommand& command) {
    return StartThroughShell(platform_, command);
}

}  // namespace drvsweep
