#include "ui/dialog.h"

namespace drvsweep {

bool CDialog::OnInitDialog(DialogHost& host) {
    host_ = &host;
    return true;
}

void CDialog::OnCommand(int itemId, int notification) {
    if (notification != kButtonClicked) {
        return;
    }
    if (itemId == kIdOk) {
        OnOK();
    } else if (itemId == kIdCancel) {
        OnCancel();
    }
}

void CDialog::OnClose() {
    OnCancel();
}

void CDialog::OnOK() {
    host_->EndDialog(kIdOk);
}

void CDialog::OnCancel() {
    host_->EndDialog(kIdCancel);
}

}  // namespace drvsweep
