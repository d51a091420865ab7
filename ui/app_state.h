#pragma once

#include <cstdint>

#include "discovery/scanner_table.h"
#include "removal/scanner_removal.h"
#include "ui/interface_strings.h"

namespace drvsweep {

// selectedIndex before the first uninstall command.
constexpr std::int32_t kNoCommandYet = 1000;

// The process-wide state of one run: what discovery found, the interface texts with the chosen
// language, the list index of the last uninstall command and what its removal left. The program
// owns one instance with static lifetime (it is too large for a stack) and hands it to the main
// window by reference; tests build their own.
struct AppState {
    ScannerTable table;
    InterfaceStrings strings;
    std::int32_t selectedIndex = kNoCommandYet;
    // The result of the last built-in removal the window ran, empty before the first.
    ScannerRemovalResult lastRemoval;
};

}  // namespace drvsweep
