#include "discovery/driver_fields.h"

#include "discovery/driver_inf.h"

namespace drvsweep {

namespace {

bool FillUsbDriverFields(DriverInfLookup& lookup, ScannerRecord& row) {
    PathText folder;
    PathText dll;
    switch (lookup.ReadTwainFolder(row.infPath.c_str(), &folder)) {
        case TwainFolderRead::kNoTwainLine:
            return true;
        case TwainFolderRead::kFolder:
            if (!dll.appendAll(folder, ".dll")) {
                return false;
            }
            row.twainFolder = folder;
            row.driverDll = dll;
            return true;
        case TwainFolderRead::kRefused:
            break;
    }
    return false;
}

bool FillPcCardDriverFields(Platform& platform, ScannerRecord& row) {
    const bool nt = CurrentFamily(platform.version) == Family::Nt;
    return row.twainFolder.assign("Orbdrv") && row.driverDll.assign("Orbdrv.dll") &&
           row.kernelDriver.assign(nt ? "Orbdrv.sys" : "Orbdrv.vxd");
}

}  // namespace

bool FillDriverFields(Platform& platform, DriverInfLookup& lookup, ScannerRecord& row) {
    return row.busKind == BusKind::PcCard ? FillPcCardDriverFields(platform, row)
                                          : FillUsbDriverFields(lookup, row);
}

}  // namespace drvsweep
