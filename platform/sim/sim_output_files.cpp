#include "platform/sim/sim_output_files.h"

#include <string>

namespace drvsweep::sim {

namespace {

std::string ParentOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

}  // namespace

bool SimOutputFiles::CanWrite(const char* path) {
    long error = 0;
    if (faults_.ShouldFail("CreateFileA", path, &error)) {
        return false;
    }
    const std::string parent = ParentOf(path);
    return files_.Attributes(parent) != kInvalidFileAttributes &&
           (files_.Attributes(parent) & kFileAttributeDirectory) != 0 &&
           (files_.Attributes(path) == kInvalidFileAttributes ||
            (files_.Attributes(path) & (kFileAttributeDirectory | kFileAttributeReadOnly)) == 0);
}

bool SimOutputFiles::WriteWholeFile(const char* path, const std::string& bytes) {
    return CanWrite(path) && files_.AddFile(path, bytes);
}

bool SimOutputFiles::AppendToFile(const char* path, const std::string& bytes) {
    std::string existing;
    files_.ReadFile(path, &existing);
    return CanWrite(path) && files_.AddFile(path, existing + bytes);
}

std::int64_t SimOutputFiles::FileSize(const char* path) {
    std::string bytes;
    return files_.ReadFile(path, &bytes) ? static_cast<std::int64_t>(bytes.size()) : -1;
}

bool SimOutputFiles::MoveReplacing(const char* from, const char* to) {
    std::string bytes;
    if (!files_.ReadFile(from, &bytes) || !CanWrite(to) || !files_.AddFile(to, bytes)) {
        return false;
    }
    return files_.RemoveFile(from);
}

bool SimOutputFiles::RemoveOutputFile(const char* path) {
    return files_.RemoveFile(path);
}

bool SimOutputFiles::MakeAdministratorsFolder(const char* path) {
    long error = 0;
    if (faults_.ShouldFail("ConvertStringSecurityDescriptorToSecurityDescriptorA", path, &error) ||
        faults_.ShouldFail("CreateDirectoryA", path, &error)) {
        return false;
    }
    if (files_.Exists(path)) {
        return true;
    }
    if (!files_.AddFolder(path)) {
        return false;
    }
    securedFolders_.insert(path);
    return true;
}

}  // namespace drvsweep::sim
