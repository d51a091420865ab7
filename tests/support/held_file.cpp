#include "tests/support/held_file.h"

#include <cstdlib>

#include "platform/win32/windows_api.h"

namespace drvsweep::testing {

HeldFile::~HeldFile() {
    input_.reset();
    if (process_.valid()) {
        WaitForSingleObject(process_.get(), 10000);
    }
}

bool HeldFile::Hold(const std::string& path) {
    const char* holder = std::getenv("DRVSWEEP_FILE_HOLDER");
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    win32::ScopedKernelHandle childInput;
    win32::ScopedKernelHandle childOutput;
    win32::ScopedKernelHandle output;
    if (holder == nullptr || !CreatePipe(childInput.receive(), input_.receive(), &inherit, 0) ||
        !CreatePipe(output.receive(), childOutput.receive(), &inherit, 0) ||
        !SetHandleInformation(input_.get(), HANDLE_FLAG_INHERIT, 0) ||
        !SetHandleInformation(output.get(), HANDLE_FLAG_INHERIT, 0)) {
        return false;
    }
    std::string commandLine = std::string("\"") + holder + "\" \"" + path + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = childInput.get();
    startup.hStdOutput = childOutput.get();
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION started = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &started)) {
        return false;
    }
    CloseHandle(started.hThread);
    *process_.receive() = started.hProcess;
    childOutput.reset();
    char answer = 0;
    DWORD read = 0;
    return ReadFile(output.get(), &answer, 1, &read, nullptr) && read == 1 && answer == '1';
}

}  // namespace drvsweep::testing
