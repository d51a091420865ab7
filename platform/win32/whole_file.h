#pragma once

#include <string>

#include "platform/win32/windows_api.h"

namespace drvsweep::win32 {

// WriteFile of all the bytes at the file's position: true only when every byte was written.
bool WriteAll(HANDLE file, const std::string& bytes);

// CreateFileA with CREATE_ALWAYS, then WriteAll.
bool WriteWholeFileA(const char* path, const std::string& bytes);

}  // namespace drvsweep::win32
