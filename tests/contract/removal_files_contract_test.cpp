#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "discovery/scanner_table.h"
#include "platform/win32_codes.h"
#include "platform/working_folder.h"
#include "removal/folder_tree.h"
#include "removal/one_file.h"
#include "removal/plan_steps.h"
#include "removal/removal_walk.h"
#include "tests/support/test_machine.h"

// Driver file removal over the simulated Windows and over the real one under Wine alike, on the
// scenarios removal_files_nt and removal_files_9x. A 32-bit program on Wine's 64-bit Windows
// finds syswow64 where it names system32; the runner seeds the scenario's system32 there for it.
namespace drvsweep {
namespace {

const std::string kWindows = "C:\\windows";
const std::string kTwain = "C:\\windows\\twain_32\\";

// One test, because under Wine the tests of one run share the prefix and this one changes it.
TEST(RemovalFilesContract, DeletesTheScannersFilesAndNothingBeside) {
    std::unique_ptr<testing::TestMachine> machine = testing::OpenScenarioMachine();
    Platform& platform = machine->platform();
    FileSystem& files = platform.files;
    const auto exists = [&files](const std::string& path) {
        FoundFile found;
        return files.FindFirst(path.c_str(), &found) != nullptr;
    };
    SavedWorkingFolder saved(files);
    ASSERT_TRUE(saved.saved());
    const std::string workingFolder = kTwain + "AcmeScan";
    ASSERT_TRUE(files.SetCurrentFolder(workingFolder.c_str()));
    const std::uint32_t readOnlyHidden = kFileAttributeReadOnly | kFileAttributeHidden;
    ASSERT_TRUE(files.SetAttributes((kTwain + "QuorinK5210\\readme.txt").c_str(), readOnlyHidden));
    ASSERT_TRUE(files.SetAttributes((kWindows + "\\inf\\oem3.inf").c_str(), readOnlyHidden));

    RunRemovalPlan(platform, DriverFileItems(platform, "QuorinK5210.dll", BusKind::PcCard));
    DeleteOneFile(files, (kWindows + "\\inf\\oem3.inf").c_str());
    for (const char* twainFolder : {"QuorinK5210", "Maker\\Model", "", "..", "AcmeScan\\..",
                                    "C:\\windows\\twain_32\\AcmeScan", "\\AcmeScan"}) {
        RunRemovalPlan(platform, DataSourceItems(platform, twainFolder));
    }
    // A folder that cannot be entered must not be emptied through the working directory.
    DeleteTree(files, CodePage(), (kTwain + "Missing").c_str());
    char folder[260] = {};
    files.CurrentFolder(folder, sizeof folder);
    EXPECT_EQ(folder, workingFolder) << "every level puts the working directory back";

    const bool nt = CurrentFamily(platform.version) == Family::Nt;
    const struct {
        std::string path;
        bool left;
    } kEntries[] = {
        {kWindows + "\\system32\\QuorinK5210.dll", false},
        {kWindows + "\\system32\\drivers\\QuorinK5210.dll", false},
        {kWindows + "\\system\\QuorinK5210.dll", false},
        {kWindows + "\\system32\\Orbdrv.vxd", false},
        {kWindows + "\\system\\Orbdrv.vxd", false},
        {kWindows + "\\system32\\drivers\\Orbdrv.sys", !nt},
        {kWindows + "\\system32\\AcmeScan.dll", true},
        {kWindows + "\\inf\\oem3.inf", false},
        {kTwain + "QuorinK5210", false},
        {kTwain + "Maker\\Model", false},
        {kTwain + "Maker\\Other.ds", true},
        {kTwain + "AcmeScan\\AcmeScan.ds", true},
    };
    for (const auto& entry : kEntries) {
        EXPECT_EQ(exists(entry.path), entry.left) << entry.path;
    }
}

}  // namespace
}  // namespace drvsweep
