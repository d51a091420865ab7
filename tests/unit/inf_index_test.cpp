#include "discovery/inf_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "discovery/scanner_table.h"
#include "platform/sim/sim_scenario.h"
#include "platform/sim/sim_windows.h"
#include "tests/support/table_dump.h"
#include "tests/support/test_machine.h"

namespace drvsweep {
namespace {

using testing::DumpScannerTable;

ScannerTable table;

// How many calls of the named Win32 function the machine has seen since its call `from`.
long CallsOf(sim::SimWindows& machine, const std::string& function, std::size_t from = 0) {
    const std::vector<std::string>& calls = machine.faults().calls();
    return std::count_if(
        calls.begin() + static_cast<long>(from), calls.end(),
        [&](const std::string& call) { return call.rfind(function + " ", 0) == 0; });
}

// How many times the INF folder was listed: each pass over it begins with one FindFirstFileA.
long FolderPasses(sim::SimWindows& machine) {
    return CallsOf(machine, "FindFirstFileA");
}

std::string WorkingFolder(Platform& platform) {
    PathText folder;
    platform.files.CurrentFolder(folder.data(), kMaxPath);
    return folder.c_str();
}

// The scan with its one-pass index and the scan in which every device searches afresh, on
// the same machine: the tables must be the same, and only the first may read the folder once.
void ExpectCachedScanEqualsUncached(sim::SimWindows& machine) {
    Platform& platform = machine.platform();
    const std::string folderBefore = WorkingFolder(platform);
    UncachedInfLookup uncached(platform);
    ScanInstalledScanners(platform, table, uncached);
    const std::string expected = DumpScannerTable(table);

    const long passesBefore = FolderPasses(machine);
    ScanInstalledScanners(platform, table);
    EXPECT_EQ(DumpScannerTable(table), expected);
    EXPECT_LE(FolderPasses(machine) - passesBefore, 1);
    EXPECT_EQ(WorkingFolder(platform), folderBefore);
    EXPECT_EQ(machine.openHandles(), 0);
}

TEST(InfIndexFixtures, EveryFixtureMachineGivesTheUncachedTable) {
    int machines = 0;
    for (const auto& entry : std::filesystem::directory_iterator(testing::FixturePath(""))) {
        if (!std::filesystem::exists(entry.path() / "machine.reg")) {
            continue;
        }
        SCOPED_TRACE(entry.path().filename().string());
        sim::SimWindows machine;
        std::string error;
        ASSERT_TRUE(sim::LoadScenario(entry.path().string(), &machine, &error)) << error;
        ExpectCachedScanEqualsUncached(machine);
        ++machines;
    }
    EXPECT_GE(machines, 10);
}

// A machine of many INF files and scanners drawn from a seed: scanners that share INF files
// and INF files that list the same scanner, hardware IDs in either case and with revision
// suffixes, INF files that do not open (unsigned, or refused by the Setup API) among the
// others, [Manufacturer] lines that name a section twice, name missing sections or carry
// decorations, models lines over 259 characters, and scanners without a description.
class GeneratedMachine {
public:
    explicit GeneratedMachine(unsigned seed) : random_(seed) {
        nt_ = Draw(3) != 0;
        machine_.SetFamily(nt_ ? Family::Nt : Family::Win9x);
        const int usb = 2 + Draw(10);
        const int pcCard = Draw(3);
        for (int i = 0; i < usb + pcCard; ++i) {
            const bool isUsb = i < usb;
            const std::string name = isUsb ? "VID_0C6E&PID_" + std::to_string(1000 + Draw(40))
                                           : "QUORIN-ROAMDOC-" + std::to_string(i);
            ids_.push_back((isUsb ? "USB\\" : "PCMCIA\\") + name);
            const std::string key = std::string(nt_ ? "SYSTEM\\CurrentControlSet\\" : "") +
                                    "Enum\\" + (isUsb ? "USB\\" : "PCMCIA\\") + name;
            if (Draw(6) == 0) {
                machine_.registry().CreateKey(key);
            } else {
                machine_.registry().SetString(key + "\\1", "DeviceDesc", "Scanner " + name);
            }
            // Some devices name their own INF through their driver key, in either case, and
            // some name one that is not there.
            if (Draw(3) == 0) {
                const std::string driver = "{6bdd1fc6}\\" + std::to_string(i);
                machine_.registry().SetString(key + "\\1", "Driver", driver);
                machine_.registry().SetString(
                    "SYSTEM\\CurrentControlSet\\Control\\Class\\" + driver, "InfPath",
                    (Draw(2) == 0 ? "oem" : "OEM") + std::to_string(Draw(90)) + ".inf");
            }
        }
        const int infCount = 20 + Draw(60);
        const int refused = Draw(infCount);
        for (int i = 0; i < infCount; ++i) {
            const std::string name = (nt_ ? "oem" : "drv") + std::to_string(i) + ".inf";
            machine_.files().AddFile(Folder() + name, InfText(i));
            if (i == refused) {
                machine_.faults().Add({"SetupOpenInfFileA", "\\" + name});
            }
        }
    }

    sim::SimWindows& machine() { return machine_; }

private:
    int Draw(int below) { return std::uniform_int_distribution<int>(0, below - 1)(random_); }

    std::string Folder() const { return nt_ ? "C:\\windows\\inf\\" : "C:\\windows\\inf\\other\\"; }

    // A models line that lists one of the scanners, or another maker's device. Every third
    // scanner is listed only in lines over 259 characters, which no search can read.
    std::string ModelsLine() {
        const int scanner = Draw(static_cast<int>(ids_.size()));
        const bool otherMaker = Draw(3) == 0;
        std::string id =
            otherMaker ? "USB\\VID_04A9&PID_" + std::to_string(Draw(100)) : ids_[scanner];
        if (Draw(2) == 0) {
            std::transform(id.begin(), id.end(), id.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        }
        if (Draw(3) == 0) {
            id += "&REV_0100";
        }
        const bool tooLong = (!otherMaker && scanner % 3 == 0) || Draw(8) == 0;
        return "%Dev%=Install," + (tooLong ? std::string(260, 'P') + "," : "") + id;
    }

    std::string InfText(int index) {
        if (Draw(12) == 0) {
            return "[Manufacturer]\r\nQ=Models\r\n[Models]\r\n" + ModelsLine() + "\r\n";
        }
        const int sections = 1 + Draw(3);
        std::string manufacturer;
        std::string models;
        for (int s = 0; s < sections; ++s) {
            const std::string section = "Models" + std::to_string(s);
            manufacturer += "%Mfg%=" + section + "\r\n";
            if (Draw(4) == 0) {
                manufacturer += "%Mfg%=" + section + "\r\n";
            }
            if (Draw(5) == 0) {
                manufacturer +=
                    "%Mfg%=" + section + ",NTx86\r\nOther=Missing" + std::to_string(s) + "\r\n";
            }
            models += "[" + section + "]\r\n";
            for (int line = Draw(6); line > 0; --line) {
                models += ModelsLine() + "\r\n";
            }
        }
        return "[Version]\r\nSignature=\"$Windows NT$\"\r\n[Manufacturer]\r\n" + manufacturer +
               models + "[DestinationDirs]\r\nTw=10,twain_32\\Maker" + std::to_string(index) +
               "\r\n[Strings]\r\nMfg=\"Maker\"\r\n";
    }

    std::mt19937 random_;
    bool nt_ = true;
    std::vector<std::string> ids_;
    sim::SimWindows machine_;
};

TEST(InfIndexGenerated, GeneratedMachinesGiveTheUncachedTable) {
    int withInf = 0;
    int withoutInf = 0;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        GeneratedMachine generated(seed);
        ExpectCachedScanEqualsUncached(generated.machine());
        for (int row = 0; row <= table.lastIndex; ++row) {
            ++(table.rows[row].infPath.empty() ? withoutInf : withInf);
        }
    }
    // The machines must give both outcomes often, or the comparison would prove little.
    EXPECT_GT(withInf, 50);
    EXPECT_GT(withoutInf, 50);
}

constexpr char kUsbTree[] = "SYSTEM\\CurrentControlSet\\Enum\\USB\\";

std::string Inf(const std::string& models) {
    return "[Version]\r\nSignature=\"$Windows NT$\"\r\n[Manufacturer]\r\n%Mfg%=Models\r\n"
           "[Models]\r\n" +
           models + "\r\n[DestinationDirs]\r\nTw=10,twain_32\\Sample\r\n[Strings]\r\nMfg=Q\r\n";
}

class InfIndexTest : public ::testing::Test {
protected:
    void SetUp() override {
        machine.files().AddFolder("C:\\work");
        ASSERT_TRUE(machine.files().SetCurrentFolder("C:\\work"));
        for (int i = 1; i <= 3; ++i) {
            machine.files().AddFile("C:\\windows\\inf\\oem" + std::to_string(i) + ".inf",
                                    Inf("D=I,USB\\VID_0C6E&PID_000" + std::to_string(i)));
        }
    }

    // One lookup through the index, checked for what holds on every way out of it.
    std::string Find(InfIndex& index, const std::string& hardwareId) {
        PathText found;
        EXPECT_TRUE(found.assign("untouched"));
        const int result = index.FindDriverInf(hardwareId.c_str(), &found);
        EXPECT_EQ(machine.files().currentFolder(), "C:\\work");
        EXPECT_EQ(machine.openHandles(), 0);
        if (result == 0) {
            EXPECT_STREQ(found.c_str(), "untouched");
            return "<none>";
        }
        return found.c_str();
    }

    sim::SimWindows machine;
};

TEST_F(InfIndexTest, TheFolderIsReadOnceAtTheFirstLookupAndAnsweredFromMemoryAfter) {
    InfIndex index(machine.platform());
    EXPECT_EQ(FolderPasses(machine), 0) << "nothing is read before the first lookup";
    EXPECT_EQ(Find(index, "usb\\vid_0c6e&pid_0003"), "C:\\windows\\inf\\oem3.inf");
    EXPECT_EQ(FolderPasses(machine), 1);
    const std::size_t callsAfterPass = machine.faults().calls().size();
    EXPECT_EQ(Find(index, "USB\\VID_0C6E&PID_0001"), "C:\\windows\\inf\\oem1.inf");
    EXPECT_EQ(Find(index, "USB\\VID_0C6E&PID_0009"), "<none>");
    EXPECT_EQ(Find(index, ""), "C:\\windows\\inf\\oem1.inf") << "as strstr finds \"\"";
    EXPECT_EQ(Find(index, std::string(260, 'U')), "<none>");
    // Only the family and the code page are asked again; no file, folder or INF call is made.
    const std::vector<std::string>& calls = machine.faults().calls();
    for (std::size_t i = callsAfterPass; i < calls.size(); ++i) {
        EXPECT_TRUE(calls[i].rfind("GetVersion", 0) == 0 || calls[i].rfind("GetACP", 0) == 0)
            << calls[i];
    }
}

TEST_F(InfIndexTest, AChangeOfFamilyReadsTheOtherFamilysFolder) {
    machine.files().AddFile("C:\\windows\\inf\\other\\card.inf", Inf("D=I,USB\\VID_0C6E&PID_0007"));
    InfIndex index(machine.platform());
    EXPECT_EQ(Find(index, "USB\\VID_0C6E&PID_0007"), "<none>");
    machine.SetFamily(Family::Win9x);
    EXPECT_EQ(Find(index, "USB\\VID_0C6E&PID_0007"), "C:\\windows\\inf\\other\\card.inf");
    EXPECT_EQ(Find(index, "USB\\VID_0C6E&PID_0001"), "<none>");
    EXPECT_EQ(FolderPasses(machine), 2);
}

TEST_F(InfIndexTest, AFolderThatCannotBeReadIsTriedOnceAndFindsNothing) {
    for (const char* call : {"GetCurrentDirectoryA", "GetWindowsDirectoryA", "SetCurrentDirectoryA",
                             "FindFirstFileA"}) {
        SCOPED_TRACE(call);
        machine.faults().Clear();
        machine.faults().Add({call, ""});
        const std::size_t callsBefore = machine.faults().calls().size();
        InfIndex index(machine.platform());
        EXPECT_EQ(Find(index, "USB\\VID_0C6E&PID_0001"), "<none>");
        EXPECT_EQ(Find(index, "USB\\VID_0C6E&PID_0002"), "<none>");
        EXPECT_EQ(CallsOf(machine, "GetCurrentDirectoryA", callsBefore), 1);
    }
}

// The search for packages without a device reads the folder even where no device needs its INF;
// the devices' lookups then answer from that one pass.
TEST_F(InfIndexTest, AScanReadsTheFolderOnce) {
    machine.registry().CreateKey(std::string(kUsbTree) + "VID_0C6E&PID_0001");
    ScanInstalledScanners(machine.platform(), table);
    ASSERT_EQ(table.lastIndex, 2) << "the device, then the packages of PID_0002 and PID_0003";
    EXPECT_TRUE(table.rows[0].infPath.empty()) << "a device without a description needs no INF";
    EXPECT_TRUE(table.rows[2].packageOnly);
    EXPECT_EQ(FolderPasses(machine), 1);

    for (int i = 1; i <= 3; ++i) {
        machine.registry().SetString(
            std::string(kUsbTree) + "VID_0C6E&PID_000" + std::to_string(i) + "\\1", "DeviceDesc",
            "Scanner");
    }
    const std::size_t callsBefore = machine.faults().calls().size();
    ScanInstalledScanners(machine.platform(), table);
    ASSERT_EQ(table.lastIndex, 2);
    EXPECT_STREQ(table.rows[2].infPath.c_str(), "C:\\windows\\inf\\oem3.inf");
    EXPECT_FALSE(table.rows[2].packageOnly);
    EXPECT_EQ(FolderPasses(machine), 2);
    // Each INF is opened once: a scanner's TWAIN line was read in the same pass.
    for (int i = 1; i <= 3; ++i) {
        const std::string open =
            "SetupOpenInfFileA C:\\windows\\inf\\oem" + std::to_string(i) + ".inf";
        EXPECT_EQ(std::count(machine.faults().calls().begin() + static_cast<long>(callsBefore),
                             machine.faults().calls().end(), open),
                  1)
            << open;
    }

    // A scan run again reads the folder again, and so sees what changed in between.
    ASSERT_TRUE(machine.files().RemoveFile("C:\\windows\\inf\\oem3.inf"));
    ScanInstalledScanners(machine.platform(), table);
    EXPECT_EQ(FolderPasses(machine), 3);
    EXPECT_TRUE(table.rows[2].infPath.empty());
    EXPECT_STREQ(table.rows[1].infPath.c_str(), "C:\\windows\\inf\\oem2.inf");
}

// A folder of today's packages: decorated models sections listing one model in either case,
// [Strings], an updated driver whose older package still lists the scanner, a PC Card package,
// and another maker's package.
class MakerPackagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        AddInf(
            "oem1.inf",
            "[Manufacturer]\r\n%Mfg%=Quorin,NTx86,NTamd64\r\n"
            "[Quorin.NTamd64]\r\n"
            "%K10.Desc%=Quorin.Install,USB\\VID_0C6E&PID_0010,usb\\vid_0c6e&pid_0010&rev_0200\r\n"
            "%K20.Desc%=Quorin.Install,USB\\VID_0C6E&PID_0020,USB\\VID_04A9&PID_0020\r\n"
            "[Quorin.NTx86]\r\n%K10.Desc%=Quorin.Install,usb\\vid_0c6e&pid_0010\r\n"
            "[Strings]\r\nMfg=\"Quorin, Inc.\"\r\nK10.Desc=\"Quorin K10, 64-bit\"\r\n"
            "K20.Desc=\"Quorin K20\"\r\n");
        AddInf("oem2.inf",
               "[Manufacturer]\r\nQuorin=Models\r\n[Models]\r\n"
               "\"Quorin K10 (old)\"=Install,USB\\VID_0C6E&PID_0010\r\n");
        AddInf("oem3.inf",
               "[Manufacturer]\r\nAcme=Models,NTamd64\r\n[Models.NTamd64]\r\n"
               "\"Acme\"=Quorin.Compatible,USB\\VID_04B8&PID_0110\r\n");
        AddInf("oem4.inf",
               "[Manufacturer]\r\nQuorin=Cards\r\n[Cards]\r\n"
               "RoamDoc=Card,PCMCIA\\Quorin-RoamDoc-5E1A,PCMCIA\\rdn-cq-d41e-1\r\n"
               "=Card,PCMCIA\\QUORIN-NODESC\r\n");
    }

    void AddInf(const std::string& name, const std::string& sections) {
        machine.files().AddFile("C:\\windows\\inf\\" + name,
                                "[Version]\r\nSignature=\"$Windows NT$\"\r\n" + sections);
    }

    // Each package as "<inf>: <id> = <description>; ...".
    static std::vector<std::string> Describe(const std::vector<MakerPackage>& packages) {
        std::vector<std::string> described;
        for (const MakerPackage& package : packages) {
            std::string text = std::string(package.infPath.c_str()) + ":";
            for (const MakerModel& model : package.models) {
                text += std::string(" ") + model.hardwareId.c_str() + " = " +
                        model.description.c_str() + ";";
            }
            described.push_back(text);
        }
        return described;
    }

    sim::SimWindows machine;
};

TEST_F(MakerPackagesTest, EveryPackageOfTheMakerIsKnownFromTheOnePass) {
    InfIndex index(machine.platform());
    EXPECT_EQ(Describe(index.MakerPackages()),
              (std::vector<std::string>{
                  "C:\\windows\\inf\\oem1.inf: usb\\vid_0c6e&pid_0010 = Quorin K10, 64-bit; "
                  "usb\\vid_0c6e&pid_0010&rev_0200 = Quorin K10, 64-bit; "
                  "USB\\VID_0C6E&PID_0020 = Quorin K20;",
                  "C:\\windows\\inf\\oem2.inf: USB\\VID_0C6E&PID_0010 = Quorin K10 (old);",
                  "C:\\windows\\inf\\oem4.inf: PCMCIA\\Quorin-RoamDoc-5E1A = RoamDoc; "
                  "PCMCIA\\rdn-cq-d41e-1 = RoamDoc; PCMCIA\\QUORIN-NODESC = ;",
              }));
    std::vector<std::string> every;
    for (const PathText& path : index.FindEveryDriverInf("usb\\vid_0c6e&pid_0010")) {
        every.push_back(path.c_str());
    }
    EXPECT_EQ(every, (std::vector<std::string>{"C:\\windows\\inf\\oem1.inf",
                                               "C:\\windows\\inf\\oem2.inf"}));
    EXPECT_TRUE(index.FindEveryDriverInf("USB\\VID_0C6E&PID_0099").empty());
    EXPECT_TRUE(index.FindEveryDriverInf("").empty());

    PathText found;
    EXPECT_EQ(index.FindInfInFolder("OEM2.INF", &found), 1);
    EXPECT_STREQ(found.c_str(), "C:\\windows\\inf\\oem2.inf");
    EXPECT_EQ(index.FindInfInFolder("oem5.inf", &found), 0);
    EXPECT_EQ(FolderPasses(machine), 1);
    EXPECT_EQ(machine.openHandles(), 0);
}

// Another maker's INF whose bytes name none of the maker's tokens is not opened, yet every
// question gives the answer of the pass that opens every INF: a hardware ID of another maker is
// looked for in a pass that opens them all, and an INF named by its file name is opened then.
TEST_F(MakerPackagesTest, OnlyTheInfFilesThatMayNameTheMakerAreOpened) {
    AddInf("oem6.inf",
           "[Manufacturer]\r\nAcme=Models\r\n[Models]\r\nScan=I,USB\\VID_04B8&PID_9\r\n");
    machine.files().AddFile("C:\\windows\\inf\\oem7.inf", "[Models]\r\nScan=I,USB\\VID_04B8\r\n");
    const auto opens = [&](const char* name, std::size_t from) {
        const std::vector<std::string>& calls = machine.faults().calls();
        return std::count(calls.begin() + static_cast<long>(from), calls.end(),
                          std::string("SetupOpenInfFileA C:\\windows\\inf\\") + name);
    };
    InfIndex every(machine.platform(), InfIndex::Reading::kEveryInf);
    const std::vector<std::string> expected = Describe(every.MakerPackages());
    EXPECT_EQ(opens("oem6.inf", 0), 1);

    const std::size_t from = machine.faults().calls().size();
    InfIndex index(machine.platform());
    EXPECT_EQ(Describe(index.MakerPackages()), expected);
    EXPECT_EQ(opens("oem1.inf", from), 1);
    EXPECT_EQ(opens("oem6.inf", from), 0);
    EXPECT_EQ(opens("oem7.inf", from), 0);

    PathText found;
    EXPECT_EQ(index.FindInfInFolder("OEM6.INF", &found), 1);
    EXPECT_STREQ(found.c_str(), "C:\\windows\\inf\\oem6.inf");
    EXPECT_EQ(index.FindInfInFolder("oem7.inf", &found), 0);
    EXPECT_EQ(FolderPasses(machine), 2);
    EXPECT_EQ(index.FindDriverInf("usb\\vid_04b8&pid_9", &found), 1);
    EXPECT_STREQ(found.c_str(), "C:\\windows\\inf\\oem6.inf");
    EXPECT_EQ(FolderPasses(machine), 3);
    EXPECT_EQ(Describe(index.MakerPackages()), expected);
    EXPECT_EQ(machine.openHandles(), 0);
}

// An INF whose bytes cannot be read is opened as the pass that opens every INF opens it.
TEST_F(MakerPackagesTest, AnInfWhoseBytesCannotBeReadIsOpened) {
    InfIndex every(machine.platform(), InfIndex::Reading::kEveryInf);
    const std::vector<std::string> expected = Describe(every.MakerPackages());
    machine.faults().Add({"ReadFile", "oem2.inf"});
    InfIndex index(machine.platform());
    EXPECT_EQ(Describe(index.MakerPackages()), expected);
    EXPECT_GT(machine.faults().strikes(), 0);
}

TEST_F(MakerPackagesTest, ADescriptionThatCannotBeReadIsLeftEmpty) {
    // The fourth field call on oem1.inf reads the description of its first maker line, in
    // [Quorin.NTx86]; the same model's line in [Quorin.NTamd64] does not add it again.
    machine.faults().Add({"SetupGetStringFieldA", "oem1.inf", 5, 3, 1});
    InfIndex index(machine.platform());
    const std::vector<std::string> described = Describe(index.MakerPackages());
    ASSERT_EQ(described.size(), 3u);
    EXPECT_EQ(described[0],
              "C:\\windows\\inf\\oem1.inf: usb\\vid_0c6e&pid_0010 = ; "
              "usb\\vid_0c6e&pid_0010&rev_0200 = Quorin K10, 64-bit; "
              "USB\\VID_0C6E&PID_0020 = Quorin K20;");
}

}  // namespace
}  // namespace drvsweep
