#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <string>

#include "platform/win32_codes.h"
#include "tests/support/test_machine.h"

// What Windows knows of a driver package's files, over the simulated Windows and over Wine's,
// on the scenario contract_file_facts: 64-bit Windows 7 with the class driver usbscan.sys
// (protected, Microsoft's), the maker's QuorinK5210.dll (whose version resource lists a German
// string table alone), a TWAIN data source without a version resource and the staged package
// oem41.inf. Wine's SfcIsFileProtected protects no file and its SetupGetInfDriverStoreLocationW
// is not implemented (docs/wine-facts.md); there the test expects Wine's answers.
namespace drvsweep {
namespace {

const std::string kWindows = "C:\\windows\\";
const std::string kUntouched = "untouched";

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

std::string AnswerText(FactAnswer answer) {
    switch (answer) {
        case FactAnswer::No:
            return "No";
        case FactAnswer::Yes:
            return "Yes";
        case FactAnswer::Unknown:
            return "Unknown";
    }
    return "?";
}

class FileFactsContract : public ::testing::Test {
protected:
    void SetUp() override { machine_ = testing::OpenScenarioMachine(); }

    Platform& platform() { return machine_->platform(); }

    std::unique_ptr<testing::TestMachine> machine_;
};

// The company comes from the first translation's table, whatever its language; a file without
// a version resource has none, and a missing file cannot tell.
TEST_F(FileFactsContract, ReadsTheCompanyOfTheVersionResource) {
    struct Case {
        const char* path;
        FactAnswer answer;
        std::string company;
    };
    const Case cases[] = {
        {"system32\\drivers\\usbscan.sys", FactAnswer::Yes, "Microsoft Corporation"},
        {"system32\\QuorinK5210.dll", FactAnswer::Yes, "Quorin Imaging"},
        {"twain_32\\QuorinK5210\\QuorinK5210.ds", FactAnswer::No, kUntouched},
        {"twain_32\\QuorinK5210\\QuorinK5210.ini", FactAnswer::Unknown, kUntouched},
        {"twain_32\\Missing\\QuorinK5210.ds", FactAnswer::Unknown, kUntouched},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        std::string company = kUntouched;
        EXPECT_EQ(
            AnswerText(platform().fileFacts.CompanyName((kWindows + c.path).c_str(), &company)),
            AnswerText(c.answer));
        EXPECT_EQ(company, c.company);
    }
}

TEST_F(FileFactsContract, AsksWhetherWindowsProtectsAFile) {
    const FactAnswer protectedFile = testing::RunsUnderWine() ? FactAnswer::No : FactAnswer::Yes;
    struct Case {
        const char* path;
        FactAnswer answer;
    };
    const Case cases[] = {
        {"system32\\drivers\\usbscan.sys", protectedFile},
        {"system32\\QuorinK5210.dll", FactAnswer::No},
        {"system32\\drivers\\QuorinK5210.sys", FactAnswer::No},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(
            AnswerText(platform().fileFacts.IsProtectedSystemFile((kWindows + c.path).c_str())),
            AnswerText(c.answer));
    }
}

TEST_F(FileFactsContract, AsksTheDriverStoreForAPackage) {
    const bool wine = testing::RunsUnderWine();
    std::string storeInf = kUntouched;
    EXPECT_EQ(AnswerText(platform().packages.DriverStoreInf((kWindows + "inf\\oem41.inf").c_str(),
                                                            &storeInf)),
              wine ? "Unknown" : "Yes");
    if (wine) {
        EXPECT_EQ(storeInf, kUntouched);
    } else {
        const std::string repository = "c:\\windows\\system32\\driverstore\\filerepository\\";
        EXPECT_EQ(Lower(storeInf.substr(0, repository.size())), repository);
        EXPECT_EQ(Lower(storeInf.substr(storeInf.rfind('\\'))), "\\oem41.inf");
    }

    storeInf = kUntouched;
    EXPECT_EQ(AnswerText(platform().packages.DriverStoreInf((kWindows + "inf\\oem49.inf").c_str(),
                                                            &storeInf)),
              wine ? "Unknown" : "No");
    EXPECT_EQ(storeInf, kUntouched);
}

// The key exists in both views: deleting it in the 32-bit one leaves the 64-bit one. The x86
// program's own view is the 32-bit one, so it can no longer see the key at all.
TEST_F(FileFactsContract, DeletesAKeyInThe32BitViewAlone) {
    Registry& registry = platform().registry;
    const char kLeaf[] = "Software\\DrvSweepContractFacts\\Leaf";
    EXPECT_EQ(registry.DeleteKeyInView(kLeaf, RegistryView::Wow32), kErrorSuccess);
    EXPECT_EQ(registry.DeleteKeyInView(kLeaf, RegistryView::Wow32), kErrorFileNotFound);

    std::unique_ptr<RegistryKey> key;
    EXPECT_EQ(registry.OpenKeyInView(kLeaf, kKeyRead, RegistryView::Wow32, &key),
              kErrorFileNotFound);
    EXPECT_EQ(
        registry.OpenKey("Software\\WOW6432Node\\DrvSweepContractFacts\\Leaf", kKeyRead, &key),
        kErrorFileNotFound);
    if (sizeof(void*) == 4) {
        EXPECT_EQ(registry.OpenKey(kLeaf, kKeyRead, &key), kErrorFileNotFound);
        return;
    }
    ASSERT_EQ(registry.OpenKey(kLeaf, kKeyRead, &key), kErrorSuccess);
    char view[16] = {};
    std::uint32_t size = sizeof view - 1;
    EXPECT_EQ(key->QueryValue("View", view, &size), kErrorSuccess);
    EXPECT_STREQ(view, "64-bit");
}

}  // namespace
}  // namespace drvsweep
