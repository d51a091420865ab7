#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/sim_windows.h"

// The simulated driver package calls as Microsoft documents them for each release.
namespace drvsweep {
namespace {

using sim::SimRelease;

const std::string kInf = "C:\\windows\\inf\\";
const std::string kCatalog = "C:\\windows\\system32\\CatRoot\\{F750E6C3}\\oem3.cat";
const std::string kStore = "C:\\windows\\system32\\DriverStore\\FileRepository\\oem3.inf_x86";
const std::string kDevice = "USB\\VID_0C6E&PID_5210\\5&2f1c3a&0&2";

class SimDriverPackagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim::SimFileTree& files = machine.files();
        for (const std::string& path : {kInf + "oem3.inf", kInf + "oem3.pnf", kCatalog,
                                        kStore + "\\oem3.inf", kInf + "oem4.inf"}) {
            files.AddFile(path);
        }
        machine.devices().AddDevice(kDevice, {"USB\\VID_0C6E&PID_5210"}, false);
        machine.packages().AddPackage(
            sim::SimDriverPackage{"oem3.inf", kCatalog, kStore, {kDevice}});
    }

    bool PackageFilesLeft() {
        for (const std::string& path : {kInf + "oem3.inf", kInf + "oem3.pnf", kCatalog, kStore}) {
            if (machine.files().Exists(path)) {
                return true;
            }
        }
        return !machine.packages().PackageNames().empty() &&
               machine.packages().PackageNames()[0] == "oem3.inf";
    }

    sim::SimWindows machine;
};

// A device need not be attached to keep its INF in use; the force flag takes the INF anyway,
// and with it the .pnf, the catalog and the driver store's copy.
TEST_F(SimDriverPackagesTest, SetupUninstallOemInfRefusesAnInfInUseUnlessForced) {
    DriverPackages& packages = machine.platform().packages;
    PackageCallResult result = packages.UninstallOemInf("oem3.inf", 0);
    EXPECT_TRUE(result.available);
    EXPECT_FALSE(result.succeeded);
    EXPECT_EQ(result.error, kErrorInfInUseByDevices);
    EXPECT_TRUE(machine.files().Exists(kInf + "oem3.inf"));
    EXPECT_TRUE(machine.files().Exists(kInf + "oem3.pnf"));

    result = packages.UninstallOemInf("OEM3.INF", kSuoiForceDelete);
    EXPECT_TRUE(result.succeeded);
    EXPECT_FALSE(PackageFilesLeft());
    EXPECT_EQ(machine.devices().InstanceIds(), std::vector<std::string>{kDevice});
    EXPECT_EQ(packages.UninstallOemInf("oem3.inf", kSuoiForceDelete).error, 2u);
    EXPECT_EQ(packages.UninstallOemInf("C:\\windows\\inf\\oem4.inf", 0).error, 87u);

    // An INF of the folder that no device uses goes without the flag.
    EXPECT_TRUE(packages.UninstallOemInf("oem4.inf", 0).succeeded);
    EXPECT_FALSE(machine.files().Exists(kInf + "oem4.inf"));
}

// DiUninstallDriverW gives the package's devices another driver instead of refusing, and
// wants the INF's full path.
TEST_F(SimDriverPackagesTest, DiUninstallDriverTakesThePackageFromItsDevices) {
    machine.packages().SetRelease(SimRelease::Windows10v1703, true);
    DriverPackages& packages = machine.platform().packages;
    machine.packages().SetRestartAfterUninstall(true);
    const PackageCallResult missing = packages.UninstallDriver("C:\\windows\\inf\\oem9.inf");
    EXPECT_EQ(missing.error, 2u);
    EXPECT_FALSE(missing.restartNeeded) << "a call that failed asks for no restart";
    const PackageCallResult uninstalled = packages.UninstallDriver("C:\\windows\\inf\\oem3.inf");
    EXPECT_TRUE(uninstalled.succeeded);
    EXPECT_TRUE(uninstalled.restartNeeded);
    EXPECT_FALSE(PackageFilesLeft());
    EXPECT_EQ(machine.devices().InstanceIds(), std::vector<std::string>{kDevice});
}

// Which calls each release has, and its 32-bit system folder on 64-bit Windows.
TEST_F(SimDriverPackagesTest, EachReleaseHasTheCallsMicrosoftDocumentsForIt) {
    const struct {
        SimRelease release;
        bool is64Bit;
        bool hasRelease;
        std::uint32_t build;
        bool setupUninstall;
        bool diUninstall;
    } kCases[] = {
        {SimRelease::Windows98, false, false, 0, false, false},
        {SimRelease::Windows2000, false, true, 2195, false, false},
        {SimRelease::WindowsXp, false, true, 2600, true, false},
        {SimRelease::Windows7, true, true, 7601, true, false},
        {SimRelease::Windows10v1607, true, true, 14393, true, false},
        {SimRelease::Windows10v1703, false, true, 15063, true, true},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.build);
        machine.packages().SetRelease(c.release, c.is64Bit);
        DriverPackages& packages = machine.platform().packages;
        WindowsRelease release;
        EXPECT_EQ(packages.Release(&release), c.hasRelease);
        EXPECT_EQ(release.build, c.build);
        EXPECT_EQ(packages.UninstallOemInf("oem9.inf", 0).available, c.setupUninstall);
        EXPECT_EQ(packages.UninstallDriver("C:\\windows\\inf\\oem9.inf").available, c.diUninstall);
        char folder[260] = {};
        const std::uint32_t length = packages.Wow64SystemFolder(folder, sizeof folder);
        EXPECT_EQ(std::string(folder), c.is64Bit ? "C:\\windows\\SysWOW64" : "");
        EXPECT_EQ(length, c.is64Bit ? 19u : 0u);
        EXPECT_EQ(packages.Wow64SystemFolder(folder, 19), c.is64Bit ? 20u : 0u);
    }
    EXPECT_TRUE(machine.files().Exists(kInf + "oem3.inf")) << "no call reached a package";
}

}  // namespace
}  // namespace drvsweep
