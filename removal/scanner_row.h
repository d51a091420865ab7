#pragma once

#include <cstdint>

#include "discovery/scanner_table.h"
#include "platform/multibyte_text.h"

namespace drvsweep {

// The row that holds the scanner with this devicePath, or -1 when none does. Device IDs are
// compared as Windows compares them, ASCII letters case-insensitively (EqualsIgnoringCase in
// the ANSI code page): the rows of one scan come from registry keys, whose names never differ
// in case alone.
std::int32_t FindScannerRow(const CodePage& codePage, const ScannerTable& table,
                            const char* devicePath);

}  // namespace drvsweep
