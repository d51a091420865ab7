#include "platform/sim/sim_registry.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/sim/sim_faults.h"
#include "platform/sim/sim_version.h"
#include "platform/win32_codes.h"

namespace drvsweep::sim {
namespace {

// 261 characters: one more than the ANSI calls convert.
const std::string kLongPath = "Software\\" + std::string(252, 'L');

class SimRegistryTest : public ::testing::Test {
protected:
    SimRegistryTest() : version(faults), registry(faults, version) {}

    void SetUp() override {
        for (const char* name : {"b", "A", "_u", "c", "Zz", "[x", "a1", "~t", "AB", "aa"}) {
            registry.CreateKey(std::string("Software\\Order\\") + name);
        }
        registry.SetString("Software\\Values", "Text", "hello");
        registry.SetValue("Software\\Values", "Number", kRegDword, std::string("\x2a\0\0\0", 4));
    }

    std::unique_ptr<RegistryKey> Open(const char* path) {
        std::unique_ptr<RegistryKey> key;
        EXPECT_EQ(registry.OpenKey(path, kKeyRead, &key), kErrorSuccess) << path;
        return key;
    }

    SimFaults faults;
    SimVersion version;
    SimRegistry registry;
};

TEST_F(SimRegistryTest, SubkeysEnumerateInWinesOrderUntilNoMoreItems) {
    std::unique_ptr<RegistryKey> key = Open("Software\\Order");
    std::vector<std::string> names;
    char name[260];
    long result = kErrorSuccess;
    for (std::uint32_t index = 0; (result = key->EnumKey(index, name, sizeof name)) == 0; ++index) {
        names.push_back(name);
    }
    EXPECT_EQ(result, kErrorNoMoreItems);
    EXPECT_EQ(names,
              (std::vector<std::string>{"[x", "_u", "A", "a1", "aa", "AB", "b", "c", "Zz", "~t"}));
}

TEST_F(SimRegistryTest, ANameThatDoesNotFitLeavesTheBufferUntouched) {
    std::unique_ptr<RegistryKey> key = Open("Software\\Order");
    char name[4] = {'Q', 'Q', 'Q', 'Q'};
    EXPECT_EQ(key->EnumKey(1, name, 2), kErrorMoreData);  // "_u" needs 3 bytes
    EXPECT_EQ(std::string(name, 4), "QQQQ");
    EXPECT_EQ(key->EnumKey(1, name, 3), kErrorSuccess);
    EXPECT_STREQ(name, "_u");
}

TEST_F(SimRegistryTest, PathsOpenAsWineOpensThem) {
    const struct {
        std::string path;
        long result;
    } kCases[] = {
        {"", kErrorSuccess},
        {"software\\VALUES", kErrorSuccess},
        {"Software\\\\Values", kErrorSuccess},
        {"Software\\Values\\", kErrorSuccess},
        {"\\Software", kErrorBadPathname},
        {"Software\\Missing", kErrorFileNotFound},
        {"Software\\Missing\\Deeper", kErrorFileNotFound},
        {kLongPath, kErrorMoreData},
    };
    for (const auto& open : kCases) {
        SCOPED_TRACE(open.path);
        std::unique_ptr<RegistryKey> key;
        EXPECT_EQ(registry.OpenKey(open.path.c_str(), kKeyRead, &key), open.result);
        EXPECT_EQ(key != nullptr, open.result == kErrorSuccess);
    }
    EXPECT_EQ(registry.openKeyCount(), 0);
}

TEST_F(SimRegistryTest, QueryValueFollowsTheSizeProtocol) {
    std::unique_ptr<RegistryKey> key = Open("Software\\Values");
    char data[8] = {'Q', 'Q', 'Q', 'Q', 'Q', 'Q', 'Q', 'Q'};
    std::uint32_t size = 3;
    EXPECT_EQ(key->QueryValue("Text", data, &size), kErrorMoreData);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(data[0], 'Q');
    size = 0;
    EXPECT_EQ(key->QueryValue("text", nullptr, &size), kErrorSuccess);
    EXPECT_EQ(size, 6u);
    size = 6;
    EXPECT_EQ(key->QueryValue("TEXT", data, &size), kErrorSuccess);
    EXPECT_STREQ(data, "hello");
    size = sizeof data;
    EXPECT_EQ(key->QueryValue("Number", data, &size), kErrorSuccess) << "any type is read";
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(data[0], '\x2a');
    size = sizeof data;
    EXPECT_EQ(key->QueryValue("", data, &size), kErrorFileNotFound) << "no default value set";
    EXPECT_EQ(key->QueryValue("Missing", data, &size), kErrorFileNotFound);
}

TEST_F(SimRegistryTest, OnTheNtFamilyAKeyServesOnlyTheAccessItWasOpenedFor) {
    char data[260];
    std::uint32_t size = sizeof data;
    std::unique_ptr<RegistryKey> key;
    ASSERT_EQ(registry.OpenKey("Software", kKeyQueryValue, &key), kErrorSuccess);
    EXPECT_EQ(key->EnumKey(0, data, sizeof data), kErrorAccessDenied);
    ASSERT_EQ(registry.OpenKey("Software\\Values", 0x8, &key), kErrorSuccess);
    EXPECT_EQ(key->QueryValue("Text", data, &size), kErrorAccessDenied);
    version.SetVersion(SimVersion::kWin9xVersion);
    ASSERT_EQ(registry.OpenKey("Software", kKeyQueryValue, &key), kErrorSuccess);
    EXPECT_EQ(key->EnumKey(0, data, sizeof data), kErrorSuccess);
}

TEST_F(SimRegistryTest, OpenKeysAreCountedUntilClosed) {
    {
        std::unique_ptr<RegistryKey> first = Open("Software");
        std::unique_ptr<RegistryKey> second = Open("Software\\Values");
        EXPECT_EQ(registry.openKeyCount(), 2);
    }
    EXPECT_EQ(registry.openKeyCount(), 0);
    EXPECT_EQ(faults.calls().back(), "RegCloseKey Software");
}

TEST_F(SimRegistryTest, TheNtFamilyRefusesToDeleteAKeyWithSubkeys) {
    EXPECT_EQ(registry.DeleteKey("Software\\Order"), kErrorAccessDenied);
    EXPECT_TRUE(registry.KeyExists("Software\\Order\\AB"));
    EXPECT_EQ(registry.DeleteKey("Software\\Order\\ab"), kErrorSuccess);
    EXPECT_FALSE(registry.KeyExists("Software\\Order\\AB"));
    EXPECT_EQ(registry.DeleteKey("Software\\Order\\ab"), kErrorFileNotFound);
    EXPECT_EQ(registry.DeleteKey(""), kErrorAccessDenied);
    EXPECT_EQ(registry.DeleteKey("\\Software\\Values"), kErrorBadPathname);
}

TEST_F(SimRegistryTest, TheWin9xFamilyDeletesAKeyWithItsSubkeys) {
    version.SetVersion(SimVersion::kWin9xVersion);
    EXPECT_EQ(registry.DeleteKey("Software\\Order"), kErrorSuccess);
    EXPECT_FALSE(registry.KeyExists("Software\\Order"));
    EXPECT_TRUE(registry.KeyExists("Software\\Values"));
}

TEST_F(SimRegistryTest, AHandleToADeletedKeyStaysDeadWhenThePathIsCreatedAgain) {
    std::unique_ptr<RegistryKey> key = Open("Software\\Values");
    version.SetVersion(SimVersion::kWin9xVersion);
    ASSERT_EQ(registry.DeleteKey("Software"), kErrorSuccess);
    registry.SetString("Software\\Values", "Text", "again");
    char data[8];
    std::uint32_t size = sizeof data;
    EXPECT_EQ(key->QueryValue("Text", data, &size), kErrorKeyDeleted);
    EXPECT_EQ(key->EnumKey(0, data, sizeof data), kErrorKeyDeleted);
}

TEST_F(SimRegistryTest, FaultsStrikeTheNamedCallWithItsArgument) {
    faults.Add(FaultRule{"RegOpenKeyExA", "Values", 2, 0, 1});
    faults.Add(FaultRule{"RegQueryValueExA", "Software\\Values\\Text", 5, 0, -1});
    faults.Add(FaultRule{"RegEnumKeyA", "Order", 1, 1, -1});
    std::unique_ptr<RegistryKey> key;
    EXPECT_EQ(registry.OpenKey("Software\\Values", kKeyRead, &key), 2);
    EXPECT_EQ(key, nullptr);
    key = Open("Software\\Values");
    char data[260];
    std::uint32_t size = sizeof data;
    EXPECT_EQ(key->QueryValue("Text", data, &size), 5);
    size = sizeof data;
    EXPECT_EQ(key->QueryValue("Number", data, &size), kErrorSuccess);
    std::unique_ptr<RegistryKey> order = Open("Software\\Order");
    EXPECT_EQ(order->EnumKey(0, data, sizeof data), kErrorSuccess);
    EXPECT_EQ(order->EnumKey(1, data, sizeof data), 1) << "fails half-way through";
}

}  // namespace
}  // namespace drvsweep::sim
