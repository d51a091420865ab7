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

// What an INF's [DestinationDirs] says of the scanner's TWAIN data source.
enum class TwainFolderRead {
    kFolder,       // a folder the removal may safely delete
    kNoTwainLine,  // no line names twain_32: a driver without a TWAIN data source (WIA only)
    kRefused,      // the INF did not open, or its TWAIN line names no safe folder
};

// An INF of the folder whose models sections list hardware IDs of the maker.
struct MakerPackage {
    PathText infPath;
    std::vector<MakerModel> models;  // in the INF's order, each hardware ID once (case ignored)
    // Its TWAIN data source folder (ReadTwainFolder), read while the INF was open for its
    // models, so that no scanner's INF is opened a second time.
    TwainFolderRead twain = TwainFolderRead::kRefused;
    PathText twainFolder;  // set on kFolder only
};

}  // namespace drvsweep
