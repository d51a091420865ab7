#pragma once

#include <cstdint>

#include "platform/dialog_host.h"
#include "platform/platform.h"
#include "removal/removal_outcome.h"
#include "removal/restore_point.h"
#include "ui/app_state.h"
#include "ui/dialog.h"
#include "ui/interface_strings.h"

namespace drvsweep {

// The timer that watches a scanner whose own uninstaller was started.
constexpr std::uintptr_t kPollTimer = 0;
// The timer that waits for the restart Windows accepted to reach the window, and how long: a
// program asked before it may cancel the restart, and the window is then told nothing.
constexpr std::uintptr_t kRestartTimer = 1;
constexpr std::uint32_t kRestartWaitMs = 120000;

// The main window (dialog template 102): the list of Quorin scanners found, Delete and Exit.
class CUninstallDlg : public CDialog {
public:
    // Loads the application icon from the runner's resources.
    CUninstallDlg(AppState& state, Platform& platform, DialogRunner& resources);

    // Adds the About entry and the icon, chooses the language, scans, fills the list and
    // selects its first entry, disables Delete when nothing was found and sets every text.
    bool OnInitDialog(DialogHost& host) override;
    // Delete and a double-click in the list run the uninstall command.
    void OnCommand(int itemId, int notification) override;
    // The About entry (ids 16 to 31) runs the About box; the rest is the default processing.
    bool OnSysCommand(std::uint32_t command) override;
    // Exit, Enter, the close box and Alt+F4 stop the poll timer before the window goes.
    void OnClose() override;
    IconHandle OnQueryDragIcon() override { return icon_; }
    // Every tick, whatever its timer, looks whether the watched scanner's device key is gone.
    // The restart timer's tick, when no end of the session reached the window since the
    // restart was accepted, says that the restart did not happen.
    void OnTimer(std::uintptr_t timerId) override;
    // The restart the user asked for reached the window.
    void OnQueryEndSession() override;
    // A session that goes on after the restart was accepted: the restart did not happen.
    void OnEndSession(bool ending) override;

protected:
    void OnOK() override;

private:
    // The uninstall command of the selected entry: the scanner's own uninstaller, watched by
    // the poll timer, or the confirmed built-in removal followed by the restart question.
    void UninstallSelected();
    // Runs the built-in removal of the scanner with the user's consent; false when the user
    // declined, the scanner is no longer listed, or its backup could not be written (then
    // nothing was removed, and the window says so).
    bool ConfirmAndRemove(const ScannerRecord& scanner);
    // Takes entry and row `index` out, and disables Delete when nothing is left.
    void RemoveEntry(std::int32_t index);
    // The restart question, in the words that fit why the restart is needed; none when nothing
    // needs a restart. Says so when the restart the user asked for did not happen.
    void AskToRestart(RestartReason reason);
    // A box with one of the window's notices and OK.
    void ShowNotice(StringRole text);
    // Stops waiting for the restart and says that it did not happen.
    void RestartNotDone();

    void FillScannerList();
    void SetInterfaceTexts();

    AppState& state_;
    Platform& platform_;
    IconHandle icon_;
    // The devicePath of the scanner whose uninstaller runs, empty when none is watched. The
    // timer follows the scanner, not a row index: rows move when another row is taken out.
    PathText watchedDevice_;
    // Where the restart the user asked for stands: none asked or accepted, accepted by Windows,
    // or reached the window (its end is then told by WM_ENDSESSION).
    enum class RestartWatch { None, Accepted, Reached };
    RestartWatch restart_ = RestartWatch::None;
    // One restore point for the window's removals, made before the first.
    RunRestorePoint restorePoint_{platform_};
};

}  // namespace drvsweep
