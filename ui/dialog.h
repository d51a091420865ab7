#pragma once

#include <cstdint>

#include "platform/dialog_host.h"

namespace drvsweep {

// The modal dialog base: the handling that a dialog gets unless it overrides it. OK (the
// default button, Enter) and Cancel (Escape) end the dialog, and so does a close, which the
// dialog manager turns into Cancel; every other message gets the default processing.
class CDialog : public DialogHandler {
public:
    explicit CDialog(std::uint32_t templateId) : templateId_(templateId) {}
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Shows the dialog of the template and returns when it has ended, with its result; run
    // through a host, the dialog is owned by the host's window.
    int DoModal(DialogRunner& runner) { return runner.RunModal(templateId_, *this); }

    bool OnInitDialog(DialogHost& host) override;
    void OnCommand(int itemId, int notification) override;
    void OnTimer(std::uintptr_t) override {}
    bool OnSysCommand(std::uint32_t) override { return false; }
    void OnClose() override;
    IconHandle OnQueryDragIcon() override { return 0; }

protected:
    virtual void OnOK();
    virtual void OnCancel();

    // The window, from OnInitDialog on.
    DialogHost& host() { return *host_; }

private:
    std::uint32_t templateId_;
    DialogHost* host_ = nullptr;
};

}  // namespace drvsweep
