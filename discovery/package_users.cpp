#include "discovery/package_users.h"

#include <cstring>
#include <memory>

#include "discovery/bus_scan.h"
#include "discovery/device_class.h"
#include "discovery/scanner_table.h"
#include "platform/registry_paths.h"
#include "platform/text_reads.h"
#include "platform/win32_codes.h"

namespace drvsweep {

namespace {

// Calls visit(name) for every subkey of the key at `path`. False when the key exists but
// cannot be opened, or its enumeration fails before its end; a missing key has no subkeys.
template <typename Visit>
bool VisitSubkeys(Registry& registry, const char* path, Visit visit) {
    std::unique_ptr<RegistryKey> key;
    const long opened = registry.OpenKey(path, kKeyRead, &key);
    if (opened == kErrorFileNotFound) {
        return true;
    }
    if (opened != kErrorSuccess) {
        return false;
    }
    for (std::uint32_t index = 0;; ++index) {
        char name[kMaxPath] = {};
        const long read = key->EnumKey(index, name, sizeof name);
        if (read == kErrorNoMoreItems) {
            return true;
        }
        PathText text;
        if (read != kErrorSuccess || !text.assign(name)) {
            return false;
        }
        visit(text);
    }
}

// A driver key is named by four decimal digits; a class key's other subkeys ("Properties")
// are not driver keys.
bool IsDriverKeyName(const PathText& name) {
    return name.size() == 4 && std::strspn(name.c_str(), "0123456789") == 4;
}

std::string Upper(const CodePage& codePage, PathText text) {
    UpperCaseAscii(codePage, text.data());
    return text.c_str();
}

// The part of an InfPath after its last separator, upper-cased.
std::string UpperFileName(const CodePage& codePage, const PathText& path) {
    const char* name = path.c_str();
    for (const char* c = path.c_str(); *c != '\0'; c = NextChar(codePage, c)) {
        if (*c == '\\' || *c == '/' || *c == ':') {
            name = c + 1;
        }
    }
    PathText text;
    text.assign(name);
    return Upper(codePage, text);
}

}  // namespace

PackageUsers::PackageUsers(Platform& platform) : codePage_(platform.version.AnsiCodePage()) {
    const char* classRoot =
        RegistryPathFor(RegistryPath::DeviceDriverKeyPrefix, CurrentFamily(platform.version));
    if (classRoot == nullptr) {
        return;
    }
    ReadMakersDriverKeys(platform, BusKind::Usb);
    ReadMakersDriverKeys(platform, BusKind::PcCard);
    ReadDriverKeys(platform, classRoot);
}

// A maker's device whose Driver value cannot be read is left out: its driver key then counts
// as another maker's, which only ever keeps a package. So is an instance whose class is never a
// scanner's (the printer interface or composite parent of a multifunction device, whose Quorin
// package must stay with it) or cannot be read. Each instance is judged by its own class.
void PackageUsers::ReadMakersDriverKeys(Platform& platform, BusKind busKind) {
    const Family family = CurrentFamily(platform.version);
    const bool pcCard = busKind == BusKind::PcCard;
    const char* tree =
        RegistryPathFor(pcCard ? RegistryPath::PcCardTree : RegistryPath::UsbTree, family);
    const char* prefix = RegistryPathFor(
        pcCard ? RegistryPath::PcCardDevicePrefix : RegistryPath::UsbDevicePrefix, family);
    VisitSubkeys(platform.registry, tree, [&](const PathText& device) {
        PathText devicePath;
        if (!IsMakersDeviceKey(busKind, device.c_str()) || !devicePath.appendAll(prefix, device)) {
            return;
        }
        VisitSubkeys(platform.registry, devicePath.c_str(), [&](const PathText& instance) {
            PathText instancePath = devicePath;
            std::unique_ptr<RegistryKey> key;
            PathText driver;
            if (instancePath.appendAll("\\", instance) &&
                platform.registry.OpenKey(instancePath.c_str(), kKeyQueryValue, &key) ==
                    kErrorSuccess &&
                ReadDeviceClass(platform.version, busKind, key.get()) ==
                    DeviceClass::kMayBeScanner &&
                ReadStringValue(*key, "Driver", &driver)) {
                makersDriverKeys_.insert(Upper(codePage_, driver));
            }
        });
    });
}

void PackageUsers::ReadDriverKeys(Platform& platform, const char* classRoot) {
    PathText root;
    root.assign(classRoot, std::strlen(classRoot) - 1);
    const bool listed = VisitSubkeys(platform.registry, root.c_str(), [&](const PathText& name) {
        PathText classPath;
        if (!classPath.appendAll(classRoot, name) ||
            !VisitSubkeys(platform.registry, classPath.c_str(), [&](const PathText& subkey) {
                ReadDriverKey(platform, classRoot, name, subkey);
            })) {
            complete_ = false;
        }
    });
    complete_ = complete_ && listed;
}

// Keeps the InfPath of a driver key that no device of the maker names. A driver key that cannot
// be opened, or whose InfPath is there but cannot be read, leaves the users untold.
void PackageUsers::ReadDriverKey(Platform& platform, const char* classRoot,
                                 const PathText& classKey, const PathText& subkey) {
    PathText driverKey;
    if (!IsDriverKeyName(subkey) || !driverKey.appendAll(classKey, "\\", subkey) ||
        makersDriverKeys_.count(Upper(codePage_, driverKey)) != 0) {
        return;
    }
    PathText driverPath;
    std::unique_ptr<RegistryKey> key;
    if (!driverPath.appendAll(classRoot, driverKey) ||
        platform.registry.OpenKey(driverPath.c_str(), kKeyQueryValue, &key) != kErrorSuccess) {
        complete_ = false;
        return;
    }
    PathText infPath;
    if (ReadStringValue(*key, "InfPath", &infPath)) {
        othersInfs_.emplace_back(UpperFileName(codePage_, infPath), driverKey);
        return;
    }
    char probe[1];
    std::uint32_t size = sizeof probe;
    if (key->QueryValue("InfPath", probe, &size) != kErrorFileNotFound) {
        complete_ = false;
    }
}

bool PackageUsers::IsUsedByOthers(const char* infPath, PathText* driverKey) const {
    PathText path;
    if (!complete_ || !path.assign(infPath)) {
        driverKey->clear();
        return true;
    }
    const std::string wanted = UpperFileName(codePage_, path);
    for (const auto& use : othersInfs_) {
        if (use.first == wanted) {
            *driverKey = use.second;
            return true;
        }
    }
    return false;
}

}  // namespace drvsweep
