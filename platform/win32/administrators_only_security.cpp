#include "platform/win32/administrators_only_security.h"

#include "platform/win32/bound_function.h"

namespace drvsweep::win32 {

namespace {

// Owner BA (Administrators); DACL protected (P), two ACEs allowing (A) full file access (FA),
// inherited by files (OI) and folders (CI), to BA and SY (SYSTEM).
constexpr const char* kAdministratorsOnly = "O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)";
constexpr DWORD kSddlRevision1 = 1;

using ConvertCall = BOOL WINAPI(LPCSTR, DWORD, PSECURITY_DESCRIPTOR*, PULONG);
using LocalFreeCall = HLOCAL WINAPI(HLOCAL);

}  // namespace

AdministratorsOnlySecurity::AdministratorsOnlySecurity() {
    attributes_.nLength = sizeof attributes_;
    const auto convert = BoundFunction<ConvertCall>(
        GetModuleHandleA("advapi32.dll"), "ConvertStringSecurityDescriptorToSecurityDescriptorA");
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (convert != nullptr && convert(kAdministratorsOnly, kSddlRevision1, &descriptor, nullptr)) {
        attributes_.lpSecurityDescriptor = descriptor;
    }
}

AdministratorsOnlySecurity::~AdministratorsOnlySecurity() {
    const auto localFree =
        BoundFunction<LocalFreeCall>(GetModuleHandleA("kernel32.dll"), "LocalFree");
    if (attributes_.lpSecurityDescriptor != nullptr && localFree != nullptr) {
        localFree(attributes_.lpSecurityDescriptor);
    }
}

bool MakeAdministratorsOnlyFolder(const char* path) {
    AdministratorsOnlySecurity security;
    return security.attributes() != nullptr &&
           (CreateDirectoryA(path, security.attributes()) != FALSE ||
            GetLastError() == ERROR_ALREADY_EXISTS);
}

}  // namespace drvsweep::win32
