#include "discovery/scanner_table.h"

#include <algorithm>

#include "discovery/bus_scan.h"
#include "discovery/inf_index.h"
#include "discovery/package_rows.h"

namespace drvsweep {

void ClearScannerRow(ScannerRecord& row) {
    row = ScannerRecord{};
}

void ScanInstalledScanners(Platform& platform, ScannerTable& table) {
    InfIndex index(platform);
    ScanInstalledScanners(platform, table, index);
}

void ScanInstalledScanners(Platform& platform, ScannerTable& table, DriverInfLookup& lookup) {
    for (ScannerRecord& row : table.rows) {
        ClearScannerRow(row);
    }
    table.lastIndex = -1;
    ScanUsbScanners(platform, table, lookup);
    ScanPcCardScanners(platform, table, lookup);
    AddPackagesWithoutDevice(platform, table, lookup);
}

int RemoveScannerRow(ScannerTable& table, std::int32_t index) {
    if (index < 0 || index > table.lastIndex || index >= kScannerRows) {
        return 0;
    }
    std::copy(table.rows + index + 1, table.rows + kScannerRows, table.rows + index);
    --table.lastIndex;
    return 1;
}

}  // namespace drvsweep
