#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/sim_windows.h"
#include "removal/plan_steps.h"
#include "removal/removal_targets.h"
#include "removal/removal_walk.h"

// The scanner's INF removed as a driver package: which system call on which release, the
// force retry, the fallbacks, and the one-file step that always follows.
namespace drvsweep {
namespace {

using sim::SimRelease;

const std::string kInf = "C:\\windows\\inf\\";
const std::string kCatalog = "C:\\windows\\system32\\CatRoot\\{F750E6C3}\\oem3.cat";
const std::string kDevice = "USB\\VID_0C6E&PID_5210\\5&2f1c3a&0&2";

class RemoveDriverPackageTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const std::string& path : {kInf + "oem3.inf", kInf + "oem3.pnf", kCatalog,
                                        kInf + "oem4.inf", kInf + "oem4.pnf"}) {
            machine.files().AddFile(path);
        }
        machine.packages().AddPackage(sim::SimDriverPackage{"oem3.inf", kCatalog, "", {}});
    }

    // The driver package calls made, as "Call argument", oldest first.
    std::vector<std::string> PackageCalls() {
        std::vector<std::string> calls;
        for (const std::string& logged : machine.faults().calls()) {
            for (const char* call : {"SetupUninstallOEMInfA ", "DiUninstallDriverW "}) {
                if (logged.rfind(call, 0) == 0) {
                    calls.push_back(logged);
                }
            }
        }
        return calls;
    }

    bool Exists(const std::string& path) { return machine.files().Exists(path); }

    void ExpectOnlyTheScannersPackageGone(bool catalogGone) {
        EXPECT_FALSE(Exists(kInf + "oem3.inf"));
        EXPECT_FALSE(Exists(kInf + "oem3.pnf"));
        EXPECT_EQ(Exists(kCatalog), !catalogGone);
        EXPECT_TRUE(Exists(kInf + "oem4.inf"));
        EXPECT_TRUE(Exists(kInf + "oem4.pnf"));
    }

    sim::SimWindows machine;
};

TEST_F(RemoveDriverPackageTest, EachReleaseUsesItsOwnCall) {
    const struct {
        SimRelease release;
        std::vector<std::string> calls;
        bool catalogGone;
    } kCases[] = {
        {SimRelease::Windows2000, {}, false},
        {SimRelease::WindowsXp, {"SetupUninstallOEMInfA oem3.inf 0"}, true},
        {SimRelease::Windows10v1607, {"SetupUninstallOEMInfA oem3.inf 0"}, true},
        {SimRelease::Windows10v1703, {"DiUninstallDriverW " + kInf + "oem3.inf"}, true},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(static_cast<int>(c.release));
        machine.packages().SetRelease(c.release, true);
        RunRemovalPlan(machine.platform(),
                       {DriverPackageItem(machine.platform(), (kInf + "oem3.inf").c_str())});
        EXPECT_EQ(PackageCalls(), c.calls);
        ExpectOnlyTheScannersPackageGone(c.catalogGone);
        machine.faults() = sim::SimFaults();
        SetUp();
    }
}

// A device that its removal left behind keeps the INF in use; the INF goes all the same.
TEST_F(RemoveDriverPackageTest, AnInfStillInUseIsForced) {
    machine.devices().AddDevice(kDevice, {"USB\\VID_0C6E&PID_5210"});
    machine.packages().AddPackage(sim::SimDriverPackage{"oem4.inf", "", "", {kDevice}});
    RunRemovalPlan(machine.platform(),
                   {DriverPackageItem(machine.platform(), (kInf + "oem4.inf").c_str())});
    EXPECT_EQ(PackageCalls(), (std::vector<std::string>{"SetupUninstallOEMInfA oem4.inf 0",
                                                        "SetupUninstallOEMInfA oem4.inf 1"}));
    EXPECT_FALSE(Exists(kInf + "oem4.inf"));
    EXPECT_EQ(machine.packages().PackageNames(), std::vector<std::string>{"oem3.inf"});
}

// No call stops the removal: a failed or missing call leaves the one-file step to delete the
// .inf and the .pnf. Only the in-use answer is retried with the force flag.
TEST_F(RemoveDriverPackageTest, AFailedCallFallsBackAndTheFilesGoAnyway) {
    const struct {
        const char* why;
        SimRelease release;
        std::vector<sim::FaultRule> faults;
        std::vector<std::string> calls;
        bool catalogGone;
    } kCases[] = {
        {"DiUninstallDriverW fails",
         SimRelease::Windows10v1703,
         {{"DiUninstallDriverW", "", 5}},
         {"DiUninstallDriverW " + kInf + "oem3.inf", "SetupUninstallOEMInfA oem3.inf 0"},
         true},
        {"the release cannot be read",
         SimRelease::Windows10v1703,
         {{"RtlGetVersion", "", 5}},
         {"SetupUninstallOEMInfA oem3.inf 0"},
         true},
        {"SetupUninstallOEMInfA is denied",
         SimRelease::WindowsXp,
         {{"SetupUninstallOEMInfA", "", 5}},
         {"SetupUninstallOEMInfA oem3.inf 0"},
         false},
        {"the forced retry fails",
         SimRelease::WindowsXp,
         {{"SetupUninstallOEMInfA", " 0", static_cast<long>(kErrorInfInUseByDevices)},
          {"SetupUninstallOEMInfA", " 1", 5}},
         {"SetupUninstallOEMInfA oem3.inf 0", "SetupUninstallOEMInfA oem3.inf 1"},
         false},
        {"the files cannot be reset first",
         SimRelease::Windows2000,
         {{"SetFileAttributesA", "", 5}},
         {},
         false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        machine.packages().SetRelease(c.release, false);
        for (const sim::FaultRule& fault : c.faults) {
            machine.faults().Add(fault);
        }
        RunRemovalPlan(machine.platform(),
                       {DriverPackageItem(machine.platform(), (kInf + "oem3.inf").c_str())});
        EXPECT_EQ(PackageCalls(), c.calls);
        ExpectOnlyTheScannersPackageGone(c.catalogGone);
        machine.faults() = sim::SimFaults();
        SetUp();
    }
}

// Only an INF directly in the folder the search reads is a package of the system's; any
// other path is deleted as the one file it is, and no .pnf is derived from it.
TEST_F(RemoveDriverPackageTest, OnlyAnOemInfOfTheInfFolderIsHandedToTheSystem) {
    const struct {
        std::string infPath;
        std::string infName;
        std::string pnfPath;
    } kCases[] = {
        {kInf + "oem3.inf", "oem3.inf", kInf + "oem3.pnf"},
        {kInf + "OEM3.INF", "OEM3.INF", kInf + "OEM3.pnf"},
        {kInf + "scan.inf", "", kInf + "scan.pnf"},
        {kInf + "oem3.infx", "", ""},
        {kInf + "oem3", "", ""},
        {kInf + ".inf", "", ""},
        {kInf + "sub\\oem3.inf", "", ""},
        {kInf + "oem3.inf:stream.inf", "", ""},
        {"C:\\windows\\infx\\oem3.inf", "", ""},
        {"C:\\windows\\oem3.inf", "", ""},
        {"C:\\other\\inf\\oem3.inf", "", ""},
        {"oem3.inf", "", ""},
        {kInf, "", ""},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.infPath);
        const DriverPackageTarget target =
            DriverPackageTargetOf(machine.platform(), c.infPath.c_str());
        EXPECT_EQ(target.infName.c_str(), c.infName);
        EXPECT_EQ(target.pnfPath.c_str(), c.pnfPath);
    }
    machine.SetFamily(Family::Win9x);
    EXPECT_TRUE(
        DriverPackageTargetOf(machine.platform(), (kInf + "oem3.inf").c_str()).pnfPath.empty());
    const DriverPackageTarget other =
        DriverPackageTargetOf(machine.platform(), "C:\\windows\\inf\\other\\QuorinK5210.inf");
    EXPECT_EQ(other.pnfPath.c_str(), std::string("C:\\windows\\inf\\other\\QuorinK5210.pnf"));
    EXPECT_TRUE(other.infName.empty());

    machine.SetFamily(Family::Nt);
    machine.files().AddFile(kInf + "sub\\oem3.inf");
    machine.files().AddFile(kInf + "sub\\oem3.pnf");
    RunRemovalPlan(machine.platform(),
                   {DriverPackageItem(machine.platform(), (kInf + "sub\\oem3.inf").c_str())});
    EXPECT_TRUE(PackageCalls().empty());
    EXPECT_FALSE(Exists(kInf + "sub\\oem3.inf"));
    EXPECT_TRUE(Exists(kInf + "sub\\oem3.pnf"));
    EXPECT_TRUE(Exists(kInf + "oem3.inf"));
}

}  // namespace
}  // namespace drvsweep

namespace drvsweep {
namespace {

// From Vista on, a package Windows refused to uninstall stays staged in its driver store: the
// .inf is not deleted by hand (the store would install it again) and the item is still there,
// with Windows' error; when the store cannot be asked either, the same holds.
TEST_F(RemoveDriverPackageTest, AStagedPackageWindowsKeepsIsNeverDeletedByHand) {
    for (const bool storeAnswers : {true, false}) {
        SCOPED_TRACE(storeAnswers ? "the store knows the package" : "the store cannot be asked");
        machine.packages().SetRelease(SimRelease::Windows7, true);
        machine.faults().Add({"SetupUninstallOEMInfA", "", 5});
        if (!storeAnswers) {
            machine.faults().Add({"SetupGetInfDriverStoreLocationW", ""});
        }
        const RemovalOutcome outcome =
            RunRemovalPlan(machine.platform(),
                           {DriverPackageItem(machine.platform(), (kInf + "oem3.inf").c_str())});
        ASSERT_EQ(outcome.items.size(), 1u);
        EXPECT_EQ(outcome.items[0].outcome, ItemOutcome::StillThere);
        EXPECT_EQ(outcome.items[0].windowsError, 5u);
        EXPECT_TRUE(Exists(kInf + "oem3.inf"));
        EXPECT_TRUE(Exists(kInf + "oem3.pnf"));
        EXPECT_TRUE(machine.PendingDeletions().empty());
        machine.faults() = sim::SimFaults();
    }
}

}  // namespace
}  // namespace drvsweep
