#include "fuzz/machine_snapshot.h"

#include <algorithm>

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

MachineSnapshot TakeSnapshot(FuzzMachine& machine) {
    sim::SimWindows& windows = machine.windows;
    MachineSnapshot snapshot;
    windows.registry().VisitKeys(
        [&](const std::string& path, const std::string* name, const sim::RegValue* value) {
            const std::string key = LowerAscii(path);
            if (name == nullptr) {
                snapshot.keys.emplace(key, path);
                return;
            }
            snapshot.values.emplace(
                key + "\n" + LowerAscii(*name),
                path + "\n" + *name + "\n" + std::to_string(value->type) + ":" + value->bytes);
        });
    windows.files().VisitEntries([&](const std::string& path, bool folder, std::uint32_t attributes,
                                     std::size_t size, bool) {
        snapshot.files.emplace(UpperAscii(path),
                               MachineSnapshot::FileEntry{path, folder, attributes, size});
    });
    snapshot.devices = windows.devices().InstanceIds();
    return snapshot;
}

bool MachineChanges::empty() const {
    return deletedKeys.empty() && createdKeys.empty() && changedValues.empty() &&
           deletedFiles.empty() && createdFiles.empty() && changedFiles.empty() &&
           removedDevices.empty() && addedDevices.empty();
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
    return changes;
}

}  // namespace drvsweep::fuzz
