#pragma once

#include <vector>

#include "platform/fixed_text.h"
#include "removal/removal_plan.h"

namespace drvsweep {

// What became of one item of a built-in removal once the removal acted on it.
enum class ItemOutcome {
    Deleted,           // gone now
    DeletedAtRestart,  // Windows deletes it, or finishes removing it, when the computer restarts
    StillThere,        // still there, and nothing is set to take it
};

// One item of a plan after the walk: the item, what became of it, and, for an item still
// there, the paths of it that the probe found (a driver package's .inf and .pnf apart).
struct ItemResult {
    PlanItem item;
    ItemOutcome outcome = ItemOutcome::StillThere;
    std::vector<PathText> pathsThere;
};

// The outcome of one walk: one result per plan item, in plan order, and whether Windows asked
// for a restart to finish a device removal or a package uninstall.
struct RemovalOutcome {
    std::vector<ItemResult> items;
    bool restartRequested = false;
};

// Whether some item of the removal goes only when the computer restarts.
inline bool FinishesAtRestart(const RemovalOutcome& outcome) {
    for (const ItemResult& result : outcome.items) {
        if (result.outcome == ItemOutcome::DeletedAtRestart) {
            return true;
        }
    }
    return false;
}

}  // namespace drvsweep
