#include "ui/uninstall_command.h"

#include <string>

#include "removal/backup_place.h"
#include "removal/scanner_removal.h"
#include "removal/scanner_row.h"
#include "removal/system_restart.h"
#include "res/resource.h"
#include "res/version.h"
#include "ui/uninstall_dlg.h"

namespace drvsweep {

void CUninstallDlg::UninstallSelected() {
    // With no entry selected (after the selected one was taken out) LB_GETCURSEL answers
    // LB_ERR, which names no row: such a command does nothing.
    const int selection = host().ListSelection(IDC_SCANNER_LIST);
    if (selection < 0 || selection > state_.table.lastIndex) {
        return;
    }
    state_.selectedIndex = selection;
    // A copy: the row may move while a message box is open, since timer ticks are handled then.
    const ScannerRecord scanner = state_.table.rows[selection];
    // One removal at a time on the machine, the command line's included. A lock that cannot be
    // made at all belongs to no other run, and the removal goes on.
    if (platform_.runLock.Take() == RunLockState::HeldElsewhere) {
        ShowNotice(StringRole::AnotherRemovalRuns);
        return;
    }

    ShellRemovalSteps steps(platform_);
    if (StartRegisteredUninstaller(platform_, scanner, steps) == UninstallerStatus::Started) {
        watchedDevice_ = scanner.devicePath;
        host().StartTimer(kPollTimer, kPollPeriodMs);
        return;
    }
    if (ConfirmAndRemove(scanner)) {
        AskToRestart(state_.lastRemoval.outcome.restartReason());
    }
}

bool CUninstallDlg::ConfirmAndRemove(const ScannerRecord& scanner) {
    const InterfaceStrings& strings = state_.strings;
    const int answer = host().ShowMessageBox(
        DisplayText(InterfaceText(strings, StringRole::ConfirmationPrefix),
                    {scanner.description.c_str(), kAnsiCodePage},
                    InterfaceText(strings, StringRole::ConfirmationSuffix)),
        InterfaceText(strings, StringRole::WindowTitle), kMbYesNo | kMbIconExclamation);
    // Only Yes is consent: a box that could not be shown answers 0.
    if (answer != kIdYes) {
        return false;
    }
    // The scanner is found again by its devicePath: a tick during the box may have taken out
    // an earlier row, and the removal must reach the scanner the user confirmed, no other.
    const std::int32_t index =
        FindScannerRow(platform_.version.AnsiCodePage(), state_.table, scanner.devicePath.c_str());
    if (index < 0) {
        return false;
    }
    state_.selectedIndex = index;
    // The same way back as a command-line run's: a restore point before the window's first
    // removal, and a backup in the default folder of backups, which /restore finds.
    restorePoint_.Begin();
    BackupChoice backup;
    backup.toolVersion = DRVSWEEP_VERSION_TEXT;
    if (!PrepareBackupRoot(platform_, std::string(), &backup.root, &backup.rootFailure)) {
        backup.root.clear();
    }
    state_.lastRemoval =
        RemoveBuiltIn(platform_, scanner, PlanBuiltInRemoval(platform_, scanner), backup);
    restorePoint_.End();
    if (state_.lastRemoval.stoppedByBackup) {
        ShowNotice(StringRole::BackupFailed);
        return false;
    }
    RemoveEntry(index);
    return true;
}

void CUninstallDlg::AskToRestart(RestartReason reason) {
    // A removal that finished now leaves nothing for a restart to do: no question, and the
    // window stays open, as after a watched uninstaller.
    if (reason == RestartReason::None) {
        return;
    }
    const InterfaceStrings& strings = state_.strings;
    // The text about files in use only when files are set to go at the restart.
    const bool filesInUse =
        reason == RestartReason::FilesInUse || reason == RestartReason::DeviceAndFiles;
    const StringRole question =
        filesInUse ? StringRole::RestartToFinishQuestion : StringRole::RestartQuestion;
    const int answer = host().ShowMessageBox(InterfaceText(strings, question),
                                             InterfaceText(strings, StringRole::WindowTitle),
                                             kMbYesNo | kMbIconInformation);
    if (answer == kIdYes) {
        // Programs may refuse the restart; the user must not take the window's silence for it.
        if (!RestartSystem(platform_)) {
            ShowNotice(StringRole::RestartNotDone);
            return;
        }
        restart_ = RestartWatch::Accepted;
        host().StartTimer(kRestartTimer, kRestartWaitMs);
    } else if (answer == kIdNo) {
        OnOK();
    }
}

void CUninstallDlg::ShowNotice(StringRole text) {
    const InterfaceStrings& strings = state_.strings;
    host().ShowMessageBox(InterfaceText(strings, text),
                          InterfaceText(strings, StringRole::WindowTitle),
                          kMbOk | kMbIconExclamation);
}

void CUninstallDlg::RemoveEntry(std::int32_t index) {
    host().ListDelete(IDC_SCANNER_LIST, index);
    RemoveScannerRow(state_.table, index);
    if (state_.table.lastIndex < 0) {
        host().EnableItem(IDC_DELETE, false);
    }
}

void CUninstallDlg::RestartNotDone() {
    host().StopTimer(kRestartTimer);
    restart_ = RestartWatch::None;
    ShowNotice(StringRole::RestartNotDone);
}

void CUninstallDlg::OnQueryEndSession() {
    if (restart_ == RestartWatch::Accepted) {
        restart_ = RestartWatch::Reached;
    }
}

void CUninstallDlg::OnEndSession(bool ending) {
    if (!ending && restart_ != RestartWatch::None) {
        RestartNotDone();
    }
}

void CUninstallDlg::OnTimer(std::uintptr_t timerId) {
    if (timerId == kRestartTimer) {
        // Once the restart reached the window, WM_ENDSESSION tells how it ended.
        if (restart_ == RestartWatch::Accepted) {
            RestartNotDone();
        } else {
            host().StopTimer(kRestartTimer);
        }
    }
    if (state_.selectedIndex == kNoCommandYet || watchedDevice_.empty()) {
        return;
    }
    const std::int32_t index =
        FindScannerRow(platform_.version.AnsiCodePage(), state_.table, watchedDevice_.c_str());
    if (index >= 0 && IsScannerPresent(platform_, state_.table.rows[index])) {
        return;
    }
    host().StopTimer(kPollTimer);
    watchedDevice_.clear();
    if (index >= 0) {
        RemoveEntry(index);
    }
}

}  // namespace drvsweep
