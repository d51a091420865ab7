#include "removal/scanner_row.h"

#include "platform/ascii_case.h"

namespace drvsweep {

std::int32_t FindScannerRow(const ScannerTable& table, const char* devicePath) {
    for (std::int32_t i = 0; i <= table.lastIndex && i < kScannerRows; ++i) {
        if (EqualsIgnoringAsciiCase(table.rows[i].devicePath.c_str(), devicePath)) {
            return i;
        }
    }
    return -1;
}

}  // namespace drvsweep
