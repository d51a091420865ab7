#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "discovery/scanner_table.h"
#include "removal/removal_plan.h"
#include "tests/support/table_dump.h"
#include "tests/support/test_machine.h"

// The plan of every scanner of a machine of today's driver packages, over the simulated Windows
// and over the real one under Wine alike: every package of each scanner with its own files, a
// file named by two packages once, and the packages another maker's device uses kept.
namespace drvsweep {
namespace {

using testing::CurrentScenario;
using testing::FixturePath;
using testing::OpenScenarioMachine;
using testing::ReadTextFile;

std::string DumpPlans(Platform& platform, const ScannerTable& table) {
    std::string dump;
    for (std::int32_t row = 0; row <= table.lastIndex; ++row) {
        const ScannerRecord& scanner = table.rows[row];
        const RemovalPlan plan = PlanBuiltInRemoval(platform, scanner);
        dump += std::string("scanner ") + scanner.devicePath.c_str() + "\n";
        for (const PlanItem& item : plan.items) {
            dump += std::string("  ") + PlanItemKindName(item.kind) + " " + item.path.c_str();
            if (item.kind == PlanItemKind::DriverPackage) {
                dump += std::string(" ") + item.package.infName.c_str() + " " +
                        item.package.pnfPath.c_str();
            }
            dump += "\n";
        }
        for (const KeptPackage& package : plan.kept) {
            dump += std::string("  kept ") + package.infPath.c_str() + " " +
                    package.usedBy.c_str() + "\n";
        }
        for (const KeptFile& file : plan.keptFiles) {
            dump += std::string("  keptFile ") + file.path.c_str() + ": " + file.reason + "\n";
        }
    }
    return dump;
}

// Paths compared as Windows compares them: the system names its 32-bit system folder SysWOW64,
// Wine syswow64.
std::string Folded(std::string text) {
    for (char& c : text) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return text;
}

TEST(RemovalPlanContract, EveryScannersPlanIsTheScenariosPlan) {
    const std::string expected =
        ReadTextFile(FixturePath(CurrentScenario() + "/expected_plan.txt"));
    ASSERT_FALSE(expected.empty()) << "no expected plan for scenario " << CurrentScenario();
    std::unique_ptr<testing::TestMachine> machine = OpenScenarioMachine();
    Platform& platform = machine->platform();
    static ScannerTable table;
    ScanInstalledScanners(platform, table);
    const std::string plans = DumpPlans(platform, table);
    // A golden file is written afresh on request, for a change of the rules to be reviewed as
    // its diff.
    if (std::getenv("DRVSWEEP_REWRITE_PLANS") != nullptr) {
        std::ofstream(FixturePath(CurrentScenario() + "/expected_plan.txt"), std::ios::binary)
            << plans;
    }
    EXPECT_EQ(Folded(plans), Folded(expected));
}

}  // namespace
}  // namespace drvsweep
