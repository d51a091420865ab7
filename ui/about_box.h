#pragma once

#include <cstdint>

#include "platform/dialog_host.h"
#include "ui/dialog.h"

namespace drvsweep {

// The About box (dialog template 100), run from the main window's system menu: the product
// name and version and what the program is for, in the interface's language.
class CAboutBox : public CDialog {
public:
    explicit CAboutBox(std::int32_t languageSlot);

    bool OnInitDialog(DialogHost& host) override;

private:
    std::int32_t languageSlot_;
};

}  // namespace drvsweep
