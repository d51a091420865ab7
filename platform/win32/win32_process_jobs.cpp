#include "platform/win32/win32_process_jobs.h"

#include <string>
#include <utility>

#include "platform/win32/scoped_handle.h"
#include "platform/win32/windows_api.h"

namespace drvsweep::win32 {

namespace {

constexpr DWORD kPollMilliseconds = 200;

using CreateJobObjectCall = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, LPCSTR);
using AssignProcessToJobObjectCall = BOOL(WINAPI*)(HANDLE, HANDLE);
using TerminateJobObjectCall = BOOL(WINAPI*)(HANDLE, UINT);
using QueryInformationJobObjectCall = BOOL(WINAPI*)(HANDLE, JOBOBJECTINFOCLASS, LPVOID, DWORD,
                                                    LPDWORD);

template <typename Function>
Function KernelCall(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name)));
}

class Win32ProgramJob : public ProgramJob {
public:
    Win32ProgramJob(ScopedKernelHandle job, ScopedKernelHandle process)
        : job_(std::move(job)), process_(std::move(process)) {}

    bool WaitForAll(std::uint32_t milliseconds) override {
        const auto query = KernelCall<QueryInformationJobObjectCall>("QueryInformationJobObject");
        if (!job_.valid() || query == nullptr) {
            return WaitForSingleObject(process_.get(), milliseconds) == WAIT_OBJECT_0;
        }
        for (std::uint32_t waited = 0;; waited += kPollMilliseconds) {
            JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting = {};
            if (!query(job_.get(), JobObjectBasicAccountingInformation, &accounting,
                       sizeof accounting, nullptr)) {
                return WaitForSingleObject(process_.get(), milliseconds) == WAIT_OBJECT_0;
            }
            if (accounting.ActiveProcesses == 0) {
                return true;
            }
            if (milliseconds != kWaitForever && waited >= milliseconds) {
                return false;
            }
            Sleep(kPollMilliseconds);
        }
    }

    void EndAll() override {
        const auto terminate = KernelCall<TerminateJobObjectCall>("TerminateJobObject");
        if (job_.valid() && terminate != nullptr) {
            terminate(job_.get(), 1);
        } else {
            TerminateProcess(process_.get(), 1);
        }
    }

private:
    ScopedKernelHandle job_;
    ScopedKernelHandle process_;
};

}  // namespace

std::unique_ptr<ProgramJob> Win32ProcessJobs::StartInJob(const char* program,
                                                         const char* parameters) {
    // The program part of a registered command line may keep the quote that opened it.
    std::string path = program;
    if (!path.empty() && path[0] == '"') {
        path.erase(0, 1);
    }
    std::string commandLine = "\"" + path + "\" " + parameters;

    ScopedKernelHandle job;
    const auto createJob = KernelCall<CreateJobObjectCall>("CreateJobObjectA");
    if (createJob != nullptr) {
        *job.receive() = createJob(nullptr, nullptr);
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    // A fleet tool may run DrvSweep in a job of its own: the uninstaller is taken out of it
    // where that job allows, and otherwise started inside it.
    BOOL ok = CreateProcessA(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE,
                             CREATE_SUSPENDED | CREATE_BREAKAWAY_FROM_JOB, nullptr, nullptr,
                             &startup, &started);
    if (!ok) {
        ok = CreateProcessA(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE,
                            CREATE_SUSPENDED, nullptr, nullptr, &startup, &started);
    }
    if (!ok) {
        return nullptr;
    }
    ScopedKernelHandle process(started.hProcess);
    const auto assign = KernelCall<AssignProcessToJobObjectCall>("AssignProcessToJobObject");
    if (job.valid() && (assign == nullptr || !assign(job.get(), started.hProcess))) {
        job.reset();
    }
    ResumeThread(started.hThread);
    CloseHandle(started.hThread);
    return std::make_unique<Win32ProgramJob>(std::move(job), std::move(process));
}

}  // namespace drvsweep::win32
