#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/device_instances.h"
#include "platform/sim/sim_faults.h"
#include "platform/sim/sim_registry.h"

namespace drvsweep::sim {

constexpr std::uint32_t kErrorInvalidUserBuffer = 1784;
constexpr std::uint32_t kErrorNoSuchDevinst = 0xE000020B;

// One device instance the Setup API knows.
struct SimDevice {
    std::string instanceId;  // "USB\VID_0C6E&PID_5210\5&2f1c3a&0&2"
    // The SPDRP_HARDWAREID property as stored, a REG_MULTI_SZ; none when the device has no
    // hardware ID. Tests may store malformed lists here.
    std::optional<std::string> hardwareIds;
    bool present = true;
};

enum class RemovalCall { ClassInstaller, RemoveDevice };

struct DeviceRemoval {
    std::string instanceId;
    RemovalCall call = RemovalCall::ClassInstaller;
};

// The simulated Setup API device list of the NT family.
//
// A set lists every device (present or not) in the order the devices were added and keeps its
// members while it lives, also those removed meanwhile. Removing a device (DIF_REMOVE, or
// SetupDiRemoveDevice alone) takes it off the machine, after which both calls fail for it with
// ERROR_NO_SUCH_DEVINST, as on Wine; like Wine it also deletes the device's instance key
// below SYSTEM\CurrentControlSet\Enum and every key above it that this leaves without
// subkeys, up to the enumerator.
//
// Faults, with the instance id as argument except where said: "SetupDiGetClassDevsA" (empty),
// "SetupDiEnumDeviceInfo" (the index), "SetupDiGetDeviceRegistryPropertyA" (any code, which
// HardwareIds reports), "SetupDiCallClassInstaller", "SetupDiGetDeviceInstallParamsA" (read
// after a DIF_REMOVE: no restart request is then seen) and "SetupDiRemoveDevice".
// A DIF_REMOVE asks for no restart unless the device was set to (SetRestartAfterRemoval), as a
// class installer does when the device cannot be stopped until the next start.
// Destroying a set logs "SetupDiDestroyDeviceInfoList" and cannot fail.
class SimDevices : public DeviceInstances {
public:
    SimDevices(SimFaults& faults, SimRegistry& registry);
    ~SimDevices() override;
    SimDevices(const SimDevices&) = delete;
    SimDevices& operator=(const SimDevices&) = delete;

    std::unique_ptr<DeviceInfoSet> AllDevices() override;
    // The devices whose `present` is set.
    std::unique_ptr<DeviceInfoSet> AttachedDevices() override;

    void AddDevice(SimDevice device);
    void AddDevice(const std::string& instanceId, const std::vector<std::string>& hardwareIds,
                   bool present = true);

    // After its DIF_REMOVE the device's install parameters carry DI_NEEDREBOOT.
    void SetRestartAfterRemoval(const std::string& instanceId);

    // Adds a device for every instance key SYSTEM\CurrentControlSet\Enum\<enumerator>\<device>
    // \<instance> that has a ClassGUID value, with its HardwareID value as the property, in
    // registry order: the devices Wine's Setup API finds in the same registry.
    void AddDevicesFromRegistry();

    // The instance ids of the devices still on the machine, in order.
    std::vector<std::string> InstanceIds() const;

    // Every successful removal, oldest first.
    const std::vector<DeviceRemoval>& removals() const;

    // Device information sets built and not yet destroyed.
    int openSetCount() const;

    // Strings, each ended by a NUL, then the empty string that ends the list.
    static std::string EncodeMultiString(const std::vector<std::string>& strings);

    // What the device list shares with its sets.
    struct State;

private:
    std::shared_ptr<State> state_;
};

}  // namespace drvsweep::sim
