#include "platform/win32/win32_file_facts.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/ansi_text.h"
#include "platform/win32/bound_function.h"
#include "platform/win32/scoped_handle.h"
#include "platform/win32/windows_api.h"

namespace drvsweep::win32 {

namespace {

using SfcIsFileProtectedCall = BOOL WINAPI(HANDLE rpcHandle, LPCWSTR path);
using GetFileVersionInfoSizeCall = DWORD WINAPI(LPCSTR path, LPDWORD handle);
using GetFileVersionInfoCall = BOOL WINAPI(LPCSTR path, DWORD handle, DWORD size, LPVOID data);
using VerQueryValueCall = BOOL WINAPI(LPCVOID block, LPCSTR subBlock, LPVOID* value, PUINT length);

// The errors with which GetFileVersionInfoSizeA says that a file it could read has no version
// resource: no resources at all, none of the type, name or language, or no executable image.
// Any other error (missing, held, denied) leaves the answer open.
bool MeansNoVersionResource(DWORD error) {
    switch (error) {
        case ERROR_RESOURCE_DATA_NOT_FOUND:
        case ERROR_RESOURCE_TYPE_NOT_FOUND:
        case ERROR_RESOURCE_NAME_NOT_FOUND:
        case ERROR_RESOURCE_LANG_NOT_FOUND:
        case ERROR_BAD_EXE_FORMAT:
        case ERROR_BAD_FORMAT:
            return true;
        default:
            return false;
    }
}

// The version block of one file, read once, whose string values are looked up by translation.
class VersionBlock {
public:
    VersionBlock(std::vector<char> data, VerQueryValueCall* query)
        : data_(std::move(data)), query_(query) {}

    // The first language and code page of \VarFileInfo\Translation as the eight hex digits of
    // a string table's name, or empty when the block lists none.
    std::string FirstTranslation() const {
        void* value = nullptr;
        UINT length = 0;
        if (!query_(data_.data(), "\\VarFileInfo\\Translation", &value, &length) ||
            length < 2 * sizeof(WORD) || !Inside(value, 2 * sizeof(WORD))) {
            return std::string();
        }
        WORD pair[2];
        std::memcpy(pair, value, sizeof pair);
        char name[9];
        std::snprintf(name, sizeof name, "%04X%04X", pair[0], pair[1]);
        return name;
    }

    // The non-empty CompanyName of the string table; false when the table or the value is
    // missing or empty. The text is read up to its NUL and never past the block.
    bool Company(const std::string& table, std::string* company) const {
        const std::string subBlock = "\\StringFileInfo\\" + table + "\\CompanyName";
        void* value = nullptr;
        UINT length = 0;
        if (!query_(data_.data(), subBlock.c_str(), &value, &length) || value == nullptr ||
            !Inside(value, 1)) {
            return false;
        }
        const char* text = static_cast<const char*>(value);
        const std::size_t room = static_cast<std::size_t>(data_.data() + data_.size() - text);
        const void* end = std::memchr(text, '\0', room);
        const std::size_t size =
            end == nullptr ? room : static_cast<std::size_t>(static_cast<const char*>(end) - text);
        if (size == 0) {
            return false;
        }
        company->assign(text, size);
        return true;
    }

private:
    bool Inside(const void* value, std::size_t size) const {
        const char* at = static_cast<const char*>(value);
        return at >= data_.data() && size <= data_.size() &&
               at <= data_.data() + data_.size() - size;
    }

    std::vector<char> data_;
    VerQueryValueCall* query_;
};

}  // namespace

FactAnswer Win32FileFacts::IsProtectedSystemFile(const char* path) {
    const ScopedLibrary sfc(LoadSystemLibrary("sfc.dll"));
    const auto isProtected = BoundFunction<SfcIsFileProtectedCall>(sfc.get(), "SfcIsFileProtected");
    std::wstring widePath;
    if (isProtected == nullptr || !WidenAnsi(path, &widePath)) {
        return FactAnswer::Unknown;
    }
    return isProtected(nullptr, widePath.c_str()) ? FactAnswer::Yes : FactAnswer::No;
}

FactAnswer Win32FileFacts::CompanyName(const char* path, std::string* company) {
    const ScopedLibrary version(LoadSystemLibrary("version.dll"));
    const auto getSize =
        BoundFunction<GetFileVersionInfoSizeCall>(version.get(), "GetFileVersionInfoSizeA");
    const auto getInfo =
        BoundFunction<GetFileVersionInfoCall>(version.get(), "GetFileVersionInfoA");
    const auto query = BoundFunction<VerQueryValueCall>(version.get(), "VerQueryValueA");
    if (getSize == nullptr || getInfo == nullptr || query == nullptr) {
        return FactAnswer::Unknown;
    }
    DWORD ignored = 0;
    const DWORD size = getSize(path, &ignored);
    if (size == 0) {
        return MeansNoVersionResource(GetLastError()) ? FactAnswer::No : FactAnswer::Unknown;
    }
    std::vector<char> data(size);
    if (!getInfo(path, 0, size, data.data())) {
        return FactAnswer::Unknown;
    }
    const VersionBlock block(std::move(data), query);
    for (const std::string& table :
         {block.FirstTranslation(), std::string("040904B0"), std::string("040904E4")}) {
        if (!table.empty() && block.Company(table, company)) {
            return FactAnswer::Yes;
        }
    }
    return FactAnswer::No;
}

}  // namespace drvsweep::win32
