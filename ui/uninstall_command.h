#pragma once

#include <cstdint>

#include "discovery/scanner_table.h"
#include "platform/platform.h"

namespace drvsweep {

// The poll timer's period while a scanner's own uninstaller runs.
constexpr std::uint32_t kPollPeriodMs = 2000;

}  // namespace drvsweep
