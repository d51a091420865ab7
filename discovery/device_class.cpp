#include "discovery/device_class.h"

#include "platform/multibyte_text.h"
#include "platform/text_reads.h"

namespace drvsweep {

namespace {

// A device class as each family names it in a device's instance key.
struct ClassNames {
    const char* guid;  // NT: ClassGUID
    const char* name;  // 9x: Class
};

constexpr ClassNames kNeverScanners[] = {
    {"{36fc9e60-c465-11cf-8056-444553540000}", "USB"},
    {"{4d36e979-e325-11ce-bfc1-08002be10318}", "Printer"},
    {"{745a17a0-74d3-11d0-b6fe-00a0c90f57da}", "HID"},
    {"{4d36e967-e325-11ce-bfc1-08002be10318}", "DiskDrive"},
    {"{4d36e972-e325-11ce-bfc1-08002be10318}", "Net"},
};

}  // namespace

DeviceClass ReadDeviceClass(VersionInfo& version, BusKind busKind, RegistryKey* instanceKey) {
    if (busKind == BusKind::PcCard) {
        return DeviceClass::kMayBeScanner;
    }
    if (instanceKey == nullptr) {
        return DeviceClass::kUnreadable;
    }
    const bool nt = CurrentFamily(version) == Family::Nt;
    PathText value;
    const RegistryRead read =
        RegistryReadOf(QueryStringValue(*instanceKey, nt ? "ClassGUID" : "Class", &value));
    if (read != RegistryRead::kRead) {
        return read == RegistryRead::kNotThere ? DeviceClass::kMayBeScanner
                                               : DeviceClass::kUnreadable;
    }
    const CodePage codePage = version.AnsiCodePage();
    for (const ClassNames& never : kNeverScanners) {
        if (EqualsIgnoringCase(codePage, value.c_str(), nt ? never.guid : never.name)) {
            return DeviceClass::kNeverScanner;
        }
    }
    return DeviceClass::kMayBeScanner;
}

}  // namespace drvsweep
