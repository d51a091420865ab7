#include "platform/win32/win32_windows.h"

namespace drvsweep::win32 {

Win32Windows::Win32Windows()
    : platform_{version_,  registry_,  inf_,     files_,         devices_, programs_,
                packages_, fileFacts_, runLock_, systemRestore_, clock_} {}

}  // namespace drvsweep::win32
