#include "settings/TextConversions.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

using namespace TextConversions;

TEST(TextConversions, Utf8AndUtf16RoundTripOutsideTheBasicPlane)
{
    const std::string s = "/home/\xE7\x94\xA8\xE6\x88\xB7/\xF0\x9F\x98\x80\xC3\xA9";
    const std::u16string w = Utf8ToUtf16(s);
    EXPECT_EQ(w, u"/home/用户/😀é");
    EXPECT_EQ(Utf16ToUtf8(w), s);
}

TEST(TextConversions, MalformedInputBecomesReplacementCharacters)
{
    EXPECT_EQ(Utf8ToUtf16("a\xFF" "b\xE4\xB8"), u"a\uFFFDb\uFFFD\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");  // overlong
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

TEST(TextConversions, EightBitStringsAreLatin1)
{
    EXPECT_EQ(Latin1ToUtf8("caf\xE9"), "caf\xC3\xA9");
    EXPECT_TRUE(IsAscii("/home/user/"));
    EXPECT_FALSE(IsAscii("caf\xC3\xA9"));
}

TEST(TextConversions, LeadingIntegerFollowsAtoi)
{
    EXPECT_EQ(LeadingInteger("640"), 640);
    EXPECT_EQ(LeadingInteger(" \t-12abc"), -12);
    EXPECT_EQ(LeadingInteger("+7"), 7);
    EXPECT_EQ(LeadingInteger("3.000000"), 3);
    EXPECT_EQ(LeadingInteger("abc"), 0);
    EXPECT_EQ(LeadingInteger(""), 0);
    EXPECT_EQ(LeadingInteger("- 5"), 0);
    EXPECT_EQ(LeadingInteger("99999999999999999999"), INT_MAX);
    EXPECT_EQ(LeadingInteger("-99999999999999999999"), INT_MIN);
}

} // namespace
