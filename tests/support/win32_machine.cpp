#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/scoped_handle.h"
#include "platform/win32/win32_dll_search_path.h"
#include "platform/win32/win32_program_hand_over.h"
#include "platform/win32/win32_windows.h"
#include "platform/win32/windows_api.h"

// sddl.h needs the base Windows types declared first.
#include <sddl.h>

#include <fstream>
#include <sstream>
#include "res/resource.h"
#include "tests/support/held_file.h"
#include "tests/support/sid_text.h"
#include "tests/support/test_machine.h"

namespace drvsweep::testing {

namespace {

// The Wine prefix the test runs in, as tests/wine/wine_run.sh seeded it from the scenario.
class Win32TestMachine : public TestMachine {
public:
    Platform& platform() override { return windows_.platform(); }

    bool HoldOpen(const std::string& path) override {
        held_.push_back(std::make_unique<HeldFile>());
        return held_.back()->Hold(path);
    }

private:
    win32::Win32Windows windows_;
    std::vector<std::unique_ptr<HeldFile>> held_;
};

}  // namespace

bool RunsUnderWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::unique_ptr<TestMachine> OpenScenarioMachine() {
    EXPECT_FALSE(CurrentScenario().empty())
        << "no scenario seeded: run the test through tests/wine/wine_run.sh with "
           "DRVSWEEP_SCENARIO and DRVSWEEP_FIXTURES set";
    return std::make_unique<Win32TestMachine>();
}

std::unique_ptr<ProgramHandOver> OpenHandOverServices() {
    return std::make_unique<win32::Win32ProgramHandOver>(IDR_PROGRAM64);
}

std::string OthersWithAccess(ProgramHandOver&, const std::string& folder) {
    const SECURITY_INFORMATION wanted = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    DWORD size = 0;
    GetFileSecurityA(folder.c_str(), wanted, nullptr, 0, &size);
    std::vector<char> buffer(size == 0 ? 1 : size);
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    BOOL present = FALSE;
    PACL dacl = nullptr;
    if (!GetFileSecurityA(folder.c_str(), wanted, buffer.data(), size, &size) ||
        !GetSecurityDescriptorOwner(buffer.data(), &owner, &defaulted) ||
        !GetSecurityDescriptorDacl(buffer.data(), &present, &dacl, &defaulted)) {
        return "unreadable descriptor";
    }
    if (!present || dacl == nullptr) {
        return "everyone (no DACL)";
    }
    const std::string ownerSid = owner == nullptr ? std::string() : SidText(owner);
    std::string others;
    for (DWORD index = 0; index < dacl->AceCount; ++index) {
        void* ace = nullptr;
        if (!GetAce(dacl, index, &ace)) {
            return "unreadable ACE";
        }
        if (static_cast<ACE_HEADER*>(ace)->AceType != ACCESS_ALLOWED_ACE_TYPE) {
            continue;
        }
        const std::string sid = SidText(&static_cast<ACCESS_ALLOWED_ACE*>(ace)->SidStart);
        if (sid != "S-1-5-32-544" && sid != "S-1-5-18" && sid != ownerSid) {
            others += (others.empty() ? "" : " ") + sid;
        }
    }
    return others;
}

bool AnotherPartyCanWrite(ProgramHandOver&, const std::string& path) {
    const win32::ScopedFile file(CreateFileA(path.c_str(), GENERIC_WRITE,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                             nullptr, OPEN_EXISTING, 0, nullptr));
    return file.valid();
}

std::string StartableProgramImage() {
    char own[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, own, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return std::string();
    }
    std::ifstream file(own, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

std::unique_ptr<DllSearchPath> OpenDllSearchPath() {
    return std::make_unique<win32::Win32DllSearchPath>();
}

}  // namespace drvsweep::testing
