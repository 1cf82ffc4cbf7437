#include <gtest/gtest.h>

#include <cwchar>

#include "common/TextBuffer.h"

TEST(TextBuffer, StartsEmptyAndTerminated)
{
    TextBuffer buffer(100);
    EXPECT_EQ(buffer.length(), 0u);
    EXPECT_STREQ(buffer.text(), L"");
}

TEST(TextBuffer, PercentSTakesWideText)
{
    TextBuffer buffer(100);
    buffer.appendFormatted(L"%s: %02d%%", L"cpu0", 7);
    EXPECT_STREQ(buffer.text(), L"cpu0: 07%");
    EXPECT_EQ(buffer.length(), 9u);
}

TEST(TextBuffer, AppendsAfterTheCurrentText)
{
    TextBuffer buffer(100);
    buffer.appendFormatted(L"cpu%d", 1);
    buffer.appendFormatted(L"%d", 0);
    EXPECT_STREQ(buffer.text(), L"cpu10");
    EXPECT_EQ(buffer.length(), 5u);
}

TEST(TextBuffer, CutsAtTheCapacityWithoutOverrun)
{
    TextBuffer buffer(6);
    buffer.appendFormatted(L"%s", L"abcdefgh");
    EXPECT_STREQ(buffer.text(), L"abcde");
    EXPECT_EQ(buffer.length(), 5u);
    buffer.appendFormatted(L"%s", L"x");
    EXPECT_STREQ(buffer.text(), L"abcde");
}
