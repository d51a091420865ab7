#include "ui/uninstall_app.h"

#include "ui/uninstall_dlg.h"

namespace drvsweep {

bool CUninstallApp::InitInstance() {
    CUninstallDlg dialog(state_, platform_, dialogs_);
    dialog.DoModal(dialogs_);
    return false;
}

}  // namespace drvsweep
