#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "discovery/scanner_table.h"
#include "tests/support/table_dump.h"
#include "tests/support/test_machine.h"

namespace drvsweep {
namespace {

using testing::CurrentScenario;
using testing::DumpScannerTable;
using testing::FixturePath;
using testing::OpenScenarioMachine;
using testing::ReadTextFile;

std::string WorkingFolder(Platform& platform) {
    PathText folder;
    platform.files.CurrentFolder(folder.data(), kMaxPath);
    return folder.c_str();
}

// The scenario's machine yields exactly the table its expected_table.txt holds, over the
// simulated Windows and over the real one under Wine alike, and a second scan yields it again.
TEST(ScannerTableContract, ScanYieldsTheScenariosTable) {
    const std::string expected =
        ReadTextFile(FixturePath(CurrentScenario() + "/expected_table.txt"));
    ASSERT_FALSE(expected.empty()) << "no expected table for scenario " << CurrentScenario();
    std::unique_ptr<testing::TestMachine> machine = OpenScenarioMachine();
    Platform& platform = machine->platform();
    const std::string folderBefore = WorkingFolder(platform);

    static ScannerTable table;
    ScanInstalledScanners(platform, table);
    EXPECT_EQ(DumpScannerTable(table), expected);
    EXPECT_EQ(WorkingFolder(platform), folderBefore);

    if (table.lastIndex >= 0) {
        RemoveScannerRow(table, 0);
    }
    ScanInstalledScanners(platform, table);
    EXPECT_EQ(DumpScannerTable(table), expected);
}

// The scan's one pass over the INF folder gives the table that a search per device gives,
// over the real Setup API as over the simulated one.
TEST(ScannerTableContract, TheOnePassIndexGivesTheUncachedTable) {
    std::unique_ptr<testing::TestMachine> machine = OpenScenarioMachine();
    Platform& platform = machine->platform();
    static ScannerTable table;
    UncachedInfLookup uncached(platform);
    ScanInstalledScanners(platform, table, uncached);
    const std::string expected = DumpScannerTable(table);
    ScanInstalledScanners(platform, table);
    EXPECT_EQ(DumpScannerTable(table), expected);
}

}  // namespace
}  // namespace drvsweep
