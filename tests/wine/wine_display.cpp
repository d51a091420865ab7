#include "tests/wine/wine_display.h"

#include <gtest/gtest.h>

#include "platform/win32/scoped_handle.h"
#include "platform/win32/windows_api.h"

namespace drvsweep::testing {

void UseUnmanagedWindows() {
    win32::ScopedKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver", 0, nullptr, 0,
                              KEY_SET_VALUE, nullptr, key.receive(), nullptr),
              ERROR_SUCCESS);
    const wchar_t value[] = L"N";
    ASSERT_EQ(RegSetValueExW(key.get(), L"Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                             sizeof(value)),
              ERROR_SUCCESS);
}

}  // namespace drvsweep::testing
