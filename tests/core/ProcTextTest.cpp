#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "hostcounters/ProcText.h"

using namespace hostcounters;

namespace {

// /proc/stat of a one-processor machine.
constexpr char kOneProcessorStat[] =
    "cpu  4705 356 584 3699176 23060 0 277 0 0 0\n"
    "cpu0 4705 356 584 3699176 23060 0 277 0 0 0\n"
    "intr 1462898 1 0 0 0 0 0 0 0 1 0 0 0 0 0 0 0 0 0\n"
    "ctxt 1990473\n"
    "btime 1062191376\n"
    "processes 2915\n"
    "procs_running 1\n"
    "procs_blocked 0\n"
    "softirq 183433 0 21755 12 39 0 0 0 0 0 161627\n";

// /proc/stat of a two-processor machine.
constexpr char kTwoProcessorStat[] =
    "cpu  14950 0 10974 61942 461 0 187 0 0 0\n"
    "cpu0 5704 0 4720 33746 41 0 74 0 0 0\n"
    "cpu1 9246 0 6254 28195 420 0 113 0 0 0\n"
    "intr 666537 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1 1 1\n"
    "ctxt 1207325\n"
    "btime 1718000000\n"
    "processes 5233\n"
    "procs_running 2\n"
    "procs_blocked 0\n";

// A 64-processor /proc/stat: processor n has spent 100 + n jiffies busy
// (user, system, irq, softirq and steal) out of 1000 + n.
std::string sixtyFourProcessorStat()
{
    std::string text = "cpu  123456 0 65432 9876543 1234 0 567 0 0 0\n";
    for (int n = 0; n < 64; ++n) {
        text += "cpu" + std::to_string(n) + " " + std::to_string(60 + n) + " 0 20 880 20 10 5 5 0 0\n";
    }
    text += "intr 98765432 0 0 0\nctxt 1234567\nbtime 1718000000\n";
    return text;
}

// /proc/meminfo as Linux writes it, shortened.
constexpr char kMeminfo[] =
    "MemTotal:       16314532 kB\n"
    "MemFree:         9034184 kB\n"
    "MemAvailable:   12709240 kB\n"
    "Buffers:          190212 kB\n"
    "Cached:          3592920 kB\n"
    "SwapTotal:       2097148 kB\n"
    "SwapFree:        2097148 kB\n"
    "CommitLimit:    10254412 kB\n"
    "Committed_AS:    3076323 kB\n"
    "VmallocTotal:   34359738367 kB\n"
    "HugePages_Total:       0\n";

CpuTimes times(std::uint64_t busy, std::uint64_t total)
{
    CpuTimes result;
    result.busy = busy;
    result.total = total;
    return result;
}

}  // namespace

TEST(ProcStat, EachTextYieldsItsProcessorsAndLeavesOutBadLines)
{
    // A slot listed with total 0 is only checked to be present (or absent);
    // slots past the listed ones must be absent, if there at all. Every
    // present slot has busy within total.
    struct Slot {
        bool present;
        std::uint64_t total = 0;
        std::uint64_t busy = 0;
    };
    struct Row {
        const char* name;
        std::string text;
        std::size_t found;
        std::vector<Slot> slots;
        int size = -1;  // -1: any size
    };
    std::string truncated(kTwoProcessorStat);
    truncated.resize(truncated.find("cpu1") + 12);  // "cpu1 9246 0 "
    const Row rows[] = {
        // all but idle 3699176 and iowait 23060 is busy
        {"one processor", kOneProcessorStat, 1, {{true, 3728158, 5922}}, 1},
        {"two processors, not the all-processor line", kTwoProcessorStat, 2,
         {{true, 44285, 10498}, {true, 44228, 15613}}, 2},
        // guest 7 and guest_nice 3 are already inside user and nice; a
        // column a newer kernel might add is ignored too.
        {"guest and later columns not added again", "cpu0 10 5 5 70 5 2 2 1 7 3 999\n", 1, {{true, 100, 25}}},
        {"old kernel line with four columns", "cpu0 10 5 5 80\n", 1, {{true, 100, 20}}},
        {"line with fewer than four columns", "cpu0 10 5 5 80\ncpu1 10 5 5\n", 1, {{true}}},
        {"line cut off by a truncated read", truncated, 1, {{true}}},
        {"malformed lines",
         "cpu0 12 x 3 4 5\n"
         "cpu1 99999999999999999999 0 0 0\n"
         "cpu2x 1 2 3 4\n"
         "cpufreq 1 2 3 4\n"
         "cpu99999 1 2 3 4\n"
         "cpu3 1 2 3 4\n",
         1, {{false}, {false}, {false}, {true}}, 4},
        // Columns summing past 64 bits: the total is exactly 2^64 - 1, then one
        // past, which would wrap to 0.
        {"total 2^64 - 1", "cpu0 18446744073709551614 1 0 0\n", 1, {{true}}},
        {"total 2^64", "cpu0 18446744073709551615 1 0 0\n", 0, {}},
        {"total 2^64 in two columns", "cpu0 9223372036854775808 0 0 9223372036854775808\n", 0, {}},
        // Only the first eight columns are summed, so a huge guest time is harmless.
        {"huge guest", "cpu0 1 0 0 1 0 0 0 0 18446744073709551615 18446744073709551615\n", 1, {{true}}},
        {"empty text", "", 0, {}, 0},
        {"no processor lines", "intr 5\nctxt 7\n", 0, {}, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<CpuSlot> cpus;
        EXPECT_EQ(parseProcStat(row.text, cpus), row.found);
        if (row.size >= 0)
            ASSERT_EQ(cpus.size(), static_cast<std::size_t>(row.size));
        ASSERT_GE(cpus.size(), row.slots.size());
        for (std::size_t n = 0; n < cpus.size(); ++n) {
            SCOPED_TRACE(n);
            const Slot expected = n < row.slots.size() ? row.slots[n] : Slot{false};
            EXPECT_EQ(cpus[n].present, expected.present);
            if (!cpus[n].present)
                continue;
            EXPECT_LE(cpus[n].times.busy, cpus[n].times.total);
            if (expected.total != 0) {
                EXPECT_EQ(cpus[n].times.total, expected.total);
                EXPECT_EQ(cpus[n].times.busy, expected.busy);
            }
        }
    }
}

TEST(ProcStat, ReadsSixtyFourProcessors)
{
    std::vector<CpuSlot> cpus;
    EXPECT_EQ(parseProcStat(sixtyFourProcessorStat(), cpus), 64u);
    ASSERT_EQ(cpus.size(), 64u);
    for (unsigned n = 0; n < 64; ++n) {
        SCOPED_TRACE(n);
        EXPECT_TRUE(cpus[n].present);
        EXPECT_EQ(cpus[n].times.total, 1000u + n);
        EXPECT_EQ(cpus[n].times.busy, 100u + n);
    }
}

TEST(ProcStat, ProcessorLeftOutOfTheNextTextIsMarkedAbsent)
{
    std::vector<CpuSlot> cpus;
    parseProcStat(kTwoProcessorStat, cpus);
    EXPECT_EQ(parseProcStat("cpu  5 0 5 90 0 0 0 0 0 0\ncpu0 5 0 5 90 0 0 0 0 0 0\n", cpus), 1u);
    ASSERT_EQ(cpus.size(), 2u);
    EXPECT_TRUE(cpus[0].present);
    EXPECT_EQ(cpus[0].times.total, 100u);
    EXPECT_FALSE(cpus[1].present);
}

TEST(ProcStat, SteadyTextsReuseTheSlotsWithoutGrowing)
{
    std::vector<CpuSlot> cpus;
    std::string wide = sixtyFourProcessorStat();
    parseProcStat(wide, cpus);
    const CpuSlot* storage = cpus.data();
    parseProcStat(kTwoProcessorStat, cpus);
    parseProcStat(wide, cpus);
    EXPECT_EQ(cpus.data(), storage);
    EXPECT_EQ(cpus.size(), 64u);
}

TEST(Meminfo, FindsCommitLimitAndCommittedAs)
{
    std::optional<CommitCharge> charge = parseMeminfo(kMeminfo);
    ASSERT_TRUE(charge.has_value());
    EXPECT_EQ(charge->committedKb, 3076323u);
    EXPECT_EQ(charge->limitKb, 10254412u);
    EXPECT_EQ(committedPercent(*charge), 29);  // 29.999...: whole percents truncate
}

TEST(Meminfo, MissingKeyOrZeroLimitGivesNothing)
{
    EXPECT_FALSE(parseMeminfo("MemTotal: 100 kB\nCommitLimit: 2000 kB\n").has_value());
    EXPECT_FALSE(parseMeminfo("MemTotal: 100 kB\nCommitted_AS: 500 kB\n").has_value());
    EXPECT_FALSE(parseMeminfo("CommitLimit: 0 kB\nCommitted_AS: 500 kB\n").has_value());
    EXPECT_FALSE(parseMeminfo("CommitLimit: kB\nCommitted_AS: 500 kB\n").has_value());
    EXPECT_FALSE(parseMeminfo("").has_value());
}

TEST(Meminfo, KeyCutOffByATruncatedReadGivesNothing)
{
    std::string truncated(kMeminfo);
    truncated.resize(truncated.find("Committed_AS:") + 20);
    EXPECT_FALSE(parseMeminfo(truncated).has_value());
}

TEST(CommittedPercent, CommittedAboveTheLimitShowsAsFull)
{
    CommitCharge charge;
    charge.committedKb = 25000000;
    charge.limitKb = 10254412;
    EXPECT_EQ(committedPercent(charge), 100);
    EXPECT_DOUBLE_EQ(committedPercentExact(charge), 100.0);

    std::optional<CommitCharge> parsed = parseMeminfo("CommitLimit: 1000 kB\nCommitted_AS: 1500 kB\n");
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(committedPercent(*parsed), 100);
}

TEST(CommittedPercent, ExactPercentKeepsTheFraction)
{
    CommitCharge charge;
    charge.committedKb = 1;
    charge.limitKb = 3;
    EXPECT_EQ(committedPercent(charge), 33);
    EXPECT_NEAR(committedPercentExact(charge), 33.333333, 1e-5);
}

TEST(ProcessorTrack, EachReadingYieldsTheShareOfTheLastInterval)
{
    // A step without times is a reading where the processor is absent; a
    // percent of -1 is not checked. The first reading counts from boot, and
    // a processor coming back or counters running backwards count from zero.
    struct Step {
        bool present;
        std::uint64_t busy;
        std::uint64_t total;
        int percent;
    };
    struct Row {
        const char* name;
        std::vector<Step> steps;
    };
    const Row rows[] = {
        {"first reading: share since boot", {{true, 300, 1000, 30}}},
        {"later readings: last interval", {{true, 300, 1000, -1}, {true, 350, 1100, 50}, {true, 440, 1200, 90}}},
        {"no new jiffies keeps the last share", {{true, 300, 1000, -1}, {true, 350, 1100, -1}, {true, 350, 1100, 50}}},
        {"processor that comes back", {{true, 300, 1000, -1}, {false, 0, 0, -1}, {true, 700, 1400, 50}}},
        {"counters running backwards", {{true, 300, 1000, -1}, {true, 20, 100, 20}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ProcessorTrack track;
        for (std::size_t n = 0; n < row.steps.size(); ++n) {
            SCOPED_TRACE(n);
            const Step& step = row.steps[n];
            CpuTimes now = times(step.busy, step.total);
            advanceTrack(track, step.present ? &now : nullptr);
            EXPECT_EQ(track.hasData, step.present);
            if (step.percent >= 0)
                EXPECT_EQ(busyPercent(track), step.percent);
        }
    }
}

TEST(ProcessorTrack, ShareStaysWithinZeroToHundred)
{
    ProcessorTrack track;
    track.hasData = true;
    track.previous = times(500, 1000);
    track.latest = times(800, 1100);  // busy grew more than the total
    EXPECT_EQ(busyPercent(track), 100);
    EXPECT_DOUBLE_EQ(busyPercentExact(track), 100.0);

    track.latest = times(400, 1100);  // busy ran backwards
    EXPECT_EQ(busyPercent(track), 0);

    track.latest = times(500, 1000);  // no jiffies at all
    EXPECT_EQ(busyPercent(track), 0);
    EXPECT_DOUBLE_EQ(busyPercentExact(track), 0.0);
}

TEST(ProcessorTrack, WholePercentTruncatesAndExactDoesNot)
{
    ProcessorTrack track;
    CpuTimes now = times(2, 3);
    advanceTrack(track, &now);
    EXPECT_EQ(busyPercent(track), 66);
    EXPECT_NEAR(busyPercentExact(track), 66.666667, 1e-5);
}

TEST(Percent, HugeCountsStayExactAndWithinZeroToHundred)
{
    // Beyond 2^64 / 100 jiffies or kB the product with 100 no longer fits
    // in 64 bits; the whole percent must still be the exact one truncated.
    struct Row {
        std::uint64_t part;
        std::uint64_t whole;
        int expected;
    };
    constexpr std::uint64_t kMax = ~std::uint64_t{0};
    const Row rows[] = {
        {1133333333333349830u, 1133333333333378945u, 99},
        {kMax / 2, kMax, 49},
        {std::uint64_t{1} << 62, std::uint64_t{1} << 63, 50},
        {kMax - 1, kMax, 99},
        {kMax, kMax, 100},
        {1, kMax, 0},
        {3333333333333333374u, 3333333333333333378u, 99},  // as doubles, 100.00000000000001
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.part << " of " << row.whole);
        ProcessorTrack track;
        CpuTimes now = times(row.part, row.whole);
        advanceTrack(track, &now);
        EXPECT_EQ(busyPercent(track), row.expected);
        EXPECT_GE(busyPercentExact(track), row.expected);
        EXPECT_LE(busyPercentExact(track), std::min(100, row.expected + 1));

        CommitCharge charge;
        charge.committedKb = row.part;
        charge.limitKb = row.whole;
        EXPECT_EQ(committedPercent(charge), row.expected);
    }
}
