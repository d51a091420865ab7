#include "removal/removal_walk.h"

#include <memory>

#include "platform/restart_deletion.h"
#include "platform/text_reads.h"
#include "platform/win32_codes.h"
#include "removal/delete_at_restart.h"
#include "removal/device_nodes_nt.h"
#include "removal/driver_package.h"
#include "removal/item_probe.h"
#include "removal/one_file.h"

namespace drvsweep {

namespace {

// What an action left to the restart: whether Windows said it finishes the item then, the
// paths of the item it asked Windows to delete then, and whether it set any file to go then
// (a data source folder may set files inside it and stay itself).
struct LeftToRestart {
    bool windowsFinishes = false;
    std::vector<PathText> scheduled;
    bool filesScheduled = false;
    std::uint32_t windowsError = 0;
};

// A file of the item that stays after the one-file step is scheduled for the restart.
void DeleteFileOfItem(Platform& platform, const PathText& path, LeftToRestart* left) {
    if (DeleteFileOrAtRestart(platform, path.c_str()) == ItemOutcome::DeletedAtRestart) {
        left->scheduled.push_back(path);
        left->filesScheduled = true;
    }
}

// Deletes the key's subkeys, deepest first, then the key: the NT family deletes no key that
// still has subkeys. Only what lies below the given key is touched.
void DeleteKeyTree(Registry& registry, const PathText& path, RegistryView view) {
    std::unique_ptr<RegistryKey> key;
    if (registry.OpenKeyInView(path.c_str(), kKeyRead, view, &key) == kErrorSuccess) {
        std::vector<PathText> subkeys;
        PathText name;
        for (unsigned index = 0; EnumSubkeyName(*key, index, &name) == kErrorSuccess; ++index) {
            PathText subkey;
            if (subkey.appendAll(path, "\\", name)) {
                subkeys.push_back(subkey);
            }
        }
        key.reset();
        for (const PathText& subkey : subkeys) {
            DeleteKeyTree(registry, subkey, view);
        }
    }
    registry.DeleteKeyInView(path.c_str(), view);
}

LeftToRestart Act(Platform& platform, const PlanItem& item) {
    LeftToRestart left;
    switch (item.kind) {
        case PlanItemKind::DeviceInstance:
            left.windowsFinishes = RemoveDeviceNodesNt(platform, item.path.c_str());
            break;
        case PlanItemKind::RegistryKey:
            platform.registry.DeleteKey(item.path.c_str());
            break;
        case PlanItemKind::DriverFile:
            DeleteFileOfItem(platform, item.path, &left);
            break;
        case PlanItemKind::DriverPackage: {
            const PackageRemoval removal =
                RemoveDriverPackage(platform, item.path.c_str(), item.package);
            left.windowsFinishes = removal.restartNeeded;
            left.windowsError = removal.windowsError;
            if (removal.stillStaged) {
                break;
            }
            // The uninstall calls and the one-file step have run: what stays of the .inf and
            // the .pnf is held open, and goes at the restart.
            for (const PathText& path : PlanItemPathsThere(platform, item)) {
                DeleteFileOfItem(platform, path, &left);
            }
            break;
        }
        case PlanItemKind::DataSourceFolder:
            if (!item.dataSourceFile.empty()) {
                DeleteOneFile(platform.files, item.dataSourceFile.c_str());
            }
            if (DeleteTreeOrAtRestart(platform, item.path.c_str(), &left.filesScheduled) ==
                ItemOutcome::DeletedAtRestart) {
                left.scheduled.push_back(item.path);
            }
            break;
        case PlanItemKind::EmptyFolder:
            platform.files.RemoveFolder(item.path.c_str());
            break;
        case PlanItemKind::ComClassKey:
            DeleteKeyTree(platform.registry, item.path, item.view);
            break;
    }
    return left;
}

// The item's paths there now when Windows is already set to delete every one of them at the
// restart (an earlier run scheduled them, or the maker's uninstaller did); empty otherwise.
std::vector<PathText> AllSetToGo(Platform& platform, const ScheduledDeletions& scheduled,
                                 const PlanItem& item) {
    std::vector<PathText> there = PlanItemPathsThere(platform, item);
    for (const PathText& path : there) {
        if (!scheduled.Holds(path.c_str())) {
            return {};
        }
    }
    return there;
}

bool IsAmong(const std::vector<PathText>& paths, const PathText& path) {
    for (const PathText& listed : paths) {
        if (listed == path) {
            return true;
        }
    }
    return false;
}

// The item's outcome from the probe and from what its action left to the restart.
ItemOutcome Settle(const ItemResult& probed, const LeftToRestart& left) {
    for (const PathText& path : probed.pathsThere) {
        if (!IsAmong(left.scheduled, path) && !left.windowsFinishes) {
            return ItemOutcome::StillThere;
        }
    }
    const bool leftToRestart = !probed.pathsThere.empty() || left.windowsFinishes;
    return leftToRestart ? ItemOutcome::DeletedAtRestart : ItemOutcome::Deleted;
}

// The probe of every item, each item left to the restart by `left` (by index) or by Windows'
// own list of deletions at the restart; the outcome says what is left to the restart.
RemovalOutcome Probe(Platform& platform, const std::vector<PlanItem>& plan,
                     const std::vector<LeftToRestart>& left) {
    const ScheduledDeletions scheduled(platform.registry, platform.files, platform.version);
    RemovalOutcome outcome;
    for (std::size_t i = 0; i < plan.size(); ++i) {
        ItemResult result;
        result.item = plan[i];
        result.pathsThere = PlanItemPathsThere(platform, plan[i]);
        LeftToRestart settled = i < left.size() ? left[i] : LeftToRestart();
        const std::vector<PathText> setToGo = AllSetToGo(platform, scheduled, plan[i]);
        if (!setToGo.empty()) {
            settled.scheduled.insert(settled.scheduled.end(), setToGo.begin(), setToGo.end());
            settled.filesScheduled = true;
        }
        result.outcome = Settle(result, settled);
        if (result.outcome == ItemOutcome::StillThere) {
            result.windowsError = settled.windowsError;
        }
        outcome.windowsFinishesAtRestart =
            outcome.windowsFinishesAtRestart || settled.windowsFinishes;
        outcome.filesAtRestart = outcome.filesAtRestart || settled.filesScheduled;
        // The 9x family takes a device out of the registry alone: its running configuration
        // keeps the device, and its driver loaded, until the computer restarts.
        outcome.deviceLoadedUntilRestart =
            outcome.deviceLoadedUntilRestart ||
            (plan[i].kind == PlanItemKind::RegistryKey && result.outcome == ItemOutcome::Deleted);
        outcome.items.push_back(result);
    }
    return outcome;
}

}  // namespace

RemovalOutcome CheckRemovalPlan(Platform& platform, const std::vector<PlanItem>& plan) {
    RemovalOutcome outcome = Probe(platform, plan, {});
    // What something else took out of the registry is not known to have been loaded.
    outcome.deviceLoadedUntilRestart = false;
    return outcome;
}

RemovalOutcome RunRemovalPlan(Platform& platform, const std::vector<PlanItem>& plan) {
    // Read before acting: what an earlier run set to go at the restart is not acted on again
    // (on the NT family that would add the same deletion to Windows' list once more).
    const ScheduledDeletions scheduled(platform.registry, platform.files, platform.version);
    std::vector<LeftToRestart> left;
    for (const PlanItem& item : plan) {
        left.push_back(AllSetToGo(platform, scheduled, item).empty() ? Act(platform, item)
                                                                     : LeftToRestart());
    }
    // Probed once every action ran: a later action may take what an earlier one left (the
    // device key that the 9x family's class key named, say).
    return Probe(platform, plan, left);
}

}  // namespace drvsweep
