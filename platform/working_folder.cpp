#include "platform/working_folder.h"

namespace drvsweep {

SavedWorkingFolder::SavedWorkingFolder(FileSystem& files) : files_(files) {
    const std::uint32_t length = files_.CurrentFolder(folder_.data(), kMaxPath);
    saved_ = length > 0 && length < kMaxPath;
    if (!saved_) {
        folder_.clear();
    }
}

SavedWorkingFolder::~SavedWorkingFolder() {
    if (saved_) {
        files_.SetCurrentFolder(folder_.c_str());
    }
}

}  // namespace drvsweep
