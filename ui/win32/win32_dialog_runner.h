#pragma once

#include <cstdint>
#include <string>

#include "platform/dialog_host.h"
#include "platform/version_info.h"
#include "platform/win32/windows_api.h"

namespace drvsweep::win32 {

// The program's resources and modal dialogs through user32: LoadIconA, the string table read
// with FindResourceA, and DialogBoxParamW on the NT family or DialogBoxParamA on the 9x family
// (WindowFunctionsFor, the family asked afresh for every dialog), owned by `owner` (none for
// the main window). While a dialog runs, its messages go to the handler: WM_INITDIALOG,
// WM_COMMAND, WM_TIMER, WM_SYSCOMMAND, WM_CLOSE and WM_QUERYDRAGICON; every other one,
// WM_CTLCOLOR* among them, gets the dialog manager's default processing.
class Win32DialogRunner : public DialogRunner {
public:
    Win32DialogRunner(HINSTANCE instance, HWND owner, VersionInfo& version)
        : instance_(instance), owner_(owner), version_(version) {}

    IconHandle LoadAppIcon(std::uint32_t iconId) override;
    std::u16string LoadResourceString(std::uint32_t stringId) override;
    int RunModal(std::uint32_t templateId, DialogHandler& handler) override;

private:
    HINSTANCE instance_;
    HWND owner_;
    VersionInfo& version_;
};

}  // namespace drvsweep::win32
