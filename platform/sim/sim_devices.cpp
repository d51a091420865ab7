#include "platform/sim/sim_devices.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "platform/win32_codes.h"

namespace drvsweep::sim {

namespace {

constexpr const char* kEnumKey = "SYSTEM\\CurrentControlSet\\Enum";

struct DeviceEntry {
    SimDevice device;
    std::uint32_t devInst = 0;
    bool removed = false;
};

}  // namespace

struct SimDevices::State {
    State(SimFaults& faultsIn, SimRegistry& registryIn) : faults(faultsIn), registry(registryIn) {}

    // Takes the device off the machine and deletes its registry keys as Wine's setupapi does.
    void Remove(DeviceEntry& entry, RemovalCall call) {
        entry.removed = true;
        devices.erase(std::find_if(devices.begin(), devices.end(), [&entry](const auto& device) {
            return device.get() == &entry;
        }));
        removals.push_back(DeviceRemoval{entry.device.instanceId, call});
        std::string key = std::string(kEnumKey) + "\\" + entry.device.instanceId;
        registry.RemoveTree(key);
        const std::size_t enumLength = std::strlen(kEnumKey);
        for (std::size_t slash = key.rfind('\\'); slash > enumLength; slash = key.rfind('\\')) {
            key.resize(slash);
            if (!registry.SubkeyNames(key).empty()) {
                break;
            }
            registry.RemoveTree(key);
        }
    }

    SimFaults& faults;
    SimRegistry& registry;
    std::vector<std::shared_ptr<DeviceEntry>> devices;
    std::vector<DeviceRemoval> removals;
    std::set<std::string> restartAfterRemoval;
    std::uint32_t nextDevInst = 1;
    int openSets = 0;
};

namespace {

class SimDeviceSet : public DeviceInfoSet {
public:
    SimDeviceSet(std::shared_ptr<SimDevices::State> state,
                 std::vector<std::shared_ptr<DeviceEntry>> members)
        : state_(std::move(state)), members_(std::move(members)) {
        ++state_->openSets;
    }
    ~SimDeviceSet() override {
        long ignored = 0;
        state_->faults.ShouldFail("SetupDiDestroyDeviceInfoList", "", &ignored);
        --state_->openSets;
    }
    SimDeviceSet(const SimDeviceSet&) = delete;
    SimDeviceSet& operator=(const SimDeviceSet&) = delete;

    bool EnumDevice(std::uint32_t index, DeviceInfoData* device) override {
        long ignored = 0;
        if (state_->faults.ShouldFail("SetupDiEnumDeviceInfo", std::to_string(index), &ignored) ||
            device->cbSize != sizeof(DeviceInfoData) || index >= members_.size()) {
            return false;
        }
        std::memset(device->classGuid, 0, sizeof device->classGuid);
        device->devInst = members_[index]->devInst;
        device->reserved = index + 1;
        return true;
    }

    bool HardwareIds(const DeviceInfoData& device, std::uint8_t* buffer, std::uint32_t size,
                     std::uint32_t* required, std::uint32_t* error) override {
        DeviceEntry* entry = Member(device);
        if (entry == nullptr) {
            *error = kErrorInvalidParameter;
            return false;
        }
        long code = 0;
        if (state_->faults.ShouldFail("SetupDiGetDeviceRegistryPropertyA", entry->device.instanceId,
                                      &code)) {
            *error = static_cast<std::uint32_t>(code);
            return false;
        }
        if (entry->removed) {
            *error = kErrorNoSuchDevinst;
            return false;
        }
        if (!entry->device.hardwareIds) {
            *error = kErrorInvalidData;
            return false;
        }
        const std::string& property = *entry->device.hardwareIds;
        *required = static_cast<std::uint32_t>(property.size());
        if (property.size() > size || (buffer == nullptr && !property.empty())) {
            *error = kErrorInsufficientBuffer;
            return false;
        }
        if (!property.empty()) {
            std::memcpy(buffer, property.data(), property.size());
        }
        return true;
    }

    bool CallRemoveInstaller(const DeviceInfoData& device, bool* restartNeeded) override {
        *restartNeeded = false;
        if (!Remove(device, "SetupDiCallClassInstaller", RemovalCall::ClassInstaller)) {
            return false;
        }
        const std::string& id = Member(device)->device.instanceId;
        long ignored = 0;
        *restartNeeded =
            !state_->faults.ShouldFail("SetupDiGetDeviceInstallParamsA", id, &ignored) &&
            state_->restartAfterRemoval.count(id) != 0;
        return true;
    }

    bool RemoveDevice(const DeviceInfoData& device) override {
        return Remove(device, "SetupDiRemoveDevice", RemovalCall::RemoveDevice);
    }

private:
    // The member the record names: reserved holds its position + 1 and devInst must agree.
    DeviceEntry* Member(const DeviceInfoData& device) const {
        if (device.reserved == 0 || device.reserved > members_.size()) {
            return nullptr;
        }
        DeviceEntry* entry = members_[device.reserved - 1].get();
        return entry->devInst == device.devInst ? entry : nullptr;
    }

    bool Remove(const DeviceInfoData& device, const char* call, RemovalCall kind) {
        DeviceEntry* entry = Member(device);
        long ignored = 0;
        if (entry == nullptr ||
            state_->faults.ShouldFail(call, entry->device.instanceId, &ignored) || entry->removed) {
            return false;
        }
        state_->Remove(*entry, kind);
        return true;
    }

    std::shared_ptr<SimDevices::State> state_;
    std::vector<std::shared_ptr<DeviceEntry>> members_;
};

}  // namespace

SimDevices::SimDevices(SimFaults& faults, SimRegistry& registry)
    : state_(std::make_shared<State>(faults, registry)) {}

SimDevices::~SimDevices() = default;

std::unique_ptr<DeviceInfoSet> SimDevices::AllDevices() {
    long ignored = 0;
    if (state_->faults.ShouldFail("SetupDiGetClassDevsA", "", &ignored)) {
        return nullptr;
    }
    return std::make_unique<SimDeviceSet>(state_, state_->devices);
}

std::unique_ptr<DeviceInfoSet> SimDevices::AttachedDevices() {
    long ignored = 0;
    if (state_->faults.ShouldFail("SetupDiGetClassDevsA", "DIGCF_PRESENT", &ignored)) {
        return nullptr;
    }
    std::vector<std::shared_ptr<DeviceEntry>> attached;
    for (const auto& entry : state_->devices) {
        if (entry->device.present && !entry->removed) {
            attached.push_back(entry);
        }
    }
    return std::make_unique<SimDeviceSet>(state_, attached);
}

void SimDevices::AddDevice(SimDevice device) {
    auto entry = std::make_shared<DeviceEntry>();
    entry->device = std::move(device);
    entry->devInst = state_->nextDevInst++;
    state_->devices.push_back(std::move(entry));
}

void SimDevices::AddDevice(const std::string& instanceId,
                           const std::vector<std::string>& hardwareIds, bool present) {
    AddDevice(SimDevice{instanceId, EncodeMultiString(hardwareIds), present});
}

void SimDevices::SetRestartAfterRemoval(const std::string& instanceId) {
    state_->restartAfterRemoval.insert(instanceId);
}

void SimDevices::AddDevicesFromRegistry() {
    const SimRegistry& registry = state_->registry;
    for (const std::string& enumerator : registry.SubkeyNames(kEnumKey)) {
        const std::string enumeratorKey = std::string(kEnumKey) + "\\" + enumerator;
        for (const std::string& name : registry.SubkeyNames(enumeratorKey)) {
            for (const std::string& instance : registry.SubkeyNames(enumeratorKey + "\\" + name)) {
                const std::string id = enumerator + "\\" + name + "\\" + instance;
                const std::string key = std::string(kEnumKey) + "\\" + id;
                if (!registry.Value(key, "ClassGUID")) {
                    continue;
                }
                SimDevice device{id, std::nullopt, true};
                if (const std::optional<RegValue> ids = registry.Value(key, "HardwareID")) {
                    device.hardwareIds = ids->bytes;
                }
                AddDevice(std::move(device));
            }
        }
    }
}

std::vector<std::string> SimDevices::InstanceIds() const {
    std::vector<std::string> ids;
    for (const auto& entry : state_->devices) {
        ids.push_back(entry->device.instanceId);
    }
    return ids;
}

const std::vector<DeviceRemoval>& SimDevices::removals() const {
    return state_->removals;
}

int SimDevices::openSetCount() const {
    return state_->openSets;
}

std::string SimDevices::EncodeMultiString(const std::vector<std::string>& strings) {
    std::string encoded;
    for (const std::string& text : strings) {
        encoded += text;
        encoded.push_back('\0');
    }
    encoded.push_back('\0');
    return encoded;
}

}  // namespace drvsweep::sim
