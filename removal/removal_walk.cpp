#include "removal/removal_walk.h"

#include <memory>

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

}  // namespace

RemovalOutcome CheckRemovalPlan(Platform& platform, const std::vector<PlanItem>& plan) {
    RemovalOutcome outcome;
    for (const PlanItem& item : plan) {
        ItemResult result;
        result.item = item;
        result.pathsThere = PlanItemPathsThere(platform, item);
        result.outcome = result.pathsThere.empty() ? ItemOutcome::Deleted : ItemOutcome::StillThere;
        outcome.items.push_back(result);
    }
    return outcome;
}

RemovalOutcome RunRemovalPlan(Platform& platform, const std::vector<PlanItem>& plan) {
    std::vector<LeftToRestart> left;
    for (const PlanItem& item : plan) {
        left.push_back(Act(platform, item));
    }
    // Probed once every action ran: a later action may take what an earlier one left (the
    // device key that the 9x family's class key named, say).
    RemovalOutcome outcome = CheckRemovalPlan(platform, plan);
    for (std::size_t i = 0; i < plan.size(); ++i) {
        ItemResult& result = outcome.items[i];
        result.outcome = Settle(result, left[i]);
        if (result.outcome == ItemOutcome::StillThere) {
            result.windowsError = left[i].windowsError;
        }
        outcome.windowsFinishesAtRestart =
            outcome.windowsFinishesAtRestart || left[i].windowsFinishes;
        outcome.filesAtRestart = outcome.filesAtRestart || left[i].filesScheduled;
    }
    return outcome;
}

}  // namespace drvsweep
