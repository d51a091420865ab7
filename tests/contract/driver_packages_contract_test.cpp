#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <string>

#include "platform/text_reads.h"
#include "removal/plan_steps.h"
#include "removal/removal_walk.h"
#include "tests/support/test_machine.h"

// The driver package calls over the simulated Windows and over Wine's, on the scenario
// contract_packages: 64-bit Windows 7, as Wine's default prefix is, with two OEM INF files and
// their .pnf files in the INF folder. Where Wine answers otherwise than Windows
// (tests/wine/driver_packages_wine_test.cpp), only what both answer alike is held here.
namespace drvsweep {
namespace {

const std::string kInf = "C:\\windows\\inf\\";

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

// One test, because under Wine the tests of one run share the prefix and this one changes it.
TEST(DriverPackagesContract, ReleaseCallsAndTheRemovalsEndResult) {
    std::unique_ptr<testing::TestMachine> machine = testing::OpenScenarioMachine();
    Platform& platform = machine->platform();
    DriverPackages& packages = platform.packages;
    const auto exists = [&platform](const std::string& path) {
        FoundFile found;
        return platform.files.FindFirst(path.c_str(), &found) != nullptr;
    };

    WindowsRelease release;
    ASSERT_TRUE(packages.Release(&release));
    EXPECT_EQ(release.major, 6u);
    EXPECT_EQ(release.minor, 1u);
    EXPECT_EQ(release.build, 7601u);

    PathText wow64;
    ASSERT_TRUE(ReadWow64Folder(packages, platform.version.AnsiCodePage(), &wow64));
    EXPECT_EQ(Lower(wow64.c_str()), "c:\\windows\\syswow64");

    EXPECT_FALSE(packages.UninstallDriver((kInf + "oem31.inf").c_str()).available)
        << "DiUninstallDriverW is new in Windows 10 1703";

    PackageCallResult result = packages.UninstallOemInf("oem31.inf", kSuoiForceDelete);
    EXPECT_TRUE(result.available);
    EXPECT_TRUE(result.succeeded);
    EXPECT_FALSE(exists(kInf + "oem31.inf"));
    result = packages.UninstallOemInf("oem39.inf", kSuoiForceDelete);
    EXPECT_FALSE(result.succeeded);
    EXPECT_EQ(result.error, 2u);

    // Whatever the calls leave, the removal ends with the .inf and its .pnf gone.
    RunRemovalPlan(platform, {DriverPackageItem(platform, (kInf + "oem32.inf").c_str())});
    EXPECT_FALSE(exists(kInf + "oem32.inf"));
    EXPECT_FALSE(exists(kInf + "oem32.pnf"));
}

}  // namespace
}  // namespace drvsweep
