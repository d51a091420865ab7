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

UninstallerValue ValueFor(const UninstallerUse& use) {
    return use.unattended || !use.desktopVisible ? UninstallerValue::QuietPreferred
                                                 : UninstallerValue::Interactive;
}

UninstallerStatus StartRegisteredUninstaller(Platform& platform, const ScannerRecord& scanner,
                                             RemovalSteps& steps, const UninstallerUse& use) {
    if (scanner.packageOnly) {
        return UninstallerStatus::NoKey;
    }
    CommandLineText commandLine;
    UninstallerCommand command;
    bool quiet = false;
    const UninstallerStatus found = FindUninstallerCommand(
        platform, scanner.devicePath.c_str(), &commandLine, &command, ValueFor(use), &quiet);
    if (found != UninstallerStatus::Found) {
        return found;
    }
    if (!quiet && !use.desktopVisible) {
        return UninstallerStatus::NoDesktop;
    }
    return steps.RunUninstaller(commandLine, command);
}

ScannerRemovalResult RemoveBuiltIn(Platform& platform, const ScannerRecord& scanner,
                                   const RemovalPlan& plan, const BackupChoice& backup) {
    ScannerRemovalResult result;
    if (backup.make && !plan.items.empty()) {
        result.backup.failure = backup.rootFailure;
        if (backup.rootFailure.empty()) {
            result.backup = WriteBackup(platform, scanner, plan, backup.root, backup.toolVersion);
        }
        if (!result.backup.written) {
            result.stoppedByBackup = true;
            result.outcome = CheckRemovalPlan(platform, plan.items);
            result.scannerPresent = IsScannerPresent(platform, scanner);
            return result;
        }
    }
    result.outcome = RunRemovalPlan(platform, plan.items);
    result.scannerPresent = IsScannerPresent(platform, scanner);
    return result;
}

ScannerRemovalResult RemoveScanner(Platform& platform, const ScannerRecord& scanner,
                                   const RemovalPlan& plan, RemovalSteps& steps,
                                   const UninstallerUse& use, const BackupChoice& backup) {
    const UninstallerStatus uninstaller =
        use.start ? StartRegisteredUninstaller(platform, scanner, steps, use)
                  : UninstallerStatus::NoKey;
    const bool uninstallerRan = uninstaller == UninstallerStatus::Started;
    if (uninstallerRan && !IsScannerPresent(platform, scanner)) {
        ScannerRemovalResult result;
        result.method = RemovalMethod::Vendor;
        result.uninstaller = uninstaller;
        result.outcome = CheckRemovalPlan(platform, plan.items);
        return result;
    }
    // The plan was made before the uninstaller ran: what it took is gone, and the walk finds
    // nothing to do there.
    steps.BeforeBuiltIn(uninstaller);
    ScannerRemovalResult result = RemoveBuiltIn(platform, scanner, plan, backup);
    result.method = uninstallerRan ? RemovalMethod::VendorThenBuiltIn : RemovalMethod::BuiltIn;
    result.uninstaller = uninstaller;
    return result;
}

UninstallerStatus ShellRemovalSteps::RunUninstaller(const CommandLineText&,
                                                    const UninstallerCommand& command) {
    return StartThroughShell(platform_, command);
}

}  // namespace drvsweep
