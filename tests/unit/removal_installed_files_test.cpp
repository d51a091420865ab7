#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "discovery/scanner_table.h"
#include "platform/sim/sim_scenario.h"
#include "platform/sim/sim_windows.h"
#include "removal/file_keeper.h"
#include "removal/removal_plan.h"
#include "removal/removal_walk.h"
#include "tests/support/test_machine.h"

// What a package installed, read from the install section Windows used, on a machine of real
// package shapes (scenario installed_files_x64): which files and folders the plan takes, which
// it keeps and why, and what a whole removal of every scanner leaves.
namespace drvsweep {
namespace {

constexpr char kS41[] = "USB\\VID_0C6E&PID_0410";
constexpr char kSm24[] = "USB\\VID_0C6E&PID_0240";
constexpr char kS61[] = "USB\\VID_0C6E&PID_0610";
const std::string kWindows = "C:\\windows\\";

class InstalledFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(
            sim::LoadScenario(testing::FixturePath("installed_files_x64"), &machine, &error))
            << error;
        Scan();
    }

    void Scan() {
        table = std::make_unique<ScannerTable>();
        ScanInstalledScanners(machine.platform(), *table);
    }

    const ScannerRecord& Row(const char* devicePath) const {
        for (std::int32_t i = 0; i <= table->lastIndex; ++i) {
            if (std::string(table->rows[i].devicePath.c_str()) == devicePath) {
                return table->rows[i];
            }
        }
        ADD_FAILURE() << "no row " << devicePath;
        return table->rows[0];
    }

    RemovalPlan Plan(const char* devicePath) {
        return PlanBuiltInRemoval(machine.platform(), Row(devicePath));
    }

    static bool Plans(const RemovalPlan& plan, const std::string& path) {
        return std::any_of(plan.items.begin(), plan.items.end(),
                           [&](const PlanItem& item) { return item.path.c_str() == path; });
    }

    static std::string KeptReason(const RemovalPlan& plan, const std::string& path) {
        for (const KeptFile& file : plan.keptFiles) {
            if (file.path.c_str() == path) {
                return file.reason;
            }
        }
        return "(not kept)";
    }

    // Adds a line to a section of an ANSI INF of the fixture.
    void AddInfLine(const std::string& inf, const std::string& section, const std::string& line) {
        std::string text;
        ASSERT_TRUE(machine.files().ReadFile(kWindows + "inf\\" + inf, &text));
        const std::size_t at = text.find("[" + section + "]\r\n");
        ASSERT_NE(at, std::string::npos) << section;
        text.insert(at + section.size() + 4, line + "\r\n");
        ASSERT_TRUE(machine.files().AddFile(kWindows + "inf\\" + inf, text));
    }

    sim::SimWindows machine;
    std::unique_ptr<ScannerTable> table;
};

// A name or destination that could reach another file is refused and named, never planned:
// a climbing name, an 8.3 alias, a climbing subfolder, and a folder that is no driver folder
// (the program files, DIRID 16422).
TEST_F(InstalledFilesTest, NamesAndDestinationsThatCouldReachElsewhereAreRefused) {
    AddInfLine("oem61.inf", "S61_Files", "..\\explorer.exe");
    AddInfLine("oem61.inf", "S61_Files", "QRN61U~1.DLL");
    AddInfLine("oem61.inf", "DestinationDirs", "S61_Up=10,\"twain_32\\..\\system32\"");
    AddInfLine("oem61.inf", "DestinationDirs", "S61_Apps=16422,Quorin");
    AddInfLine("oem61.inf", "S61_Install.NT", "CopyFiles=S61_Up,S61_Apps");
    std::string text;
    ASSERT_TRUE(machine.files().ReadFile(kWindows + "inf\\oem61.inf", &text));
    text += "[S61_Up]\r\nkernel32.dll\r\n[S61_Apps]\r\nqrn61app.exe\r\n";
    ASSERT_TRUE(machine.files().AddFile(kWindows + "inf\\oem61.inf", text));
    const RemovalPlan plan = Plan(kS61);
    EXPECT_EQ(KeptReason(plan, "..\\explorer.exe"), "not a plain file name");
    EXPECT_EQ(KeptReason(plan, "QRN61U~1.DLL"), "not a plain file name");
    EXPECT_EQ(KeptReason(plan, "kernel32.dll"),
              "its destination subfolder is not a plain folder name");
    EXPECT_EQ(KeptReason(plan, "qrn61app.exe"), "its destination is not a driver folder");
    EXPECT_TRUE(Plans(plan, kWindows + "system32\\qrn61usd.dll"));
}

// A file stays, with its reason, when another INF lists it (also one in UTF-16), SharedDLLs
// counts it, Windows protects it, or Microsoft made it; an INF that cannot be read keeps them all.
TEST_F(InstalledFilesTest, AFileOthersMayNeedStaysWithItsReason) {
    const std::string ui = kWindows + "system32\\qrns41ui.dll";
    const std::string t6 = kWindows + "system32\\qrns41t6.dll";
    const std::string wia = kWindows + "system32\\qrns41.dll";
    const std::string tw = kWindows + "SysWOW64\\qrns41tw.dll";
    // Another maker's package, in UTF-16LE with a BOM, that copies a file of the same name.
    std::string utf16 = "\xFF\xFE";
    for (const char c : std::string("[Version]\r\nSignature=\"$Windows NT$\"\r\n[Acme.Files]\r\n"
                                    "QRNS41UI.DLL\r\n")) {
        utf16 += c;
        utf16 += '\0';
    }
    ASSERT_TRUE(machine.files().AddFile(kWindows + "inf\\oem77.inf", utf16));
    machine.registry().CreateKey("Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs");
    EXPECT_EQ(KeptReason(Plan(kS41), ui), "listed by oem77.inf");
    ASSERT_TRUE(machine.files().Erase(kWindows + "inf\\oem77.inf"));

    machine.registry().SetValue("Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", ui, 4,
                                std::string("\x02\0\0\0", 4));
    machine.fileFacts().Protect(t6);
    machine.fileFacts().SetCompany(wia, "Microsoft Corporation");
    machine.fileFacts().SetCompany(tw, "Quorin Imaging");
    const RemovalPlan plan = Plan(kS41);
    EXPECT_EQ(KeptReason(plan, ui), "SharedDLLs counts it");
    EXPECT_EQ(KeptReason(plan, t6), "Windows protects it");
    EXPECT_EQ(KeptReason(plan, wia), "a Windows file (Microsoft Corporation)");
    EXPECT_TRUE(Plans(plan, tw));
    // The COM class goes only with a server file the removal deletes.
    EXPECT_FALSE(Plans(plan, "Software\\Classes\\CLSID\\{5A1B0E3C-7F2D-4E8B-9C41-0A6E5D3B2F71}"));

    machine.faults().Add({"ReadFile", "oem24.inf"});
    EXPECT_EQ(KeptReason(Plan(kS41), tw), "another INF may list it: oem24.inf cannot be read");
}

// A data source folder holding a link stays with the link; the link's target is never entered.
TEST_F(InstalledFilesTest, ALinkInADataSourceFolderKeepsIt) {
    const std::string folder = kWindows + "twain_32\\Quorin\\SM24";
    ASSERT_TRUE(machine.files().AddFolder(folder + "\\Shared", kFileAttributeDirectory | 0x400));
    const RemovalPlan plan = Plan(kSm24);
    EXPECT_FALSE(Plans(plan, folder));
    EXPECT_EQ(KeptReason(plan, folder + "\\Shared"), "a link, never followed");
    EXPECT_TRUE(Plans(plan, kWindows + "system32\\qrnsm24m.dll"));
}

// Every scanner removed in turn, as /remove all does: what its packages installed is gone, and
// what is left is exactly what others install or Windows owns, the DelFiles target of an older
// driver, the maker's folder that still holds it, and the other maker's files.
TEST_F(InstalledFilesTest, RemovingEveryScannerLeavesOnlyWhatOthersNeed) {
    const std::int32_t rows = table->lastIndex + 1;
    for (std::int32_t i = 0; i < rows; ++i) {
        const ScannerRecord row = table->rows[i];
        const RemovalPlan plan = PlanBuiltInRemoval(machine.platform(), row);
        const RemovalOutcome outcome = RunRemovalPlan(machine.platform(), plan.items);
        for (const ItemResult& result : outcome.items) {
            EXPECT_EQ(result.outcome, ItemOutcome::Deleted) << result.item.path.c_str();
        }
    }
    std::vector<std::string> left;
    machine.files().VisitEntries(
        [&](const std::string& path, bool folder, std::uint32_t, std::size_t, bool) {
            if (!folder && path.find("\\inf\\") == std::string::npos) {
                left.push_back(path);
            }
        });
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{
                        kWindows + "system32\\DriverStore\\FileRepository\\qrnds9.inf_amd64_8c2e\\"
                                   "qrnds9.dll",
                        kWindows + "system32\\acmeflat.dll",
                        kWindows + "system32\\msvcr71.dll",
                        kWindows + "system32\\twaindsm.dll",
                        kWindows + "twain_32\\Acme\\acmeflat.ds",
                        kWindows + "twain_32\\Quorin\\SM20\\qrnsm20.ds",
                    }));
    EXPECT_FALSE(machine.registry().KeyExists(
        "Software\\Classes\\CLSID\\{5A1B0E3C-7F2D-4E8B-9C41-0A6E5D3B2F71}"));
    EXPECT_FALSE(machine.files().Exists(kWindows + "twain_64\\Quorin"));
    EXPECT_TRUE(machine.files().Exists(kWindows + "twain_64"));
    Scan();
    EXPECT_EQ(table->lastIndex, -1);
}

}  // namespace
}  // namespace drvsweep
