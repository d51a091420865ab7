#include "removal/one_file.h"

#include "platform/win32_codes.h"

namespace drvsweep {

void DeleteOneFile(FileSystem& files, const char* path) {
    files.SetAttributes(path, kFileAttributeArchive);
    files.RemoveFile(path);
}

}  // namespace drvsweep
