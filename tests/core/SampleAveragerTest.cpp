// Tests for the averaging arithmetic: the run-of-six averaging and the
// history cap on the queues, the bar lengths and the label's percent, and
// which bars land on the columns a surface shows.

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

#include "gauges/SampleAverager.h"

namespace {

constexpr int kSamplesPerMean = 6;

void feed(SampleAverager& averager, double sample, int times)
{
    for (int i = 0; i < times; ++i)
        averager.addSample(sample);
}

} // namespace

// ---- Averaging and history -------------------------------------------------

TEST(SampleAverager, EveryMeanCoversSixSamplesAndArrivesWithTheNextOne)
{
    struct Row {
        int samples;
        std::size_t history;
        std::size_t pending;
    };
    const Row rows[] = {{0, 0, 0}, {5, 0, 5}, {6, 0, 6}, {7, 1, 1}, {12, 1, 6}, {13, 2, 1}};
    for (const Row& row : rows) {
        SampleAverager averager;
        feed(averager, 0.25, row.samples);
        EXPECT_EQ(averager.history().size(), row.history) << row.samples << " samples";
        EXPECT_EQ(averager.pending().size(), row.pending) << row.samples << " samples";
    }
}

TEST(SampleAverager, MeanOfSixSummedOldestFirst)
{
    struct Row {
        const char* name;
        std::vector<double> samples;  // seven: the seventh stays pending
        double mean;
    };
    const Row rows[] = {
        {"plain mean", {0.5, 0.25, 0.75, 0.0, 1.0, 0.5, 0.125}, 0.5},
        // 1 + 1e16 rounds back to 1e16, so oldest first the 1 is lost and
        // the mean is 0; summed newest first it would survive as 1/6.
        {"oldest first", {1.0, 1e16, -1e16, 0.0, 0.0, 0.0, 0.0}, 0.0},
        {"tenths average just above 0.35", {0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7}, 0.35000000000000003},
    };
    for (const Row& row : rows) {
        SampleAverager averager;
        for (double sample : row.samples)
            averager.addSample(sample);
        ASSERT_EQ(averager.history().size(), 1u) << row.name;
        EXPECT_EQ(averager.history().front(), row.mean) << row.name;
        ASSERT_EQ(averager.pending().size(), 1u) << row.name;
        EXPECT_EQ(averager.pending().front(), row.samples.back()) << row.name;
    }
}

TEST(SampleAverager, HistoryKeepsNewestTwoHundredMeans)
{
    // Run r (samples 6r-5 .. 6r) is all r, so each mean names its run.
    SampleAverager averager;
    for (int sample = 1; sample <= 1200; ++sample)
        averager.addSample((sample - 1) / kSamplesPerMean + 1);
    averager.addSample(201);
    ASSERT_EQ(averager.history().size(), 200u);
    EXPECT_EQ(averager.history().front(), 1.0);

    for (int sample = 1202; sample <= 1207; ++sample)
        averager.addSample((sample - 1) / kSamplesPerMean + 1);
    ASSERT_EQ(averager.history().size(), 200u);
    for (std::size_t i = 0; i < averager.history().size(); ++i)
        ASSERT_EQ(averager.history()[i], static_cast<double>(i + 2)) << "position " << i;
    ASSERT_EQ(averager.pending().size(), 1u);
    EXPECT_EQ(averager.pending().front(), 202.0);
}

// ---- Bar lengths and the label's percent --------------------------------------

TEST(SampleAverager, BarLengthTruncatesTowardZero)
{
    EXPECT_EQ(barLength(0.5, 40), 20);
    EXPECT_EQ(barLength(1.0, 40), 40);
    EXPECT_EQ(barLength(0.0, 40), 0);
    EXPECT_EQ(barLength(0.99 / 40, 40), 0);
    EXPECT_EQ(barLength(-0.11, 40), -4);
    EXPECT_EQ(barLength(0.35000000000000003, 40), 14);
}

TEST(SampleAverager, LabelPercentTruncatesRatherThanRounds)
{
    // 0.29 * 100.0 is 28.999..., and so are 57 and 58 one short.
    EXPECT_EQ(labelPercent(29 / 100.0), 28);
    EXPECT_EQ(labelPercent(57 / 100.0), 56);
    EXPECT_EQ(labelPercent(58 / 100.0), 57);
    EXPECT_EQ(labelPercent(56 / 100.0), 56);
    EXPECT_EQ(labelPercent(0.999), 99);
}

// ---- Bars on the columns a surface shows --------------------------------------

namespace {

struct BarsCase {
    const char* name;
    std::size_t meanCount;
    std::int64_t newestColumn;
    std::int64_t left;
    std::int64_t right;
    std::size_t first;  // expected positions [first, end); first == end: none
    std::size_t end;
};

const BarsCase kBarsCases[] = {
    {"no history", 0, 59, 0, 58, 0, 0},
    {"one mean has no bar", 1, 59, 0, 58, 0, 0},
    {"two means, newest bar off a 58 wide surface", 2, 59, 0, 58, 0, 0},
    {"two means on a 60 wide surface", 2, 59, 0, 60, 1, 2},
    {"three means, both bars off a 58 wide surface", 3, 59, 0, 58, 0, 0},
    {"four means, one bar on column 57", 4, 59, 0, 58, 1, 2},
    {"sixty-one means fill a 60 wide surface", 61, 59, 0, 60, 1, 61},
    {"sixty-one means on 58 columns", 61, 59, 0, 58, 1, 59},
    {"full history on 58 columns", 200, 59, 0, 58, 140, 198},
    {"full history on 60 columns", 200, 59, 0, 60, 140, 200},
    {"full history, gauge at x 30 of a 100 wide surface", 200, 89, 0, 100, 110, 200},
    {"surface right of every bar", 200, 59, 60, 100, 0, 0},
    {"surface left of every bar", 200, 59, -500, -140, 0, 0},
    {"surface covering every bar", 200, 59, -1000, 1000, 1, 200},
    {"empty surface", 200, 59, 10, 10, 0, 0},
    {"one column in the middle", 200, 59, 30, 31, 170, 171},
    {"newest bar past the int range", 200, std::int64_t{INT_MAX} + 59, 0, INT_MAX, 1, 140},
    {"far left surface edge", 200, 59, INT_MIN, 1, 1, 141},
};

} // namespace

TEST(SampleAverager, BarsInColumnsKeepsOnlyBarsOnTheSurface)
{
    for (const BarsCase& c : kBarsCases) {
        const BarPositions bars = barsInColumns(c.meanCount, c.newestColumn, c.left, c.right);
        if (c.first == c.end) {
            EXPECT_TRUE(bars.empty()) << c.name;
            continue;
        }
        EXPECT_EQ(bars.first, c.first) << c.name;
        EXPECT_EQ(bars.end, c.end) << c.name;
        EXPECT_GE(barColumn(bars.first, c.meanCount, c.newestColumn), c.left) << c.name;
        EXPECT_LT(barColumn(bars.end - 1, c.meanCount, c.newestColumn), c.right) << c.name;
    }
}

TEST(SampleAverager, NewestBarStandsOnTheNewestColumnAndOlderOnesLeftOfIt)
{
    EXPECT_EQ(barColumn(199, 200, 59), 59);
    EXPECT_EQ(barColumn(140, 200, 59), 0);
    EXPECT_EQ(barColumn(1, 200, 59), -139);
    EXPECT_EQ(barColumn(1, 2, 59), 59);
}
