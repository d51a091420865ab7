// Console report of what discovery finds on this machine: the scanner table, row by row.
// It serves the demo until the main window exists, and lets a technician see what a removal
// would work from without changing anything.
#include <cstdio>

#include "discovery/scanner_table.h"
#include "platform/win32/win32_windows.h"

namespace {

drvsweep::ScannerTable table;

const char* BusName(std::int32_t busKind) {
    return busKind == drvsweep::kBusUsb ? "USB" : busKind == drvsweep::kBusPcCard ? "PC Card" : "?";
}

}  // namespace

int main() {
    drvsweep::win32::Win32Windows windows;
    drvsweep::ScanInstalledScanners(windows.platform(), table);
    std::printf("Quorin scanners found: %d\n", table.lastIndex + 1);
    for (int i = 0; i <= table.lastIndex; ++i) {
        const drvsweep::ScannerRecord& row = table.rows[i];
        std::printf("\n%d. %s (%s)\n", i + 1, row.description.c_str(), BusName(row.busKind));
        std::printf("   device path:   %s\n", row.devicePath.c_str());
        std::printf("   INF file:      %s\n",
                    row.infPath.empty() ? "(none found)" : row.infPath.c_str());
        std::printf("   TWAIN folder:  %s\n", row.twainFolder.c_str());
        std::printf("   driver DLL:    %s\n", row.driverDll.c_str());
        std::printf("   kernel driver: %s\n", row.kernelDriver.c_str());
    }
    return 0;
}
