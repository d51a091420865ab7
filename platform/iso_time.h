#pragma once

#include <string>

#include "platform/clock.h"

namespace drvsweep {

// The moment as ISO 8601 in UTC to the second, "2026-12-08T23:05:09Z": how reports, logs and
// backups name a time.
std::string IsoTimeText(const UtcTime& time);

}  // namespace drvsweep
