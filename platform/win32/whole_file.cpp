#include "platform/win32/whole_file.h"

#include "platform/win32/scoped_handle.h"

namespace drvsweep::win32 {

bool WriteAll(HANDLE file, const std::string& bytes) {
    DWORD written = 0;
    return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

bool WriteWholeFileA(const char* path, const std::string& bytes) {
    const ScopedFile file(CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.valid() && WriteAll(file.get(), bytes);
}

}  // namespace drvsweep::win32
