#pragma once

#include "discovery/scanner_table.h"
#include "platform/platform.h"
#include "removal/backup_writer.h"
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

// Whether, and which, registered uninstaller of the maker's a removal may start.
struct UninstallerUse {
    // Start it at all.
    bool start = true;
    // A run that no one watches (/quiet): the key's "QuietUninstallString" is preferred.
    bool unattended = false;
    // Someone could see an interactive uninstaller's window. Where no one could (a service's
    // session), the quiet command line is preferred as well, and an interactive one is not
    // started: it would wait unseen for an answer until it was ended, perhaps in the middle of
    // a Windows Installer transaction.
    bool desktopVisible = true;
};

// The command line that `use` asks for: the quiet one first for an unattended run and where no
// one could see a window.
UninstallerValue ValueFor(const UninstallerUse& use);

// What one scanner's removal came to, as both front ends present it.
struct ScannerRemovalResult {
    RemovalMethod method = RemovalMethod::BuiltIn;
    // What starting the maker's uninstaller came to; NoKey when it was not asked for.
    UninstallerStatus uninstaller = UninstallerStatus::NoKey;
    // Every item of the scanner's plan: after the built-in walk its outcome; after the maker's
    // uninstaller alone what the probe found of it.
    RemovalOutcome outcome;
    // The one presence test (IsScannerPresent) once the removal ended.
    bool scannerPresent = false;
    // The backup written before the built-in removal acted; when it was asked for and could not
    // be written, the built-in removal did nothing (outcome is then what the probe found).
    BackupResult backup;
    bool stoppedByBackup = false;
};

// Whether the built-in removal writes a backup first, and into which folder of backups.
struct BackupChoice {
    bool make = true;
    // The folder of backups, made ready (PrepareBackupRoot); empty when it could not be, with
    // rootFailure saying why, which then stops every built-in removal of the run.
    std::string root;
    std::string rootFailure;
    const char* toolVersion = "";
};

// A removal that writes no backup: /nobackup, and tests of the removal itself.
inline BackupChoice NoBackup() {
    BackupChoice choice;
    choice.make = false;
    return choice;
}

// How a front end runs the maker's uninstaller, and what it is told of the removal's steps.
// The window hands the command to the shell and watches the device; the command line waits.
class RemovalSteps {
public:
    virtual ~RemovalSteps() = default;
    // Starts the uninstaller: Started or Refused. A front end that waits returns once it ended;
    // it waits for Windows Installer (RunsWindowsInstaller) without a time limit, since ending
    // it would break off a transaction whose rollback would then race the built-in removal.
    virtual UninstallerStatus RunUninstaller(const CommandLineText& commandLine,
                                             const UninstallerCommand& command) = 0;
    // The built-in removal is about to act. `uninstaller` is what starting the maker's
    // uninstaller came to: Started when it ran and left the scanner, NoDesktop when it was not
    // started as no one could see it, NoKey when none was asked for or registered.
    virtual void BeforeBuiltIn(UninstallerStatus uninstaller) { static_cast<void>(uninstaller); }
};

// The one test of whether a scanner is still installed: its device key (IsDevicePresent); for
// a driver package without a device, its INF.
bool IsScannerPresent(Platform& platform, const ScannerRecord& scanner);

// The first step of a removal: starts the maker's uninstaller registered for the scanner's
// model through `steps`, the command line chosen as `use` says (NoDesktop, with nothing
// started, for an interactive one that no one could see). A driver package without a device
// has none: it names a hardware ID, not a device whose going could be watched, and an
// uninstaller registered for that ID may not take the package (NoKey). Otherwise
// FindUninstallerCommand's status, or the start's.
UninstallerStatus StartRegisteredUninstaller(Platform& platform, const ScannerRecord& scanner,
                                             RemovalSteps& steps, const UninstallerUse& use = {});

// The built-in removal: the backup of the plan (WriteBackup) where `backup` asks for one, then
// the walk over the plan (RunRemovalPlan), then the presence test. A backup that cannot be
// written stops it before anything changes. A plan with no item needs no backup.
ScannerRemovalResult RemoveBuiltIn(Platform& platform, const ScannerRecord& scanner,
                                   const RemovalPlan& plan, const BackupChoice& backup);

// One scanner's whole removal, for a front end that waits for the maker's uninstaller. Where
// `use` asks for it, the registered uninstaller runs first; when it took the scanner, the
// result is Vendor with what it left of the plan; when it left the scanner, the built-in
// removal follows (VendorThenBuiltIn). Without one, or when none started, the built-in
// removal.
ScannerRemovalResult RemoveScanner(Platform& platform, const ScannerRecord& scanner,
                                   const RemovalPlan& plan, RemovalSteps& steps,
                                   const UninstallerUse& use, const BackupChoice& backup);

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
