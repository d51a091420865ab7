#include "platform/win32/win32_version.h"

#include "platform/win32/windows_api.h"

namespace drvsweep::win32 {

std::uint32_t Win32Version::Version() {
    return GetVersion();
}

std::uint16_t Win32Version::DefaultLanguage() {
    return GetSystemDefaultLangID();
}

}  // namespace drvsweep::win32
