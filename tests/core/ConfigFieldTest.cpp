#include <gtest/gtest.h>

#include "settings/PollingRate.h"
#include "ui/ConfigField.h"

TEST(ConfigField, AcceptsOneToTen)
{
    EXPECT_EQ(parseFrequencyField(L"5"), 5);
    EXPECT_EQ(parseFrequencyField(L"1"), 1);
    EXPECT_EQ(parseFrequencyField(L"10"), 10);
}

TEST(ConfigField, SkipsLeadingSpaceAndIgnoresTrailingText)
{
    EXPECT_EQ(parseFrequencyField(L" 7"), 7);
    EXPECT_EQ(parseFrequencyField(L"3abc"), 3);
    EXPECT_EQ(parseFrequencyField(L"+4"), 4);
    EXPECT_EQ(parseFrequencyField(L"0009"), 9);
}

TEST(ConfigField, RejectsEmptyAndOutOfRangeText)
{
    EXPECT_FALSE(parseFrequencyField(L""));
    EXPECT_FALSE(parseFrequencyField(L"   "));
    EXPECT_FALSE(parseFrequencyField(L"abc"));
    EXPECT_FALSE(parseFrequencyField(L"0"));
    EXPECT_FALSE(parseFrequencyField(L"11"));
    EXPECT_FALSE(parseFrequencyField(L"-2"));
    EXPECT_FALSE(parseFrequencyField(L"-"));
}

TEST(ConfigField, NumbersBeyondThirtyTwoBitsAreOutOfRangeNotWrapped)
{
    // 4294967301 would wrap to 5 in 32 bits.
    EXPECT_FALSE(parseFrequencyField(L"4294967301"));
    EXPECT_FALSE(parseFrequencyField(L"99999999999999999999999999"));
    EXPECT_FALSE(parseFrequencyField(L"-4294967291"));
}

TEST(PollingPeriod, IsAThousandDividedByTheFrequency)
{
    const unsigned expected[] = {1000, 500, 333, 250, 200, 166, 142, 125, 111, 100};
    for (int frequency = 1; frequency <= 10; ++frequency)
        EXPECT_EQ(pollingPeriodMs(frequency), expected[frequency - 1]) << frequency;
}

TEST(PollingPeriod, FrequenciesOutsideTheRangeFallBackToTheDefault)
{
    EXPECT_EQ(pollingPeriodMs(0), 100u);
    EXPECT_EQ(pollingPeriodMs(-3), 100u);
    EXPECT_EQ(pollingPeriodMs(1000000), 100u);
}
