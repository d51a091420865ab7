#include "platform/iso_time.h"

#include <cstdio>

namespace drvsweep {

std::string IsoTimeText(const UtcTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return text;
}

}  // namespace drvsweep
