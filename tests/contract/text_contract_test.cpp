#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "discovery/scanner_table.h"
#include "removal/plan_steps.h"
#include "removal/removal_walk.h"
#include "tests/support/test_machine.h"

// ANSI text in code page 950 over the simulated Windows and over the real one under Wine alike,
// on the scenario contract_text_zh_tw: Big5 功 (A5 5C) and 許 (B3 5C) end in a byte that looks
// like a backslash.
namespace drvsweep {
namespace {

const std::string kTwain = "C:\\windows\\twain_32\\";
const std::string kGong = "\xa5\x5c";

TEST(TextContract, TheCodePageAndItsLeadBytesFollowTheLanguage) {
    std::unique_ptr<testing::TestMachine> machine = testing::OpenScenarioMachine();
    const CodePage codePage = machine->platform().version.AnsiCodePage();
    EXPECT_EQ(codePage.id(), 950u);
    for (unsigned byte = 0; byte < 256; ++byte) {
        EXPECT_EQ(codePage.IsLeadByte(static_cast<unsigned char>(byte)),
                  byte >= 0x81 && byte <= 0xFE)
            << byte;
    }
}

// One test, because under Wine the tests of one run share the prefix and this one changes it.
TEST(TextContract, AScannerWhoseTwainFolderEndsIn5CIsFoundAndRemovedAlone) {
    std::unique_ptr<testing::TestMachine> machine = testing::OpenScenarioMachine();
    Platform& platform = machine->platform();
    const auto table = std::make_unique<ScannerTable>();
    ScanInstalledScanners(platform, *table);
    ASSERT_EQ(table->lastIndex, 0);
    const ScannerRecord& row = table->rows[0];
    EXPECT_STREQ(row.infPath.c_str(), "C:\\windows\\inf\\oem1.inf");
    EXPECT_EQ(row.twainFolder.c_str(), "Maker\\" + kGong);
    EXPECT_EQ(row.driverDll.c_str(), "Maker\\" + kGong + ".dll");

    RunRemovalPlan(platform, DataSourceItems(platform, row.twainFolder.c_str()));
    const auto exists = [&platform](const std::string& path) {
        FoundFile found;
        return platform.files.FindFirst(path.c_str(), &found) != nullptr;
    };
    const struct {
        std::string path;
        bool left;
    } kEntries[] = {
        {kTwain + "Maker\\" + kGong, false},
        {kTwain + "Maker\\Other\\Other.ds", true},
        {kTwain + "AcmeScan\\AcmeScan.ds", true},
    };
    for (const auto& entry : kEntries) {
        EXPECT_EQ(exists(entry.path), entry.left) << entry.path;
    }
}

}  // namespace
}  // namespace drvsweep
