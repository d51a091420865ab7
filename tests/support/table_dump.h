#pragma once

#include <string>

#include "discovery/scanner_table.h"

namespace drvsweep::testing {

// Rows 0 to lastIndex in the text form of the scenarios' expected_table.txt files.
std::string DumpScannerTable(const ScannerTable& table);

// The whole content of a text file, or empty when it cannot be read.
std::string ReadTextFile(const std::string& path);

}  // namespace drvsweep::testing
