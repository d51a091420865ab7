#include "app/win32/win32_start_notice.h"

#include "platform/win32/windows_api.h"
#include "ui/win32/wide_text.h"

namespace drvsweep::win32 {

void Win32StartNotice::ShowStop(const DisplayText& text, const DisplayText& caption) {
    // The message only appears where a hand-over was needed, which is the NT family, where
    // the wide message box is the real one.
    MessageBoxW(nullptr, ToWide(text).c_str(), ToWide(caption).c_str(),
                MB_OK | MB_ICONSTOP | MB_SETFOREGROUND);
}

}  // namespace drvsweep::win32
