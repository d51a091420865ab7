#pragma once

#include <cstdint>
#include <string>

namespace drvsweep {

// What Windows can tell about a file a driver package installed, before the removal decides to
// delete it. Every call is bound at run time: the program must load on systems that lack them.
enum class FactAnswer { No, Yes, Unknown };

class FileFacts {
public:
    virtual ~FileFacts() = default;

    // SfcIsFileProtected(NULL, path) of sfc.dll, the path widened from the ANSI code page. Unknown
    // where the system has no such call (98 SE, Windows 2000 before its sfc.dll, Wine answers
    // No) or the path cannot be widened.
    virtual FactAnswer IsProtectedSystemFile(const char* path) = 0;

    // The CompanyName of the file's version resource (GetFileVersionInfoSizeA,
    // GetFileVersionInfoA, VerQueryValueA of version.dll), in its first translation, then in
    // "040904B0" and "040904E4". Yes with *company set when there is one; No when the file has
    // no version resource or no company in it; Unknown when the file cannot be read (missing,
    // held, denied) or version.dll has no such calls. *company is untouched unless Yes.
    virtual FactAnswer CompanyName(const char* path, std::string* company) = 0;
};

}  // namespace drvsweep
