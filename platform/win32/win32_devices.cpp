#include "platform/win32/win32_devices.h"

#include <cstddef>
#include <cstring>
#include <type_traits>
#include <utility>

#include "platform/win32/scoped_handle.h"
#include "platform/win32/setup_di_functions.h"
#include "platform/win32/windows_api.h"

namespace drvsweep::win32 {

namespace {

// DeviceInfoData mirrors SP_DEVINFO_DATA byte for byte (the Setup API packs the structure on
// x86 and aligns it on x86-64; both give the natural layout), so a member passes between the
// two as a plain copy.
static_assert(std::is_trivially_copyable_v<DeviceInfoData>);
static_assert(sizeof(DeviceInfoData) == sizeof(SP_DEVINFO_DATA));
static_assert(offsetof(DeviceInfoData, cbSize) == offsetof(SP_DEVINFO_DATA, cbSize));
static_assert(offsetof(DeviceInfoData, classGuid) == offsetof(SP_DEVINFO_DATA, ClassGuid));
static_assert(sizeof(DeviceInfoData::classGuid) == sizeof(GUID));
static_assert(offsetof(DeviceInfoData, devInst) == offsetof(SP_DEVINFO_DATA, DevInst));
static_assert(offsetof(DeviceInfoData, reserved) == offsetof(SP_DEVINFO_DATA, Reserved));
static_assert(sizeof(DeviceInfoData::reserved) == sizeof(ULONG_PTR));

// A set exists only once the functions are bound, so its traits can call through them.
struct DeviceInfoListTraits {
    static HDEVINFO Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HDEVINFO list) { BoundSetupDi()->destroyDeviceInfoList(list); }
};
using ScopedDeviceInfoList = ScopedHandle<HDEVINFO, DeviceInfoListTraits>;

SP_DEVINFO_DATA ToSetupApi(const DeviceInfoData& device) {
    SP_DEVINFO_DATA native;
    std::memcpy(&native, &device, sizeof native);
    return native;
}

class Win32DeviceInfoSet : public DeviceInfoSet {
public:
    Win32DeviceInfoSet(const SetupDiFunctions& setupDi, ScopedDeviceInfoList list)
        : setupDi_(setupDi), list_(std::move(list)) {}

    bool EnumDevice(std::uint32_t index, DeviceInfoData* device) override {
        SP_DEVINFO_DATA native = ToSetupApi(*device);
        if (!setupDi_.enumDeviceInfo(list_.get(), index, &native)) {
            return false;
        }
        std::memcpy(static_cast<void*>(device), &native, sizeof native);
        return true;
    }

    bool HardwareIds(const DeviceInfoData& device, std::uint8_t* buffer, std::uint32_t size,
                     std::uint32_t* required, std::uint32_t* error) override {
        SP_DEVINFO_DATA native = ToSetupApi(device);
        DWORD needed = 0;
        const BOOL read = setupDi_.getDeviceRegistryProperty(list_.get(), &native, SPDRP_HARDWAREID,
                                                             nullptr, buffer, size, &needed);
        *error = read ? ERROR_SUCCESS : GetLastError();
        *required = needed;
        return read != FALSE;
    }

    bool CallRemoveInstaller(const DeviceInfoData& device, bool* restartNeeded) override {
        *restartNeeded = false;
        SP_DEVINFO_DATA native = ToSetupApi(device);
        if (!setupDi_.callClassInstaller(DIF_REMOVE, list_.get(), &native)) {
            return false;
        }
        SP_DEVINSTALL_PARAMS_A params = {};
        params.cbSize = sizeof params;
        if (setupDi_.getDeviceInstallParams(list_.get(), &native, &params)) {
            *restartNeeded = (params.Flags & (DI_NEEDREBOOT | DI_NEEDRESTART)) != 0;
        }
        return true;
    }

    bool RemoveDevice(const DeviceInfoData& device) override {
        SP_DEVINFO_DATA native = ToSetupApi(device);
        return setupDi_.removeDevice(list_.get(), &native) != FALSE;
    }

private:
    const SetupDiFunctions& setupDi_;
    ScopedDeviceInfoList list_;
};

}  // namespace

namespace {

// Without the Setup API's device functions no set can be built, and whatever needs one does
// nothing.
std::unique_ptr<DeviceInfoSet> DevicesWithFlags(DWORD flags) {
    const SetupDiFunctions* setupDi = BoundSetupDi();
    if (setupDi == nullptr) {
        return nullptr;
    }
    ScopedDeviceInfoList list(setupDi->getClassDevs(nullptr, nullptr, nullptr, flags));
    if (!list.valid()) {
        return nullptr;
    }
    return std::make_unique<Win32DeviceInfoSet>(*setupDi, std::move(list));
}

}  // namespace

std::unique_ptr<DeviceInfoSet> Win32Devices::AllDevices() {
    return DevicesWithFlags(DIGCF_ALLCLASSES);
}

std::unique_ptr<DeviceInfoSet> Win32Devices::AttachedDevices() {
    return DevicesWithFlags(DIGCF_ALLCLASSES | DIGCF_PRESENT);
}

}  // namespace drvsweep::win32
