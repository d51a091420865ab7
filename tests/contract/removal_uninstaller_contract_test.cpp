#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "platform/registry_paths.h"
#include "platform/win32_codes.h"
#include "removal/scanner_removal.h"
#include "tests/support/test_machine.h"

// LaunchVendorUninstaller over the simulated Windows and over the real one under Wine alike, on
// the scenarios removal_uninstallers_nt and removal_uninstallers_9x. In the Windows build the
// test uninstaller (tests/wine/test_uninstaller.cpp) stands at the path the scenario
// registers, and the programs started are checked by what they did; the simulated machine only
// records its launches.
namespace drvsweep {
namespace {

// The test uninstaller of the Windows build, empty where no program can run.
const char kTestUninstaller[] = DRVSWEEP_TEST_UNINSTALLER;
const char kRegisteredProgram[] = "C:\\windows\\quorin\\uninst.exe";

bool CopyFile(const std::string& from, const std::string& to) {
    std::ifstream in(from, std::ios::binary);
    std::ofstream out(to, std::ios::binary | std::ios::trunc);
    out << in.rdbuf();
    return in && out.flush();
}

// The record the test uninstaller writes once it is done, or empty when none came in time.
std::string WaitForRecord(const std::string& path) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
        std::ifstream in(path, std::ios::binary);
        if (in) {
            std::ostringstream text;
            text << in.rdbuf();
            return text.str();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return "";
}

// One test, because under Wine the tests of one run share the prefix and the programs started
// change it.
TEST(RemovalUninstallerContract, StartsOnlyWhatTheRegisteredCommandLineNames) {
    std::unique_ptr<testing::TestMachine> machine = testing::OpenScenarioMachine();
    Platform& platform = machine->platform();
    const bool nt = CurrentFamily(platform.version) == Family::Nt;
    const bool runs = kTestUninstaller[0] != '\0';
    if (runs) {
        ASSERT_TRUE(CopyFile(kTestUninstaller, kRegisteredProgram));
    }
    // The own view's key, which has no command line, comes first where a 64-bit program has
    // views to choose from; a 32-bit program's own view is the 32-bit one.
    const UninstallerStatus bothViews =
        !nt || sizeof(void*) == 8 ? UninstallerStatus::Unreadable : UninstallerStatus::Refused;
    const struct {
        const char* devicePath;
        UninstallerStatus result;
    } kCases[] = {
        {"USB\\VID_0C6E&PID_5210", UninstallerStatus::Started},
        {"USB\\VID_0C6E&PID_7300", UninstallerStatus::Started},
        {"USB\\VID_0C6E&PID_2503", UninstallerStatus::Unreadable},
        {"PCMCIA\\QUORIN-ROAMDOC-5E1A", UninstallerStatus::Refused},
        {"USB\\VID_0C6E&PID_3902", UninstallerStatus::NoProgram},
        {"USB\\VID_0C6E&PID_3900", UninstallerStatus::Unreadable},
        {"USB\\VID_0C6E&PID_1234", UninstallerStatus::Refused},
        {"USB\\VID_0C6E&PID_5555", UninstallerStatus::Started},
        {"USB\\VID_0C6E&PID_4321", bothViews},
        {"USB\\VID_0C6E&PID_9999", UninstallerStatus::NoKey},
    };
    ShellRemovalSteps steps(platform);
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.devicePath);
        ScannerRecord scanner;
        scanner.devicePath.assign(c.devicePath);
        EXPECT_EQ(StartRegisteredUninstaller(platform, scanner, steps), c.result);
    }
    if (!runs) {
        return;
    }

    // The program gets the parameters as split, after its own path; the device key it was
    // told to delete is gone once the record is there.
    const struct {
        const char* record;
        const char* parameters;
        const char* deleted;
        const char* devicePath;
    } kStarted[] = {
        {"C:\\ran-k5210.txt", " -record C:\\ran-k5210.txt -delay 0 USB\\VID_0C6E&PID_5210", "0",
         "USB\\VID_0C6E&PID_5210"},
        {"C:\\ran-pt736.txt", " -record C:\\ran-pt736.txt USB\\VID_0C6E&PID_7300", "0",
         "USB\\VID_0C6E&PID_7300"},
        {"C:\\uninstaller-ran.txt", "", "none", nullptr},
    };
    const char* enumPrefix =
        RegistryPathFor(RegistryPath::DevicePresencePrefix, CurrentFamily(platform.version));
    for (const auto& started : kStarted) {
        SCOPED_TRACE(started.record);
        const std::string expected = "\"" + std::string(kRegisteredProgram) + "\"" +
                                     started.parameters + "\n" + started.deleted + "\n";
        EXPECT_EQ(WaitForRecord(started.record), expected);
        if (started.devicePath != nullptr) {
            std::unique_ptr<RegistryKey> key;
            const std::string path = enumPrefix + std::string(started.devicePath);
            EXPECT_EQ(platform.registry.OpenKey(path.c_str(), kKeyRead, &key), kErrorFileNotFound);
        }
    }
}

}  // namespace
}  // namespace drvsweep
