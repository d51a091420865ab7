#pragma once

#include "platform/file_system.h"

namespace drvsweep {

// Deletes one file: its attributes are set to FILE_ATTRIBUTE_ARCHIVE alone, which clears
// read-only, hidden and system, and then it is deleted. Neither result is examined: a file
// that is missing or cannot be deleted is passed over in silence.
void DeleteOneFile(FileSystem& files, const char* path);

}  // namespace drvsweep
