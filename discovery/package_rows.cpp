#include "discovery/package_rows.h"

#include <cstring>
#include <optional>

#include "discovery/driver_fields.h"
#include "discovery/package_users.h"
#include "platform/multibyte_text.h"

namespace drvsweep {

namespace {

PathText UpperCased(const CodePage& codePage, const PathText& text) {
    PathText upper = text;
    UpperCaseAscii(codePage, upper.data());
    return upper;
}

// A row's hardware ID is found in a package's models as the search finds it: upper-cased,
// anywhere within the listed ID.
bool IsCovered(const CodePage& codePage, const ScannerTable& table, const MakerPackage& package) {
    for (std::int32_t i = 0; i <= table.lastIndex; ++i) {
        const ScannerRecord& row = table.rows[i];
        if (row.infPath.empty()) {
            continue;
        }
        if (EqualsIgnoringCase(codePage, row.infPath.c_str(), package.infPath.c_str())) {
            return true;
        }
        const PathText devicePath = UpperCased(codePage, row.devicePath);
        for (const MakerModel& model : package.models) {
            if (std::strstr(UpperCased(codePage, model.hardwareId).c_str(), devicePath.c_str()) !=
                nullptr) {
                return true;
            }
        }
    }
    return false;
}

// A row covers a package whose model holds its devicePath, and the devicePath of a row begins
// with its bus's USB\ or PCMCIA\. So when the scan of a bus may have missed a device, a package
// that names an ID of that bus may be the missed device's: listed as a driver without a device,
// it would be removed from under it (/remove all takes every such row). It waits for a scan that
// reads the whole bus.
bool MayBelongToMissedDevice(const CodePage& codePage, const ScannerTable& table,
                             const MakerPackage& package) {
    for (const MakerModel& model : package.models) {
        const PathText upper = UpperCased(codePage, model.hardwareId);
        if ((table.usbIncomplete && std::strstr(upper.c_str(), "USB\\") != nullptr) ||
            (table.pcCardIncomplete && std::strstr(upper.c_str(), "PCMCIA\\") != nullptr)) {
            return true;
        }
    }
    return false;
}

bool IsRowDevicePath(const CodePage& codePage, const ScannerTable& table,
                     const PathText& hardwareId) {
    for (std::int32_t i = 0; i <= table.lastIndex; ++i) {
        if (EqualsIgnoringCase(codePage, table.rows[i].devicePath.c_str(), hardwareId.c_str())) {
            return true;
        }
    }
    return false;
}

// A PC Card scanner's row names the card's fixed driver files whatever its INF says, so only a
// card's hardware ID (on the PC Card bus, with the maker's card identifiers) gets one; any other
// is taken as a USB scanner's, whose files are only those its INF names.
BusKind BusOf(const CodePage& codePage, const PathText& hardwareId) {
    const PathText upper = UpperCased(codePage, hardwareId);
    const bool card = std::strncmp(upper.c_str(), "PCMCIA\\", 7) == 0 &&
                      (std::strstr(upper.c_str(), "RDN-CQ-D41E") != nullptr ||
                       std::strstr(upper.c_str(), "QUORIN") != nullptr);
    return card ? BusKind::PcCard : BusKind::Usb;
}

}  // namespace

void AddPackagesWithoutDevice(Platform& platform, ScannerTable& table, DriverInfLookup& lookup) {
    const std::vector<MakerPackage> packages = lookup.MakerPackages();
    const CodePage codePage = platform.version.AnsiCodePage();
    // Read only once a package is not covered: most machines have none such.
    std::optional<PackageUsers> users;
    for (const MakerPackage& package : packages) {
        if (table.lastIndex + 1 >= kScannerRows) {
            return;
        }
        // A package whose INF is set to go at the restart (it was held open at its removal) is
        // still listed until then: the machine is not clean before the restart, and its removal
        // reports it as going then.
        if (IsCovered(codePage, table, package) ||
            MayBelongToMissedDevice(codePage, table, package)) {
            continue;
        }
        // A package that another maker's device uses is never removed, so it is no row either:
        // a row that no removal can take would stay in the list for good.
        if (!users) {
            users.emplace(platform);
        }
        PathText usedBy;
        if (users->IsUsedByOthers(package.infPath.c_str(), &usedBy)) {
            continue;
        }
        const MakerModel* model = nullptr;
        for (const MakerModel& listed : package.models) {
            if (!IsRowDevicePath(codePage, table, listed.hardwareId)) {
                model = &listed;
                break;
            }
        }
        if (model == nullptr) {
            continue;
        }
        ScannerRecord row;
        row.busKind = BusOf(codePage, model->hardwareId);
        row.devicePath = model->hardwareId;
        // A model without a readable description is shown by its hardware ID, never as a
        // blank entry.
        row.description = model->description.empty() ? model->hardwareId : model->description;
        row.infPath = package.infPath;
        row.packageOnly = true;
        if (FillDriverFields(platform, lookup, row)) {
            table.rows[++table.lastIndex] = row;
        }
    }
}

}  // namespace drvsweep
