#pragma once

#include "platform/file_system.h"
#include "platform/fixed_text.h"

namespace drvsweep {

// Saves the process's working directory and puts it back when it goes out of scope, so that
// every way out of an operation that changes it ends in the directory it began in.
class SavedWorkingFolder {
public:
    explicit SavedWorkingFolder(FileSystem& files);
    ~SavedWorkingFolder();
    SavedWorkingFolder(const SavedWorkingFolder&) = delete;
    SavedWorkingFolder& operator=(const SavedWorkingFolder&) = delete;

    // False when the directory could not be read into 260 bytes: then it could not be put
    // back, and the caller must not change it.
    bool saved() const { return saved_; }

private:
    FileSystem& files_;
    PathText folder_;
    bool saved_ = false;
};

}  // namespace drvsweep
