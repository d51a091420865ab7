#include "removal/plan_item.h"

namespace drvsweep {

const char* PlanItemKindName(PlanItemKind kind) {
    switch (kind) {
        case PlanItemKind::DeviceInstance:
            return "deviceInstance";
        case PlanItemKind::RegistryKey:
            return "registryKey";
        case PlanItemKind::DriverFile:
            return "driverFile";
        case PlanItemKind::DriverPackage:
            return "infPackage";
        case PlanItemKind::DataSourceFolder:
            return "dataSourceFolder";
        case PlanItemKind::EmptyFolder:
            return "emptyFolder";
        case PlanItemKind::ComClassKey:
            return "comClassKey";
    }
    return "unknown";
}

}  // namespace drvsweep
