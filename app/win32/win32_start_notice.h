#pragma once

#include "app/hand_over.h"

namespace drvsweep::win32 {

// The start's message in a message box of its own (no owner, OK, stop icon), its texts
// converted to UTF-16 from the code pages they are stored in.
class Win32StartNotice : public StartNotice {
public:
    void ShowStop(const DisplayText& text, const DisplayText& caption) override;
};

}  // namespace drvsweep::win32
