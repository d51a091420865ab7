#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32_codes.h"
#include "tests/support/test_machine.h"

// The registry as Wine answers it, over the simulated Windows and over the real one alike.
// The scenarios contract_registry_nt and contract_registry_9x hold the same keys.
namespace drvsweep {
namespace {

const char kOrderKey[] = "SYSTEM\\CurrentControlSet\\Enum\\ContractOrder";
const char kValuesKey[] = "SYSTEM\\CurrentControlSet\\Control\\DrvSweepContract";
const char kLongKey[] = "SYSTEM\\CurrentControlSet\\Enum\\ContractLong";
const char kDeleteKey[] = "SYSTEM\\CurrentControlSet\\Enum\\ContractDelete";

class RegistryContract : public ::testing::Test {
protected:
    void SetUp() override { machine_ = testing::OpenScenarioMachine(); }

    Registry& registry() { return machine_->platform().registry; }
    Family family() { return CurrentFamily(machine_->platform().version); }

    std::unique_ptr<RegistryKey> Open(const std::string& path, std::uint32_t access = kKeyRead) {
        std::unique_ptr<RegistryKey> key;
        EXPECT_EQ(registry().OpenKey(path.c_str(), access, &key), kErrorSuccess) << path;
        return key;
    }

    // Every subkey name RegEnumKeyA gives into 260 bytes, then the code that ended the walk.
    static std::vector<std::string> Subkeys(RegistryKey& key) {
        std::vector<std::string> names;
        char name[260];
        long result = kErrorSuccess;
        for (std::uint32_t index = 0; (result = key.EnumKey(index, name, sizeof name)) == 0;
             ++index) {
            names.push_back(name);
        }
        names.push_back("end " + std::to_string(result));
        return names;
    }

    std::unique_ptr<testing::TestMachine> machine_;
};

// Wine keeps subkeys sorted by their lower-cased names, whatever order they were written in:
// "_" (0x5F) sorts before the letters, which an upper-cased order would put it after.
TEST_F(RegistryContract, EnumeratesSubkeysInLowerCaseOrder) {
    std::unique_ptr<RegistryKey> key = Open(kOrderKey);
    ASSERT_TRUE(key);
    EXPECT_EQ(Subkeys(*key),
              (std::vector<std::string>{"10", "9", "_x", "a", "b", "B2", "C", "Zeta", "end 259"}));
}

// RegQueryValueExA hands out a value's bytes as stored, whatever its type; a buffer that is too
// small gets ERROR_MORE_DATA with the size needed and is left alone.
TEST_F(RegistryContract, QueriesValuesAsStored) {
    std::unique_ptr<RegistryKey> key = Open(kValuesKey, kKeyQueryValue);
    ASSERT_TRUE(key);
    const std::string longText = std::string(299, 'v') + '\0';
    struct Case {
        const char* name;
        std::uint32_t size;
        long result;
        std::uint32_t sizeAfter;
        std::string bytes;  // what the buffer holds after the call, up to `size`
    };
    const std::string untouched(8, '\xCC');
    const Case cases[] = {
        {"Text", 260, kErrorSuccess, 6, std::string("hello\0", 6)},
        {"Text", 6, kErrorSuccess, 6, std::string("hello\0", 6)},
        {"Text", 5, kErrorMoreData, 6, untouched.substr(0, 5)},
        {"Number", 260, kErrorSuccess, 4, "\x78\x56\x34\x12"},
        {"Bytes", 260, kErrorSuccess, 3, "\x01\x02\x03"},
        {"Empty", 260, kErrorSuccess, 1, std::string(1, '\0')},
        {"", 260, kErrorSuccess, 8, std::string("default\0", 8)},
        // regedit stores a REG_SZ written as hex(1) bytes with a terminating NUL added.
        {"Unterminated", 260, kErrorSuccess, 3, std::string("AB\0", 3)},
        {"Long", 260, kErrorMoreData, 300, untouched},
        {"Long", 300, kErrorSuccess, 300, longText},
        {"Missing", 260, kErrorFileNotFound, 260, untouched},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " into " + std::to_string(c.size));
        std::vector<char> buffer(c.size, '\xCC');
        std::uint32_t size = c.size;
        EXPECT_EQ(key->QueryValue(c.name, buffer.data(), &size), c.result);
        EXPECT_EQ(size, c.sizeAfter);
        const std::size_t compared = std::min<std::size_t>(c.bytes.size(), buffer.size());
        EXPECT_EQ(std::string(buffer.data(), compared), c.bytes.substr(0, compared));
    }
}

// regedit reads an ANSI .reg file in the system's code page and RegQueryValueExA answers in it,
// so text written in code page 936 comes back byte for byte on a Simplified Chinese system.
TEST_F(RegistryContract, ReadsTextInTheSystemCodePage) {
    if (machine_->platform().version.DefaultLanguage() != 2052) {
        GTEST_SKIP() << "the scenario holds no Chinese text";
    }
    std::unique_ptr<RegistryKey> key = Open(kValuesKey, kKeyQueryValue);
    ASSERT_TRUE(key);
    char text[260] = {};
    std::uint32_t size = sizeof text;
    EXPECT_EQ(key->QueryValue("Chinese", text, &size), kErrorSuccess);
    EXPECT_EQ(std::string(text, size), std::string("\xC9\xA8\xC3\xE8\xD2\xC7", 7));
}

// The "View" value of the key opened in the view, or "open <code>".
std::string ViewOf(Registry& registry, const char* path, RegistryView view) {
    std::unique_ptr<RegistryKey> key;
    const long opened = registry.OpenKeyInView(path, kKeyRead, view, &key);
    if (opened != kErrorSuccess) {
        return "open " + std::to_string(opened);
    }
    char value[260] = {};
    std::uint32_t size = sizeof value - 1;
    return key->QueryValue("View", value, &size) == kErrorSuccess ? value : "no value";
}

// A 32-bit program's own view of HKLM\Software is the 32-bit one; a 64-bit program reaches it
// by asking for it, and HKLM\Software\WOW6432Node names it in either view. The 9x family has
// a single view, whatever is asked for.
TEST_F(RegistryContract, OpensKeysInTheRequestedView) {
    const bool program64 = sizeof(void*) == 8;
    const std::string missing = "open " + std::to_string(kErrorFileNotFound);
    const RegistryView kNative = RegistryView::Native;
    const RegistryView kWow32 = RegistryView::Wow32;
    struct Case {
        const char* path;
        RegistryView view;
        std::string nt;
        std::string win9x;  // empty: not a 9x case
    };
    const Case cases[] = {
        {"Software\\DrvSweepContractView", kNative, program64 ? "64-bit" : "32-bit", "9x"},
        {"Software\\DrvSweepContractView", kWow32, "32-bit", "9x"},
        {"SOFTWARE\\DrvSweepContractView", kWow32, "32-bit", "9x"},
        {"Software\\WOW6432Node\\DrvSweepContractView", kNative, "32-bit", ""},
        {"Software\\WOW6432Node\\DrvSweepContractView", kWow32, "32-bit", ""},
        {"Software\\DrvSweepContract32", kNative, program64 ? missing : "32-bit only", missing},
        {"Software\\DrvSweepContract32", kWow32, "32-bit only", missing},
        {kValuesKey, kWow32, "no value", "no value"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.path) + (c.view == kWow32 ? " in the 32-bit view" : ""));
        const std::string& expected = family() == Family::Nt ? c.nt : c.win9x;
        if (!expected.empty()) {
            EXPECT_EQ(ViewOf(registry(), c.path, c.view), expected);
        }
    }
}

TEST_F(RegistryContract, ReportsMissingKeys) {
    std::unique_ptr<RegistryKey> key;
    EXPECT_EQ(registry().OpenKey("SYSTEM\\CurrentControlSet\\Enum\\NoSuchKey", kKeyRead, &key),
              kErrorFileNotFound);
    EXPECT_FALSE(key);
    EXPECT_EQ(registry().OpenKey("NoSuchRoot\\Below", kKeyRead, &key), kErrorFileNotFound);
    EXPECT_FALSE(key);
}

// A key name holds at most 255 characters; RegEnumKeyA needs room for its NUL as well. The
// ANSI open converts the whole path into a buffer of its own, so a path of 259 characters (the
// longest a 260-byte text holds) opens and one of 261 fails with ERROR_MORE_DATA.
TEST_F(RegistryContract, HandlesLongKeyNamesAndPaths) {
    std::unique_ptr<RegistryKey> key = Open(kLongKey);
    ASSERT_TRUE(key);
    const std::string longName(255, 'L');
    EXPECT_EQ(Subkeys(*key),
              (std::vector<std::string>{std::string(200, 'A'), longName, "end 259"}));
    char name[260];
    EXPECT_EQ(key->EnumKey(1, name, 256), kErrorSuccess);
    EXPECT_EQ(std::string(name), longName);
    EXPECT_EQ(key->EnumKey(1, name, 255), kErrorMoreData);

    const std::string below = std::string(kLongKey) + "\\" + std::string(200, 'A') + "\\";
    const std::string path259 = below + std::string(15, 'B');
    const std::string path261 = below + std::string(17, 'B');
    ASSERT_EQ(path259.size(), 259u);
    EXPECT_TRUE(Open(path259));
    std::unique_ptr<RegistryKey> tooLong;
    EXPECT_EQ(registry().OpenKey(path261.c_str(), kKeyRead, &tooLong), kErrorMoreData);
    EXPECT_FALSE(tooLong);
}

// A key opened for KEY_QUERY_VALUE alone cannot list its subkeys on the NT family; the 9x
// family ignores the access asked for.
TEST_F(RegistryContract, QueryOnlyAccessEnumeratesOnlyOn9x) {
    std::unique_ptr<RegistryKey> key = Open(kOrderKey, kKeyQueryValue);
    ASSERT_TRUE(key);
    char name[260];
    if (family() == Family::Nt) {
        EXPECT_EQ(key->EnumKey(0, name, sizeof name), kErrorAccessDenied);
    } else {
        EXPECT_EQ(key->EnumKey(0, name, sizeof name), kErrorSuccess);
        EXPECT_STREQ(name, "10");
    }
}

// RegDeleteKeyA: the NT family refuses a key that has subkeys and leaves it whole; the 9x
// family deletes it with everything below. Wine's 9x deletion reuses one name buffer size for
// all the subkeys of a key, so it stops (with ERROR_ACCESS_DENIED, after one subkey) when a
// later subkey's name is not shorter than the one before; the scenario's tree avoids that.
TEST_F(RegistryContract, DeletesKeysAsTheFamilyDoes) {
    const std::string tree = std::string(kDeleteKey) + "\\Tree";
    EXPECT_EQ(registry().DeleteKey((std::string(kDeleteKey) + "\\Missing").c_str()),
              kErrorFileNotFound);
    EXPECT_EQ(registry().DeleteKey((std::string(kDeleteKey) + "\\Leaf").c_str()), kErrorSuccess);

    std::unique_ptr<RegistryKey> key;
    if (family() == Family::Nt) {
        EXPECT_EQ(registry().DeleteKey(tree.c_str()), kErrorAccessDenied);
        key = Open(tree);
        ASSERT_TRUE(key);
        EXPECT_EQ(Subkeys(*key), (std::vector<std::string>{"Alpha1", "Beta", "C", "end 259"}));
    } else {
        EXPECT_EQ(registry().DeleteKey(tree.c_str()), kErrorSuccess);
        EXPECT_EQ(registry().OpenKey(tree.c_str(), kKeyRead, &key), kErrorFileNotFound);
    }
    key = Open(kDeleteKey);
    ASSERT_TRUE(key);
    const std::vector<std::string> left = family() == Family::Nt
                                              ? std::vector<std::string>{"Tree", "end 259"}
                                              : std::vector<std::string>{"end 259"};
    EXPECT_EQ(Subkeys(*key), left);
}

}  // namespace
}  // namespace drvsweep
