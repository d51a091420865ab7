#include "removal/package_install.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "discovery/inf_sections.h"
#include "platform/text_reads.h"

namespace drvsweep {

namespace {

constexpr long kSystemDirid = 11;
constexpr long kDriverStoreDirid = 13;

struct Destination {
    long dirid = kSystemDirid;
    PathText subfolder;
};

bool ParseDirid(const char* text, long* dirid) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0') {
        return false;
    }
    *dirid = value;
    return true;
}

// "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}", hex digits in either case.
bool IsGuidText(const char* text) {
    if (text[0] != '{' || std::strlen(text) < 38 || text[37] != '}') {
        return false;
    }
    for (int i = 1; i < 37; ++i) {
        const bool dashPlace = i == 9 || i == 14 || i == 19 || i == 24;
        const bool hex = std::isxdigit(static_cast<unsigned char>(text[i])) != 0;
        if (dashPlace ? text[i] != '-' : !hex) {
            return false;
        }
    }
    return true;
}

// The line's key, compared without case, is `key`.
bool KeyIs(InfFile& inf, const CodePage& codePage, const InfLine& line, const char* key) {
    PathText text;
    return ReadStringField(inf, line, 0, &text) && EqualsIgnoringCase(codePage, text.c_str(), key);
}

// Reads "dirid[,subdir]" from a [DestinationDirs] line; false when the DIRID is not a number.
bool ReadDestinationLine(InfFile& inf, const InfLine& line, Destination* destination) {
    PathText dirid;
    if (!ReadStringField(inf, line, 1, &dirid) || !ParseDirid(dirid.c_str(), &destination->dirid)) {
        return false;
    }
    if (inf.FieldCount(line) < 2 || !ReadStringField(inf, line, 2, &destination->subfolder)) {
        destination->subfolder.clear();
    }
    return true;
}

// The destination of a file-list section ("DefaultDestDir" for the "@file" form). Every
// [DestinationDirs] header of the INF reads as one section, as the Setup API merges them.
Destination FindDestination(InfFile& inf, const CodePage& codePage, const char* listSection,
                            bool* readable) {
    Destination found;
    *readable = true;
    for (const char* key : {listSection, "DefaultDestDir"}) {
        bool hit = false;
        VisitSectionContexts(inf, "DestinationDirs", [&](const InfLine& line) {
            if (!KeyIs(inf, codePage, line, key)) {
                return false;
            }
            hit = true;
            *readable = ReadDestinationLine(inf, line, &found);
            return true;
        });
        if (hit) {
            return found;
        }
    }
    return found;
}

class InstallReader {
public:
    InstallReader(Platform& platform, const DriverFolders& folders, InfFile& inf)
        : codePage_(platform.version.AnsiCodePage()), folders_(folders), inf_(inf) {}

    void ReadSection(const char* section) {
        VisitSectionContexts(inf_, section, [&](const InfLine& line) {
            if (KeyIs(inf_, codePage_, line, "CopyFiles")) {
                ForEachField(line, [&](const char* field) { ReadCopyField(field); });
            } else if (KeyIs(inf_, codePage_, line, "AddReg")) {
                ForEachField(line, [&](const char* field) { ReadAddReg(field); });
            }
            return false;
        });
    }

    PackageInstall result;

private:
    template <typename Visit>
    void ForEachField(const InfLine& line, Visit visit) {
        const std::uint32_t count = inf_.FieldCount(line);
        for (std::uint32_t index = 1; index <= count; ++index) {
            PathText field;
            if (ReadStringField(inf_, line, index, &field) && !field.empty()) {
                visit(field.c_str());
            }
        }
    }

    void ReadCopyField(const char* field) {
        if (field[0] == '@') {
            AddFile(field + 1, FindDestination(inf_, codePage_, "", &readable_));
            return;
        }
        const Destination destination = FindDestination(inf_, codePage_, field, &readable_);
        VisitSectionContexts(inf_, field, [&](const InfLine& line) {
            PathText name;
            if (ReadStringField(inf_, line, 1, &name) && !name.empty()) {
                AddFile(name.c_str(), destination);
            }
            return false;
        });
    }

    void Refuse(const char* path, const char* reason) {
        RefusedEntry entry;
        if (!entry.path.assign(path)) {
            entry.path.assign("(a name longer than a path)");
        }
        entry.reason = reason;
        result.refused.push_back(entry);
    }

    // The destination folder of a destination, or false (with the entry refused).
    bool DestinationFolder(const char* name, const Destination& destination, PathText* folder) {
        if (!readable_) {
            Refuse(name, "its destination in [DestinationDirs] cannot be read");
            return false;
        }
        if (destination.dirid == kDriverStoreDirid) {
            return false;  // the driver store's copy goes with the package
        }
        if (!folders_.ResolveDirid(destination.dirid, folder)) {
            Refuse(name, "its destination is not a driver folder");
            return false;
        }
        if (!destination.subfolder.empty()) {
            if (!IsPlainSubfolder(codePage_, destination.subfolder.c_str())) {
                Refuse(name, "its destination subfolder is not a plain folder name");
                return false;
            }
            if (!folder->appendAll("\\", destination.subfolder)) {
                Refuse(name, "its destination does not fit a path");
                return false;
            }
        }
        return true;
    }

    void AddFile(const char* name, const Destination& destination) {
        if (!IsPlainInstalledName(codePage_, name)) {
            Refuse(name, "not a plain file name");
            return;
        }
        PathText folder;
        if (!DestinationFolder(name, destination, &folder)) {
            return;
        }
        PathText path;
        if (!path.appendAll(folder, "\\", name)) {
            Refuse(name, "its path does not fit");
            return;
        }
        if (!folders_.MayDeleteIn(folder.c_str())) {
            Refuse(path.c_str(), "outside the driver folders");
            return;
        }
        AddOnce(&result.files, path);
        if (folders_.TwainRootAbove(folder.c_str()) != nullptr) {
            AddOnce(&result.dataSourceFolders, folder);
        }
    }

    void AddOnce(std::vector<PathText>* paths, const PathText& path) const {
        for (const PathText& listed : *paths) {
            if (EqualsIgnoringCase(codePage_, listed.c_str(), path.c_str())) {
                return;
            }
        }
        paths->push_back(path);
    }

    // HKCR,CLSID\{guid}\InProcServer32,,,server (or LocalServer32), the default value only.
    void ReadAddReg(const char* section) {
        VisitSectionContexts(inf_, section, [&](const InfLine& line) {
            PathText root;
            PathText subkey;
            PathText valueName;
            PathText server;
            if (!ReadStringField(inf_, line, 1, &root) ||
                !EqualsIgnoringCase(codePage_, root.c_str(), "HKCR") ||
                !ReadStringField(inf_, line, 2, &subkey) ||
                (ReadStringField(inf_, line, 3, &valueName) && !valueName.empty()) ||
                !ReadStringField(inf_, line, 5, &server)) {
                return false;
            }
            ComServer com;
            if (ClassKeyOfServerKey(subkey.c_str(), &com.classKey) &&
                ServerPath(server.c_str(), &com.server)) {
                result.comServers.push_back(com);
            }
            return false;
        });
    }

    // "CLSID\{8-4-4-4-12}\InProcServer32" or "...\LocalServer32" gives the class key.
    bool ClassKeyOfServerKey(const char* subkey, PathText* classKey) const {
        constexpr std::size_t kGuidLength = 38;
        if (!StartsWithIgnoringCase(codePage_, subkey, "CLSID\\") ||
            std::strlen(subkey) < 6 + kGuidLength + 1) {
            return false;
        }
        const char* guid = subkey + 6;
        if (!IsGuidText(guid)) {
            return false;
        }
        const char* server = guid + kGuidLength;
        if (!EqualsIgnoringCase(codePage_, server, "\\InProcServer32") &&
            !EqualsIgnoringCase(codePage_, server, "\\LocalServer32")) {
            return false;
        }
        PathText clsid;
        PathText key;
        if (!clsid.assign(subkey, 6 + kGuidLength) ||
            !key.appendAll("Software\\Classes\\", clsid)) {
            return false;
        }
        *classKey = key;
        return true;
    }

    // The server's full path: as written when it has a drive, "%dirid%\name" resolved, and a
    // bare name in the system folder, where Windows' search finds it.
    bool ServerPath(const char* text, PathText* path) const {
        PathText folder;
        const char* rest = text;
        if (text[0] != '\0' && text[1] == ':') {
            return path->assign(text);
        }
        if (text[0] == '%') {
            const char* close = std::strchr(text + 1, '%');
            PathText number;
            long dirid = 0;
            if (close == nullptr || !number.assign(text + 1, close - text - 1) ||
                !ParseDirid(number.c_str(), &dirid) || !folders_.ResolveDirid(dirid, &folder) ||
                close[1] != '\\') {
                return false;
            }
            rest = close + 2;
        } else if (!folders_.ResolveDirid(kSystemDirid, &folder)) {
            return false;
        }
        return IsPlainInstalledName(codePage_, rest) && path->appendAll(folder, "\\", rest);
    }

    const CodePage codePage_;
    const DriverFolders& folders_;
    InfFile& inf_;
    bool readable_ = true;
};

}  // namespace

PackageInstall ReadPackageInstall(Platform& platform, const DriverFolders& folders, InfFile& inf,
                                  const char* section) {
    InstallReader reader(platform, folders, inf);
    reader.ReadSection(section);
    return reader.result;
}

}  // namespace drvsweep
