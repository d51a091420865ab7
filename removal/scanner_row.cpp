#include "removal/scanner_row.h"

#include "platform/multibyte_text.h"

namespace drvsweep {

std::int32_t FindScannerRow(const CodePage& codePage, const ScannerTable& table,
                            const char* devicePath) {
    for (std::int32_t i = 0; i <= table.lastIndex && i < kScannerRows; ++i) {
        if (EqualsIgnoringCase(codePage, table.rows[i].devicePath.c_str(), devicePath)) {
            return i;
        }
    }
    return -1;
}

}  // namespace drvsweep
