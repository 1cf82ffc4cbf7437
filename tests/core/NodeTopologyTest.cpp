#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include "hostcounters/NodeTopology.h"

using namespace hostcounters;

namespace {

std::vector<unsigned> range(unsigned first, unsigned end)
{
    std::vector<unsigned> cpus;
    for (unsigned cpu = first; cpu < end; ++cpu)
        cpus.push_back(cpu);
    return cpus;
}

// /proc/stat slots with cpu n busy n of 100 + n jiffies; `absent` left out.
std::vector<CpuSlot> stat(unsigned count, std::vector<unsigned> absent = {})
{
    std::vector<CpuSlot> slots(count);
    for (unsigned n = 0; n < count; ++n)
        slots[n] = {std::find(absent.begin(), absent.end(), n) == absent.end(), {n, 100u + n}};
    return slots;
}

}  // namespace

TEST(CpuList, ParsesLinuxListsAndRefusesTheRest)
{
    struct Row {
        const char* text;
        bool parses;
        std::vector<unsigned> cpus;
    };
    const Row rows[] = {
        {"0-3\n", true, range(0, 4)},     {"5", true, {5}},         {"", true, {}},
        {"\n", true, {}},                 {"8-9,0-1\n", true, {0, 1, 8, 9}},
        {"0-2,1-3", true, range(0, 4)},   {"8191", true, {8191}},   {"8192", false, {}},
        {"3-1", false, {}},               {"0-", false, {}},        {"-1", false, {}},
        {"0,,1", false, {}},              {"0,", false, {}},        {"0 1", false, {}},
        {"0-3:2/4", false, {}},           {"0\n\n", false, {}},     {"x", false, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        std::vector<unsigned> cpus;
        EXPECT_EQ(parseCpuList(row.text, cpus), row.parses);
        if (row.parses)
            EXPECT_EQ(cpus, row.cpus);
    }
}

TEST(Topology, NodesAndTheFirstGroupFollowWindowsRules)
{
    struct Row {
        const char* name;
        std::vector<NodeCpuList> lists;
        std::vector<CpuSlot> stat;
        std::vector<std::vector<unsigned>> nodeCpus;  // of nodes 0, 1, ... unless `numbers` says otherwise
        std::vector<unsigned> firstGroup;
        std::vector<unsigned> numbers = {};
    };
    const Row rows[] = {
        {"two nodes of 64", {{0, "0-63\n"}, {1, "64-127\n"}}, stat(128), {range(0, 64), range(64, 128)}, range(0, 64)},
        {"node order, not list order", {{1, "0-3\n"}, {0, "4-7\n"}}, stat(8), {range(4, 8), range(0, 4)},
         {4, 5, 6, 7, 0, 1, 2, 3}},
        {"four of 24: a third would pass 64", {{0, "0-23"}, {1, "24-47"}, {2, "48-71"}, {3, "72-95"}}, stat(96),
         {range(0, 24), range(24, 48), range(48, 72), range(72, 96)}, range(0, 48)},
        {"one node of 128 is split", {{0, "0-127"}}, stat(128), {range(0, 128)}, range(0, 64)},
        {"a node of 64 after one of 4", {{0, "0-3"}, {1, "4-67"}}, stat(68), {range(0, 4), range(4, 68)}, range(0, 4)},
        {"offline and missing cpus are no processors", {{0, "0-3"}, {1, "4-7"}}, stat(6, {2}),
         {{0, 1, 3}, {4, 5}}, {0, 1, 3, 4, 5}},
        {"a node without processors is left out", {{0, "0-1"}, {1, "\n"}, {2, "2-3"}}, stat(4), {{0, 1}, {2, 3}},
         range(0, 4), {0, 2}},
        {"no node folder", {}, stat(3, {1}), {{0, 2}}, {0, 2}},
        {"a list that does not parse", {{0, "0-1"}, {1, "2-x"}}, stat(4), {range(0, 4)}, range(0, 4)},
        {"a node named twice", {{0, "0-1"}, {0, "2-3"}}, stat(4), {range(0, 4)}, range(0, 4)},
        {"a cpu in two nodes", {{0, "0-2"}, {1, "2-3"}}, stat(4), {range(0, 4)}, range(0, 4)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Topology topology = buildTopology(row.lists, row.stat);
        ASSERT_EQ(topology.nodes.size(), row.nodeCpus.size());
        for (std::size_t n = 0; n < row.nodeCpus.size(); ++n) {
            EXPECT_EQ(topology.nodes[n].number, row.numbers.empty() ? n : row.numbers[n]);
            EXPECT_EQ(topology.nodes[n].cpus, row.nodeCpus[n]);
        }
        EXPECT_EQ(topology.firstGroup, row.firstGroup);
    }
}

TEST(Topology, InstancesAreListedInStringOrderAndSumTheirProcessors)
{
    Topology topology = buildTopology({{0, "0-11"}, {1, "12-23\n"}}, stat(24, {13}));
    std::vector<std::wstring> names;
    for (const ProcessorInstance& instance : topology.instances)
        names.push_back(instance.name);
    ASSERT_EQ(names.size(), 11u + 12 + 3);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    const std::vector<std::wstring> first = {L"0,0", L"0,1", L"0,10", L"0,11", L"0,2"};
    EXPECT_EQ(std::vector<std::wstring>(names.begin(), names.begin() + 5), first);
    EXPECT_EQ(names[12], L"0,_Total");
    EXPECT_EQ(names.back(), L"_Total");

    unsigned cpu = 0;
    EXPECT_TRUE(cpuOfInstance(topology, 1, 4, cpu));
    EXPECT_EQ(cpu, 17u);  // cpu 13 is offline, so the node's fifth is 17
    EXPECT_FALSE(cpuOfInstance(topology, 1, 11, cpu));
    EXPECT_FALSE(cpuOfInstance(topology, 2, 0, cpu));

    std::vector<CpuSlot> later = stat(24, {13, 14});  // cpu 14 goes offline
    later[0].times = {std::numeric_limits<std::uint64_t>::max(), std::numeric_limits<std::uint64_t>::max()};
    std::vector<InstanceSample> samples;
    sampleInstances(topology.instances, later, samples);
    ASSERT_EQ(samples.size(), names.size());
    auto sampleOf = [&](const wchar_t* name) {
        return samples[std::find(names.begin(), names.end(), name) - names.begin()];
    };
    EXPECT_EQ(sampleOf(L"1,1").present, false);
    EXPECT_EQ(sampleOf(L"1,2").times.total, 115u);
    EXPECT_EQ(sampleOf(L"1,_Total").times.busy, 12u + 15 + 16 + 17 + 18 + 19 + 20 + 21 + 22 + 23);
    EXPECT_EQ(sampleOf(L"_Total").times.total, std::numeric_limits<std::uint64_t>::max());

    EXPECT_EQ(hundredNanoseconds(3), 300000);
    EXPECT_EQ(hundredNanoseconds(std::numeric_limits<std::uint64_t>::max()), std::numeric_limits<std::int64_t>::max());
}
