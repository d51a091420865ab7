#pragma once

#include <cstdint>
#include <vector>

#include "platform/fixed_text.h"
#include "removal/item_outcome.h"
#include "removal/plan_item.h"

namespace drvsweep {

// One item of a plan after the removal: the item, what became of it, and the paths of it that
// the probe found there afterwards (a driver package's .inf and .pnf apart).
struct ItemResult {
    PlanItem item;
    ItemOutcome outcome = ItemOutcome::StillThere;
    std::vector<PathText> pathsThere;
    // For an item still there, the error of the Windows call that would have removed it (a
    // driver package's uninstall calls); 0 when there was none.
    std::uint32_t windowsError = 0;
};

// Why the computer must restart before a removal is complete.
enum class RestartReason {
    None,
    // Windows said it finishes removing a device or a driver package then, or the 9x family
    // keeps a device it removed loaded until then
    Device,
    FilesInUse,      // files held open were set to go then
    DeviceAndFiles,  // both
};

// The outcome of one removal: one result per plan item, in plan order, and what is left to
// the restart.
struct RemovalOutcome {
    std::vector<ItemResult> items;
    // Windows said that the removal of a device or of a driver package finishes at the restart
    // (a device's install parameters after DIF_REMOVE, DiUninstallDriverW's NeedReboot).
    bool windowsFinishesAtRestart = false;
    // Some path of an item, held open, was set to go when the computer restarts, now or by an
    // earlier run.
    bool filesAtRestart = false;
    // The 9x family took a device out of the registry; it stays loaded until the restart.
    bool deviceLoadedUntilRestart = false;

    RestartReason restartReason() const {
        if (windowsFinishesAtRestart || deviceLoadedUntilRestart) {
            return filesAtRestart ? RestartReason::DeviceAndFiles : RestartReason::Device;
        }
        return filesAtRestart ? RestartReason::FilesInUse : RestartReason::None;
    }
};

}  // namespace drvsweep
