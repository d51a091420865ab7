#pragma once

// The program's version, read by the version resource and shown by the About box.
#define DRVSWEEP_VERSION_MAJOR 1
#define DRVSWEEP_VERSION_MINOR 0
#define DRVSWEEP_VERSION_PATCH 0
#define DRVSWEEP_VERSION_TEXT "1.0.0"
