#include "ui/about_box.h"

#include "res/resource.h"
#include "res/version.h"
#include "ui/about_strings.h"
#include "ui/interface_strings.h"

namespace drvsweep {

CAboutBox::CAboutBox(std::int32_t languageSlot)
    : CDialog(IDD_ABOUTBOX), languageSlot_(languageSlot) {}

bool CAboutBox::OnInitDialog(DialogHost& host) {
    CDialog::OnInitDialog(host);
    host.SetCaption(AboutText(languageSlot_, AboutRole::Caption));
    host.SetItemText(IDC_ABOUT_VERSION,
                     DisplayText(AboutText(languageSlot_, AboutRole::VersionLabel),
                                 {DRVSWEEP_VERSION_TEXT, CodePageOfSlot(kEnglish)}));
    host.SetItemText(IDC_ABOUT_PURPOSE, AboutText(languageSlot_, AboutRole::Purpose));
    host.SetItemText(kIdOk, AboutText(languageSlot_, AboutRole::OkButton));
    return true;
}

}  // namespace drvsweep
