#include "discovery/scanner_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace drvsweep {
namespace {

class ScannerTableTest : public ::testing::Test {
protected:
    void Fill(int rows) {
        for (int i = 0; i < kScannerRows; ++i) {
            ClearScannerRow(table.rows[i]);
            table.rows[i].busKind = BusKind::Usb;
            table.rows[i].devicePath.assign(("USB\\VID_0C6E&PID_" + std::to_string(i)).c_str());
        }
        table.lastIndex = rows - 1;
    }
    std::string PathOf(int row) const { return table.rows[row].devicePath.c_str(); }

    static ScannerTable table;
};

ScannerTable ScannerTableTest::table;

TEST_F(ScannerTableTest, RemovingARowMovesTheLaterRowsDown) {
    Fill(3);
    EXPECT_EQ(RemoveScannerRow(table, 0), 1);
    EXPECT_EQ(table.lastIndex, 1);
    EXPECT_EQ(PathOf(0), "USB\\VID_0C6E&PID_1");
    EXPECT_EQ(PathOf(1), "USB\\VID_0C6E&PID_2");
    EXPECT_EQ(PathOf(258), "USB\\VID_0C6E&PID_259");
    EXPECT_EQ(PathOf(259), "USB\\VID_0C6E&PID_259") << "the last row keeps its content";
}

TEST_F(ScannerTableTest, RemovingTheOnlyRowEmptiesTheTable) {
    Fill(1);
    EXPECT_EQ(RemoveScannerRow(table, 0), 1);
    EXPECT_EQ(table.lastIndex, -1);
}

TEST_F(ScannerTableTest, RemovingTheLastRowOfAFullTableMovesNothing) {
    Fill(kScannerRows);
    EXPECT_EQ(RemoveScannerRow(table, 259), 1);
    EXPECT_EQ(table.lastIndex, 258);
    EXPECT_EQ(PathOf(258), "USB\\VID_0C6E&PID_258");
    EXPECT_EQ(PathOf(259), "USB\\VID_0C6E&PID_259");
}

TEST_F(ScannerTableTest, AnIndexOutsideTheRowsInUseIsRefused) {
    Fill(2);
    for (int index : {-1, 2, 259, 260, 1000}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(RemoveScannerRow(table, index), 0);
        EXPECT_EQ(table.lastIndex, 1);
        EXPECT_EQ(PathOf(0), "USB\\VID_0C6E&PID_0");
    }
}

TEST_F(ScannerTableTest, AClearedRowIsZeroInEveryByte) {
    Fill(1);
    ClearScannerRow(table.rows[0]);
    static const ScannerRecord zero{};
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&table.rows[0]);
    for (std::size_t i = 0; i < sizeof(ScannerRecord); ++i) {
        ASSERT_EQ(bytes[i], 0u) << "byte " << i;
    }
    EXPECT_EQ(std::memcmp(&zero, &table.rows[0], sizeof zero), 0);
}

}  // namespace
}  // namespace drvsweep
