#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/win32/windows_api.h"
#include "tests/support/test_machine.h"
#include "tests/wine/driver_package_setup.h"

// What Wine's driver package calls do where they differ from Windows, recorded so that a
// change in Wine shows; the simulation follows Windows (docs/wine-facts.md). The scenario is
// package_x64, whose packages/ folder holds the source INF files.
namespace drvsweep {
namespace {

const std::string kInf = "C:\\windows\\inf\\";

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void SetString(const char* keyPath, const char* name, const char* value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                   static_cast<DWORD>(std::strlen(value) + 1));
    RegCloseKey(key);
}

// One test, because the tests of one run share the prefix.
TEST(WineDriverPackages, WhatWineAnswers) {
    const std::string source = testing::FixturePath("package_x64/packages/oem21.inf");
    // SetupCopyOEMInfA keeps the source's file name where Windows would pick oemNN.inf, and
    // makes the .pnf beside it.
    ASSERT_EQ(testing::InstallDriverPackage(source), "oem21.inf");
    EXPECT_TRUE(Exists(kInf + "oem21.inf"));
    EXPECT_TRUE(Exists(kInf + "oem21.pnf"));

    // Without SUOI_FORCEDELETE it reports success and deletes nothing, with or without a device
    // whose driver names the INF; Windows deletes an INF that no device uses and refuses one in
    // use with ERROR_INF_IN_USE_BY_DEVICES.
    EXPECT_TRUE(SetupUninstallOEMInfA("oem21.inf", 0, nullptr));
    EXPECT_TRUE(Exists(kInf + "oem21.inf"));
    SetString(
        "SYSTEM\\CurrentControlSet\\Control\\Class\\{6bdd1fc6-810f-11d0-bec7-"
        "08002be2092f}\\0001",
        "InfPath", "oem21.inf");
    EXPECT_TRUE(SetupUninstallOEMInfA("oem21.inf", 0, nullptr));
    EXPECT_TRUE(Exists(kInf + "oem21.inf"));
    EXPECT_TRUE(SetupUninstallOEMInfA("oem29.inf", 0, nullptr)) << "even for a missing INF";

    // With it, it deletes the .inf alone: the .pnf stays, where Windows deletes it too.
    EXPECT_TRUE(SetupUninstallOEMInfA("oem21.inf", SUOI_FORCEDELETE, nullptr));
    EXPECT_FALSE(Exists(kInf + "oem21.inf"));
    EXPECT_TRUE(Exists(kInf + "oem21.pnf"));

    // newdev.dll has neither DiUninstallDriverW nor DiUninstallDriverA.
    const HMODULE newdev = LoadLibraryA("newdev.dll");
    ASSERT_NE(newdev, nullptr);
    EXPECT_EQ(GetProcAddress(newdev, "DiUninstallDriverW"), nullptr);
    EXPECT_EQ(GetProcAddress(newdev, "DiUninstallDriverA"), nullptr);

    // A 64-bit prefix has its 32-bit system folder.
    char folder[MAX_PATH] = {};
    EXPECT_EQ(GetSystemWow64DirectoryA(folder, MAX_PATH), 19u);
    EXPECT_STREQ(folder, "C:\\windows\\syswow64");
}

}  // namespace
}  // namespace drvsweep
