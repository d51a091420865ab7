#pragma once

#include "discovery/scanner_table.h"
#include "platform/fixed_text.h"
#include "platform/inf_files.h"
#include "platform/platform.h"

namespace drvsweep {

// How the install section of a package was found.
enum class InstallSectionSource {
    None,        // neither the driver key nor a models line names one
    DriverKey,   // the device's driver key: what Windows ran
    ModelsLine,  // the models line of the scanner's hardware ID, decorated as Windows picks it
};

// The install section of `inf` (the package at package.infPath) for the scanner's device. On the
// NT family, when a device instance of package.devicePath was installed from an INF of this
// file name, its driver key names the section ("InfSection" followed by "InfSectionExt").
// Otherwise the first models line that lists the hardware ID (case ignored, as the INF search
// matches it) names the base, and the section is the first of its decorations that the INF
// has: ".NTamd64", ".NT" and none on 64-bit Windows, ".NTx86", ".NT" and none on 32-bit NT,
// none on the 9x family. Models sections decorated for another architecture are passed over.
InstallSectionSource FindInstallSection(Platform& platform, InfFile& inf,
                                        const ScannerRecord& package, PathText* section);

}  // namespace drvsweep
