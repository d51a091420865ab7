#include "fuzz/machine_snapshot.h"

#include <algorithm>

#include "platform/restart_deletion.h"
#include "platform/sim/file_name_match.h"

namespace drvsweep::fuzz {

std::string LowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

std::string UpperAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

namespace {

// The pending-deletion bookkeeping: the Session Manager key, the keys above it, and the value.
bool IsPendingListKey(const std::string& lowerKey) {
    const std::string sessionManager = LowerAscii(kSessionManagerKey);
    return sessionManager.compare(0, lowerKey.size(), lowerKey) == 0 &&
           (lowerKey.size() == sessionManager.size() || sessionManager[lowerKey.size()] == '\\');
}

bool IsWininitFile(sim::SimWindows& windows, const std::string& upperPath) {
    const std::string windowsFolder = UpperAscii(windows.files().windowsFolder());
    for (const char* name : {"\\WININIT.INI", "\\WININIT.DSN", "\\WININIT.DSO"}) {
        if (upperPath == windowsFolder + name) {
            return true;
        }
    }
    return false;
}

// The entry's short path as the simulation's GetShortPathNameA gives it, without calling it
// (a call would count against the faults of the run).
std::string ShortPathOf(const std::string& path) {
    std::string shortPath;
    std::size_t at = 0;
    while (at <= path.size()) {
        const std::size_t end = std::min(path.find('\\', at), path.size());
        const std::string part = path.substr(at, end - at);
        const std::string shortName = at == 0 ? "" : sim::ShortFileName(part);
        shortPath += (at == 0 ? "" : "\\") + (shortName.empty() ? part : shortName);
        at = end + 1;
    }
    return shortPath;
}

}  // namespace

MachineSnapshot TakeSnapshot(FuzzMachine& machine) {
    sim::SimWindows& windows = machine.windows;
    MachineSnapshot snapshot;
    windows.registry().VisitKeys(
        [&](const std::string& path, const std::string* name, const sim::RegValue* value) {
            const std::string key = LowerAscii(path);
            if (IsPendingListKey(key) &&
                (name == nullptr || LowerAscii(*name) == LowerAscii(kPendingRenamesValue))) {
                return;
            }
            if (name == nullptr) {
                snapshot.keys.emplace(key, path);
                return;
            }
            snapshot.values.emplace(
                key + "\n" + LowerAscii(*name),
                path + "\n" + *name + "\n" + std::to_string(value->type) + ":" + value->bytes);
        });
    const bool shortPaths = windows.version().family() != Family::Nt;
    windows.files().VisitEntries([&](const std::string& path, bool folder, std::uint32_t attributes,
                                     std::size_t size, bool) {
        const std::string upper = UpperAscii(path);
        if (shortPaths) {
            snapshot.longPathsByShort.emplace(UpperAscii(ShortPathOf(path)), upper);
        }
        if (!IsWininitFile(windows, upper)) {
            snapshot.files.emplace(upper,
                                   MachineSnapshot::FileEntry{path, folder, attributes, size});
        }
    });
    snapshot.devices = windows.devices().InstanceIds();
    for (const std::string& pending : windows.PendingDeletions()) {
        snapshot.scheduled.push_back(UpperAscii(pending));
    }
    return snapshot;
}

bool MachineChanges::empty() const {
    return deletedKeys.empty() && createdKeys.empty() && changedValues.empty() &&
           deletedFiles.empty() && createdFiles.empty() && changedFiles.empty() &&
           removedDevices.empty() && addedDevices.empty() && scheduled.empty();
}

namespace {

// Calls gone(before entry) and added(after entry) for keys in only one of the maps, and
// both(before, after) for keys in both.
template <typename Map, typename Gone, typename Added, typename Both>
void Walk(const Map& before, const Map& after, Gone gone, Added added, Both both) {
    auto b = before.begin();
    auto a = after.begin();
    while (b != before.end() || a != after.end()) {
        if (a == after.end() || (b != before.end() && b->first < a->first)) {
            gone(*b++);
        } else if (b == before.end() || a->first < b->first) {
            added(*a++);
        } else {
            both(*b++, *a++);
        }
    }
}

std::string ValueKey(const std::string& entry) {
    return entry.substr(0, entry.find('\n'));
}

// The long path of a scheduled entry: after the step if it is still there, else before it.
std::string LongPathOf(const MachineSnapshot& before, const MachineSnapshot& after,
                       const std::string& written) {
    for (const MachineSnapshot* snapshot : {&after, &before}) {
        const auto found = snapshot->longPathsByShort.find(written);
        if (found != snapshot->longPathsByShort.end()) {
            return found->second;
        }
    }
    return written;
}

}  // namespace

MachineChanges CompareSnapshots(const MachineSnapshot& before, const MachineSnapshot& after) {
    MachineChanges changes;
    Walk(
        before.keys, after.keys, [&](const auto& e) { changes.deletedKeys.push_back(e.second); },
        [&](const auto& e) { changes.createdKeys.push_back(e.second); },
        [](const auto&, const auto&) {});
    // A value of a deleted key goes with its key; every other difference is a change.
    Walk(
        before.values, after.values,
        [&](const auto& e) {
            if (after.keys.count(ValueKey(e.first)) != 0) {
                changes.changedValues.push_back(e.second);
            }
        },
        [&](const auto& e) { changes.changedValues.push_back(e.second); },
        [&](const auto& b, const auto& a) {
            if (b.second != a.second) {
                changes.changedValues.push_back(a.second);
            }
        });
    Walk(
        before.files, after.files,
        [&](const auto& e) { changes.deletedFiles.push_back(e.second.path); },
        [&](const auto& e) { changes.createdFiles.push_back(e.second.path); },
        [&](const auto& b, const auto& a) {
            if (b.second.folder != a.second.folder || b.second.attributes != a.second.attributes ||
                b.second.size != a.second.size) {
                changes.changedFiles.push_back(a.second.path);
            }
        });
    for (const std::string& device : before.devices) {
        if (std::find(after.devices.begin(), after.devices.end(), device) == after.devices.end()) {
            changes.removedDevices.push_back(device);
        }
    }
    for (const std::string& device : after.devices) {
        if (std::find(before.devices.begin(), before.devices.end(), device) ==
            before.devices.end()) {
            changes.addedDevices.push_back(device);
        }
    }
    for (const std::string& path : after.scheduled) {
        if (std::find(before.scheduled.begin(), before.scheduled.end(), path) ==
            before.scheduled.end()) {
            changes.scheduled.push_back(LongPathOf(before, after, path));
        }
    }
    return changes;
}

}  // namespace drvsweep::fuzz
