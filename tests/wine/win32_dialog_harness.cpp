#include "platform/win32/win32_version.h"
#include "platform/win32/windows_api.h"
#include "res/resource.h"
#include "tests/wine/dialog_host_harness.h"
#include "tests/wine/wine_display.h"
#include "ui/win32/win32_dialog_runner.h"

#include <gtest/gtest.h>

namespace drvsweep::testing {

namespace {

// Runs the body during WM_INITDIALOG: the window and its controls exist then, and a message box
// that the body shows runs its own message loop, as it will later in the dialog's life.
class BodyHandler : public DialogHandler {
public:
    explicit BodyHandler(const std::function<void(DialogHost&)>& body) : body_(body) {}

    bool OnInitDialog(DialogHost& host) override {
        body_(host);
        host.EndDialog(kIdOk);
        return true;
    }
    void OnCommand(int, int) override {}
    void OnTimer(std::uintptr_t) override {}
    bool OnSysCommand(std::uint32_t) override { return false; }
    void OnClose() override {}
    IconHandle OnQueryDragIcon() override { return 0; }

private:
    const std::function<void(DialogHost&)>& body_;
};

}  // namespace

void RunInDialog(const std::function<void(DialogHost& host)>& body) {
    UseUnmanagedWindows();
    BodyHandler handler(body);
    win32::Win32Version version;
    win32::Win32DialogRunner runner(GetModuleHandleW(nullptr), nullptr, version);
    EXPECT_EQ(runner.RunModal(IDD_UNINSTALL_DIALOG, handler), kIdOk);
}

}  // namespace drvsweep::testing
