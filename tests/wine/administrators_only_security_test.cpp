#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/win32/administrators_only_security.h"
#include "platform/win32/windows_api.h"
#include "tests/support/sid_text.h"

// sddl.h needs the base Windows types declared first.
#include <sddl.h>

// The descriptor that the hand-over folder and the log folder are made with, read back from
// memory: Wine keeps no descriptor on files, so what CreateDirectoryA is given is checked here.
namespace drvsweep::win32 {
namespace {

using drvsweep::testing::SidText;

// "O:<owner SID>D:<P when protected>" and "(<ACE type>;<ACE flags>;<mask>;<SID>)" per ACE.
std::string DescriptorText(PSECURITY_DESCRIPTOR descriptor) {
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    BOOL present = FALSE;
    PACL dacl = nullptr;
    if (!GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) ||
        !GetSecurityDescriptorControl(descriptor, &control, &revision) ||
        !GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) || owner == nullptr ||
        !present || dacl == nullptr) {
        return "incomplete descriptor";
    }
    std::string text = "O:" + SidText(owner) + "D:" + ((control & SE_DACL_PROTECTED) ? "P" : "");
    for (DWORD index = 0; index < dacl->AceCount; ++index) {
        void* ace = nullptr;
        if (!GetAce(dacl, index, &ace)) {
            return "unreadable ACE";
        }
        const auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        char numbers[48];
        std::snprintf(numbers, sizeof numbers, "(%u;0x%x;0x%lx;", allowed->Header.AceType,
                      allowed->Header.AceFlags, static_cast<unsigned long>(allowed->Mask));
        text += numbers + SidText(const_cast<DWORD*>(&allowed->SidStart)) + ")";
    }
    return text;
}

TEST(AdministratorsOnlySecurityTest, OwnedByAdministratorsProtectedAndOpenToThemAndSystemOnly) {
    AdministratorsOnlySecurity security;
    ASSERT_NE(security.attributes(), nullptr);
    EXPECT_EQ(security.attributes()->nLength, sizeof(SECURITY_ATTRIBUTES));
    EXPECT_FALSE(security.attributes()->bInheritHandle);
    // Type 0 is ACCESS_ALLOWED_ACE_TYPE, flags 0x3 OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE,
    // mask 0x1f01ff FILE_ALL_ACCESS.
    EXPECT_EQ(DescriptorText(security.attributes()->lpSecurityDescriptor),
              "O:S-1-5-32-544D:P(0;0x3;0x1f01ff;S-1-5-32-544)(0;0x3;0x1f01ff;S-1-5-18)");
}

}  // namespace
}  // namespace drvsweep::win32
