#pragma once

#include <cstdint>
#include <vector>

#include "discovery/bus_kind.h"
#include "platform/platform.h"
#include "removal/plan_item.h"

namespace drvsweep {

// The items of each step of a built-in removal, there now or not, in the order the removal acts
// on them. The plan (PlanBuiltInRemoval) is made of these, in this order:
// - the device: on the NT family its device instances, named by devicePath; on the 9x family
//   the driver class key and then the device key (DeviceKeys9x), none when it names no device;
std::vector<PlanItem> DeviceItems(Platform& platform, const char* devicePath);
// - the driver files (DriverFilePaths);
std::vector<PlanItem> DriverFileItems(Platform& platform, const char* driverDll, BusKind busKind);
// - the INF as a driver package;
PlanItem DriverPackageItem(Platform& platform, const char* infPath);
// - the TWAIN data sources (TwainDataSourceTargets).
std::vector<PlanItem> DataSourceItems(Platform& platform, const char* twainFolder);

}  // namespace drvsweep
