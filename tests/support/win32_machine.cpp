#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/scoped_handle.h"
#include "platform/win32/win32_program_hand_over.h"
#include "platform/win32/win32_windows.h"
#include "platform/win32/windows_api.h"
#include "res/resource.h"
#include "tests/support/test_machine.h"

namespace drvsweep::testing {

namespace {

// A file_holder process (tests/wine/file_holder.cpp, named by DRVSWEEP_FILE_HOLDER), which
// lets the file go when its standard input is closed.
class HeldFile {
public:
    ~HeldFile() {
        input_.reset();
        if (process_.valid()) {
            WaitForSingleObject(process_.get(), 10000);
        }
    }

    bool Hold(const std::string& path) {
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

private:
    win32::ScopedKernelHandle input_;
    win32::ScopedKernelHandle process_;
};

// The Wine prefix the test runs in, as tests/wine/wine_run.sh seeded it from the scenario.
class Win32TestMachine : public TestMachine {
public:
    Platform& platform() override { return windows_.platform(); }

    bool HoldOpen(const std::string& path) override {
        held_.push_back(std::make_unique<HeldFile>());
        return held_.back()->Hold(path);
    }

private:
    win32::Win32Windows windows_;
    std::vector<std::unique_ptr<HeldFile>> held_;
};

}  // namespace

std::unique_ptr<TestMachine> OpenScenarioMachine() {
    EXPECT_FALSE(CurrentScenario().empty())
        << "no scenario seeded: run the test through tests/wine/wine_run.sh with "
           "DRVSWEEP_SCENARIO and DRVSWEEP_FIXTURES set";
    return std::make_unique<Win32TestMachine>();
}

std::unique_ptr<ProgramHandOver> OpenHandOverServices() {
    return std::make_unique<win32::Win32ProgramHandOver>(IDR_PROGRAM64);
}

}  // namespace drvsweep::testing
