#include "fuzz/scan_comparison.h"

#include <cstdint>
#include <memory>
#include <string>

#include "discovery/inf_index.h"
#include "discovery/scanner_table.h"
#include "fuzz/removal_oracle.h"
#include "removal/removal_plan.h"

namespace drvsweep::fuzz {

namespace {

std::string DescribeRow(const ScannerRecord& row) {
    return std::to_string(static_cast<int>(row.busKind)) + " " + row.devicePath.c_str() + " | " +
           row.description.c_str() + " | " + row.twainFolder.c_str() + " | " +
           row.driverDll.c_str() + " | " + row.infPath.c_str() + " | " + row.kernelDriver.c_str() +
           (row.packageOnly ? " | package only" : "") + "\n";
}

std::string DescribePlan(const RemovalPlan& plan) {
    std::string text;
    for (const PlanItem& item : plan.items) {
        text += std::string("    ") + PlanItemKindName(item.kind) + " " + item.path.c_str() + " " +
                item.package.infName.c_str() + " " + item.package.pnfPath.c_str() + " " +
                item.dataSourceFile.c_str() + "\n";
    }
    for (const KeptPackage& package : plan.kept) {
        text += std::string("    kept ") + package.infPath.c_str() + " " + package.usedBy.c_str() +
                "\n";
    }
    return text;
}

// The table's rows and flags and every row's plan over one index of the given reading.
std::string ScanAndPlans(Platform& platform, InfIndex::Reading reading) {
    static const auto table = std::make_unique<ScannerTable>();
    InfIndex index(platform, reading);
    ScanInstalledScanners(platform, *table, index);
    std::string text = std::string(table->usbIncomplete ? "USB incomplete\n" : "") +
                       (table->pcCardIncomplete ? "PC Card incomplete\n" : "");
    RemovalPlanner planner(platform, index);
    for (std::int32_t i = 0; i <= table->lastIndex; ++i) {
        text += "  " + DescribeRow(table->rows[i]) + DescribePlan(planner.Plan(table->rows[i]));
    }
    return text;
}

}  // namespace

void CheckFilteredScan(FuzzMachine& machine) {
    const sim::SimFaults faults = machine.windows.faults();
    machine.windows.faults().Clear();
    Platform& platform = machine.windows.platform();
    const std::string every = ScanAndPlans(platform, InfIndex::Reading::kEveryInf);
    const std::string makers = ScanAndPlans(platform, InfIndex::Reading::kMakersInfs);
    machine.windows.faults() = faults;
    if (makers != every) {
        ReportBreach("the scan over the INF files that may name the maker",
                     "  it gave\n" + makers + "  where the pass over every INF gives\n" + every,
                     nullptr);
    }
}

}  // namespace drvsweep::fuzz
