#pragma once

// The program's version and its publisher: the one place they are written. The version
// resource, the About box, /version, the JSON reports and the log all read them from here.
#define DRVSWEEP_VERSION_MAJOR 1
#define DRVSWEEP_VERSION_MINOR 0
#define DRVSWEEP_VERSION_PATCH 0

#define DRVSWEEP_VERSION_QUOTE(text) #text
#define DRVSWEEP_VERSION_STRING(text) DRVSWEEP_VERSION_QUOTE(text)
// "major.minor.patch", spelled from the three numbers above.
#define DRVSWEEP_VERSION_TEXT \
    DRVSWEEP_VERSION_STRING(DRVSWEEP_VERSION_MAJOR.DRVSWEEP_VERSION_MINOR.DRVSWEEP_VERSION_PATCH)

#define DRVSWEEP_COMPANY_NAME "Quorin"
#define DRVSWEEP_PRODUCT_NAME "DrvSweep"
