#include "platform/sim/sim_program_hand_over.h"

namespace drvsweep::sim {

bool SimProgramHandOver::Fails(const char* call, const std::string& argument) {
    long ignored = 0;
    return faults_.ShouldFail(call, argument, &ignored);
}

std::string SimProgramHandOver::ParentOf(const std::string& path) {
    const std::size_t last = path.rfind('\\');
    return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}

Wow64Answer SimProgramHandOver::ProcessWow64State() {
    if (wow64_ != Wow64Answer::FunctionMissing && Fails("IsWow64Process", "")) {
        return Wow64Answer::CallFailed;
    }
    return wow64_;
}

bool SimProgramHandOver::CarriedProgram(ProgramImage* image) {
    if (!carried_) {
        return false;
    }
    image->bytes = reinterpret_cast<const std::uint8_t*>(carried_->data());
    image->size = carried_->size();
    return true;
}

bool SimProgramHandOver::TemporaryFolder(PathText* folder) {
    return !Fails("GetTempPathA", "") && folder->assign(temporary_.c_str());
}

FolderCreation SimProgramHandOver::CreateNewFolder(const char* path) {
    if (Fails("ConvertStringSecurityDescriptorToSecurityDescriptorA", path) ||
        Fails("CreateDirectoryA", path)) {
        return FolderCreation::Failed;
    }
    if (folders_.count(path) != 0 || files_.count(path) != 0) {
        return FolderCreation::AlreadyExists;
    }
    const std::string parent = ParentOf(path);
    const bool inTemporary = parent == temporary_ || parent == temporary_ + "\\";
    if (!inTemporary && folders_.count(parent.substr(0, parent.size() - 1)) == 0) {
        return FolderCreation::Failed;
    }
    folders_.insert(path);
    securedFolders_.insert(path);
    return FolderCreation::Created;
}

bool SimProgramHandOver::WriteNewFile(const char* path, const ProgramImage& image) {
    const std::string parent = ParentOf(path);
    if (Fails("CreateFileA", path) || files_.count(path) != 0 || parent.empty() ||
        folders_.count(parent.substr(0, parent.size() - 1)) == 0) {
        return false;
    }
    const std::string bytes(reinterpret_cast<const char*>(image.bytes), image.size);
    if (Fails("WriteFile", path)) {
        files_[path] = bytes.substr(0, bytes.size() / 2);
        return false;
    }
    files_[path] = bytes;
    return true;
}

bool SimProgramHandOver::HoldFile(const char* path) {
    if (Fails("CreateFileA", path) || files_.count(path) == 0) {
        return false;
    }
    held_ = path;
    return true;
}

ChildRun SimProgramHandOver::RunAndWait(const char* program, const char* commandLine) {
    const auto file = files_.find(program);
    if (Fails("CreateProcessA", program) || file == files_.end()) {
        return {};
    }
    runs_.push_back({program, commandLine, file->second, held_ == program});
    if (Fails("GetExitCodeProcess", program)) {
        return {true, false, 0};
    }
    return {true, true, childExitCode_};
}

bool SimProgramHandOver::DeleteOneFile(const char* path) {
    if (Fails("DeleteFileA", path) || held_ == path) {
        return false;
    }
    return files_.erase(path) != 0;
}

bool SimProgramHandOver::RemoveFolder(const char* path) {
    if (Fails("RemoveDirectoryA", path) || folders_.count(path) == 0) {
        return false;
    }
    const std::string inside = std::string(path) + "\\";
    for (const auto& entry : files_) {
        if (entry.first.compare(0, inside.size(), inside) == 0) {
            return false;
        }
    }
    folders_.erase(path);
    return true;
}

}  // namespace drvsweep::sim
