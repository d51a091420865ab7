#include "platform/fixed_text.h"

#include <gtest/gtest.h>

#include <string>

namespace drvsweep {
namespace {

TEST(FixedText, AssignTakesUpToCapacityLessOneAndRefusesMore) {
    FixedText<8> text;
    EXPECT_TRUE(text.empty());
    EXPECT_TRUE(text.assign(""));
    EXPECT_TRUE(text.assign("1234567"));
    EXPECT_STREQ(text.c_str(), "1234567");
    EXPECT_FALSE(text.assign("12345678"));
    EXPECT_STREQ(text.c_str(), "1234567") << "a refused write changes nothing";
}

TEST(FixedText, AppendFitsExactlyOrLeavesTheTextAlone) {
    FixedText<8> text;
    ASSERT_TRUE(text.assign("abc"));
    EXPECT_FALSE(text.append("defgh"));
    EXPECT_STREQ(text.c_str(), "abc");
    EXPECT_TRUE(text.append("defg"));
    EXPECT_STREQ(text.c_str(), "abcdefg");
    EXPECT_FALSE(text.append("x"));
    EXPECT_TRUE(text.append(""));
}

TEST(FixedText, AppendAllIsAllOrNothing) {
    FixedText<10> text;
    ASSERT_TRUE(text.assign("C:"));
    FixedText<10> name;
    ASSERT_TRUE(name.assign("inf"));
    EXPECT_TRUE(text.appendAll("\\", name));
    EXPECT_STREQ(text.c_str(), "C:\\inf");
    EXPECT_FALSE(text.appendAll("\\", "other"));
    EXPECT_STREQ(text.c_str(), "C:\\inf") << "a partly appended text is rolled back";
}

TEST(FixedText, MaxPathHoldsTwoHundredFiftyNineCharacters) {
    PathText text;
    EXPECT_TRUE(text.assign(std::string(259, 'a').c_str()));
    EXPECT_EQ(text.size(), 259u);
    EXPECT_FALSE(text.assign(std::string(260, 'b').c_str()));
    EXPECT_EQ(text.size(), 259u);
    EXPECT_TRUE(text.endsWith('a'));
}

}  // namespace
}  // namespace drvsweep
