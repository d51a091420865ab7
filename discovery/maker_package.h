#pragma once

#include <vector>

#include "platform/fixed_text.h"

namespace drvsweep {

// A hardware ID of the maker (one that holds "VID_0C6E", "RDN-CQ-D41E" or "QUORIN" once
// upper-cased) listed by a models line, with that model's description: the line's key with its
// strings substituted, empty when the line has none that fits 260 bytes.
struct MakerModel {
    PathText hardwareId;  // as the INF writes it
    PathText description;
};

// An INF of the folder whose models sections list hardware IDs of the maker.
struct MakerPackage {
    PathText infPath;
    std::vector<MakerModel> models;  // in the INF's order, each hardware ID once (case ignored)
};

}  // namespace drvsweep
