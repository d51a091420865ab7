#pragma once

namespace drvsweep {

// What became of one item of a removal once the removal acted on it, from best to worst.
enum class ItemOutcome {
    Deleted,           // gone now
    DeletedAtRestart,  // Windows deletes it, or finishes removing it, when the computer restarts
    StillThere,        // still there, and nothing is set to take it
};

}  // namespace drvsweep
