#include "tests/support/table_dump.h"

#include <fstream>
#include <sstream>

namespace drvsweep::testing {

std::string DumpScannerTable(const ScannerTable& table) {
    std::ostringstream out;
    out << "lastIndex " << table.lastIndex << "\n";
    for (int i = 0; i <= table.lastIndex && i < kScannerRows; ++i) {
        const ScannerRecord& row = table.rows[i];
        out << "row " << i << "\n"
            << "  busKind " << static_cast<int>(row.busKind) << "\n"
            << "  devicePath \"" << row.devicePath.c_str() << "\"\n"
            << "  description \"" << row.description.c_str() << "\"\n"
            << "  twainFolder \"" << row.twainFolder.c_str() << "\"\n"
            << "  driverDll \"" << row.driverDll.c_str() << "\"\n"
            << "  infPath \"" << row.infPath.c_str() << "\"\n"
            << "  kernelDriver \"" << row.kernelDriver.c_str() << "\"\n";
        // Only rows of driver packages without a device say so, so that every table of a
        // machine without one reads as before.
        if (row.packageOnly) {
            out << "  packageOnly 1\n";
        }
    }
    return out.str();
}

std::string ReadTextFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

}  // namespace drvsweep::testing
