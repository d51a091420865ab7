#include "ui/uninstall_dlg.h"

#include <string>

#include "discovery/scanner_table.h"
#include "res/resource.h"
#include "ui/about_box.h"
#include "ui/interface_strings.h"
#include "ui/package_mark.h"
#include "ui/uninstall_command.h"

namespace drvsweep {

namespace {

// The system menu passes the About entry's id with its low four bits free for the system.
constexpr std::uint32_t kSystemCommandIdMask = 0xFFF0;

}  // namespace

CUninstallDlg::CUninstallDlg(AppState& state, Platform& platform, DialogRunner& resources)
    : CDialog(IDD_UNINSTALL_DIALOG),
      state_(state),
      platform_(platform),
      icon_(resources.LoadAppIcon(IDR_MAINFRAME)) {}

bool CUninstallDlg::OnInitDialog(DialogHost& host) {
    CDialog::OnInitDialog(host);

    const std::u16string about = host.LoadResourceString(IDS_ABOUTBOX);
    if (!about.empty()) {
        host.AppendSystemMenuEntry(IDM_ABOUTBOX, about);
    }
    host.SetIcon(icon_, true);
    host.SetIcon(icon_, false);

    LoadInterfaceStrings(platform_.version, state_.strings);
    ScanInstalledScanners(platform_, state_.table);
    FillScannerList();
    host.ListSetSelection(IDC_SCANNER_LIST, 0);
    if (state_.table.lastIndex < 0) {
        host.EnableItem(IDC_DELETE, false);
    }
    SetInterfaceTexts();
    return true;
}

// Entry i is row i: the entries go in at given positions, so the list's sort style never
// reorders them. A description is registry or INF text in the system's ANSI code page; a driver
// package without a device carries a mark in the interface language.
void CUninstallDlg::FillScannerList() {
    for (std::int32_t i = 0; i <= state_.table.lastIndex; ++i) {
        const ScannerRecord& row = state_.table.rows[i];
        const CodePageText description = {row.description.c_str(), kAnsiCodePage};
        host().ListInsert(IDC_SCANNER_LIST, i,
                          row.packageOnly
                              ? DisplayText({" ", kAnsiCodePage}, description,
                                            PackageOnlyMark(state_.strings.languageSlot))
                              : DisplayText({" ", kAnsiCodePage}, description));
    }
}

void CUninstallDlg::SetInterfaceTexts() {
    const InterfaceStrings& strings = state_.strings;
    host().SetCaption(InterfaceText(strings, StringRole::WindowTitle));
    host().SetItemText(IDC_INSTRUCTION, InterfaceText(strings, StringRole::InstructionText));
    host().SetItemText(IDC_LIST_LABEL, InterfaceText(strings, StringRole::ListLabel));
    host().SetItemText(IDC_DELETE, InterfaceText(strings, StringRole::DeleteButton));
    host().SetItemText(kIdOk, InterfaceText(strings, StringRole::ExitButton));
}

void CUninstallDlg::OnCommand(int itemId, int notification) {
    if ((itemId == IDC_DELETE && notification == kButtonClicked) ||
        (itemId == IDC_SCANNER_LIST && notification == kListDoubleClick)) {
        UninstallSelected();
        return;
    }
    CDialog::OnCommand(itemId, notification);
}

bool CUninstallDlg::OnSysCommand(std::uint32_t command) {
    if ((command & kSystemCommandIdMask) != IDM_ABOUTBOX) {
        return false;
    }
    CAboutBox about(state_.strings.languageSlot);
    about.DoModal(host());
    return true;
}

void CUninstallDlg::OnOK() {
    host().StopTimer(kPollTimer);
    CDialog::OnOK();
}

void CUninstallDlg::OnClose() {
    host().StopTimer(kPollTimer);
    CDialog::OnClose();
}

}  // namespace drvsweep
