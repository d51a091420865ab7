#include "removal/device_nodes_nt.h"

#include <cstdint>
#include <memory>
#include <new>
#include <utility>

#include "platform/win32_codes.h"
#include "removal/hardware_id_list.h"

namespace drvsweep {

namespace {

// The sizing call and at most three grown buffers: a property that keeps growing between the
// calls (a device that changes while it is read) ends the attempt instead of the loop running
// on. A hardware-ID list runs to a few hundred bytes; a size beyond this bound is not believed.
constexpr int kMaxPropertyReads = 4;
constexpr std::uint32_t kMaxHardwareIdBytes = 64 * 1024;

struct HardwareIds {
    std::unique_ptr<std::uint8_t[]> bytes;
    std::uint32_t length = 0;
};

// Reads the member's SPDRP_HARDWAREID property, growing the buffer while the Setup API asks for
// more. False, with nothing to compare, when the device has no hardware ID or an empty one,
// when the read fails otherwise, or when the buffer cannot be had.
bool ReadHardwareIds(DeviceInfoSet& set, const DeviceInfoData& device, HardwareIds* ids) {
    std::unique_ptr<std::uint8_t[]> buffer;
    std::uint32_t size = 0;
    for (int read = 0; read < kMaxPropertyReads; ++read) {
        std::uint32_t required = 0;
        std::uint32_t error = 0;
        if (set.HardwareIds(device, buffer.get(), size, &required, &error)) {
            if (buffer == nullptr) {
                return false;
            }
            ids->bytes = std::move(buffer);
            ids->length = required < size ? required : size;
            return true;
        }
        if (error != kErrorInsufficientBuffer || required <= size ||
            required > kMaxHardwareIdBytes) {
            return false;
        }
        buffer.reset(new (std::nothrow) std::uint8_t[required]());
        if (buffer == nullptr) {
            return false;
        }
        size = required;
    }
    return false;
}

}  // namespace

void ForEachDeviceWithHardwareId(DeviceInfoSet& set, const char* devicePath,
                                 const std::function<bool(const DeviceInfoData&)>& onMatch) {
    DeviceInfoData device;
    device.cbSize = sizeof device;  // as SP_DEVINFO_DATA requires before the first use
    // The set keeps its members while devices go, so the index always advances by one and
    // every matching instance is reached.
    for (std::uint32_t index = 0; set.EnumDevice(index, &device); ++index) {
        HardwareIds ids;
        if (ReadHardwareIds(set, device, &ids) &&
            HardwareIdListHolds(ids.bytes.get(), ids.length, devicePath) && !onMatch(device)) {
            return;
        }
    }
}

bool RemoveDeviceNodesNt(Platform& platform, const char* devicePath) {
    const std::unique_ptr<DeviceInfoSet> set = platform.devices.AllDevices();
    if (set == nullptr) {
        return false;
    }
    bool restartRequested = false;
    ForEachDeviceWithHardwareId(*set, devicePath,
                                [&set, &restartRequested](const DeviceInfoData& device) {
                                    bool restartNeeded = false;
                                    set->CallRemoveInstaller(device, &restartNeeded);
                                    set->RemoveDevice(device);
                                    restartRequested = restartRequested || restartNeeded;
                                    return true;
                                });
    return restartRequested;
}

Attachment DeviceAttachment(Platform& platform, const char* devicePath) {
    if (CurrentFamily(platform.version) != Family::Nt) {
        return Attachment::Unknown;
    }
    const std::unique_ptr<DeviceInfoSet> set = platform.devices.AttachedDevices();
    if (set == nullptr) {
        return Attachment::Unknown;
    }
    Attachment attachment = Attachment::NotAttached;
    ForEachDeviceWithHardwareId(*set, devicePath, [&attachment](const DeviceInfoData&) {
        attachment = Attachment::Attached;
        return false;
    });
    return attachment;
}

}  // namespace drvsweep
