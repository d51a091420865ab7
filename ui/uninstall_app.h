#pragma once

#include "platform/dialog_host.h"
#include "platform/platform.h"
#include "ui/app_state.h"

namespace drvsweep {

// The application object: it runs the main window and the program ends when that closes.
class CUninstallApp {
public:
    CUninstallApp(AppState& state, Platform& platform, DialogRunner& dialogs)
        : state_(state), platform_(platform), dialogs_(dialogs) {}

    // Runs the main window modally, its result unused, and returns false: the program then
    // ends instead of running a message loop of the application's own.
    bool InitInstance();

private:
    AppState& state_;
    Platform& platform_;
    DialogRunner& dialogs_;
};

}  // namespace drvsweep
