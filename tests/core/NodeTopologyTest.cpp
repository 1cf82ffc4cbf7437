#include <gtest/gtest.h>

#include <algorithm>
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

// /proc/stat slots of `count` cpus, cpu n busy n of 100 + n jiffies; `absent` left out.
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
        {"0-3\n", true, range(0, 4)}, {"5", true, {5}}, {"", true, {}}, {"\n", true, {}},
        {"8-9,0-1\n", true, {0, 1, 8, 9}}, {"0-2,1-3", true, range(0, 4)}, {"8191", true, {8191}},
        {"8192", false, {}}, {"3-1", false, {}}, {"0-", false, {}}, {"0,,1", false, {}}, {"0,", false, {}},
        {"0 1", false, {}}, {"0-3:2/4", false, {}}, {"0\n\n", false, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        std::vector<unsigned> cpus;
        EXPECT_EQ(parseCpuList(row.text, cpus), row.parses);
        EXPECT_EQ(cpus, row.cpus);
    }
}

// The provider's tests cover the usual machines; these are the awkward ones.
TEST(Topology, AwkwardListsGiveWindowsShapeOrOneNode)
{
    struct Row {
        const char* name;
        std::vector<NodeCpuList> lists;
        std::vector<CpuSlot> stat;
        std::vector<ProcessorNode> nodes;
        std::vector<unsigned> firstGroup;
    };
    const Row rows[] = {
        {"one node of 128 is split", {{0, "0-127"}}, stat(128), {{0, range(0, 128)}}, range(0, 64)},
        {"a node of 64 after one of 4", {{0, "0-3"}, {1, "4-67"}}, stat(68), {{0, range(0, 4)}, {1, range(4, 68)}},
         range(0, 4)},
        {"offline and missing cpus are no processors", {{0, "0-3"}, {1, "4-7"}}, stat(6, {2}),
         {{0, {0, 1, 3}}, {1, {4, 5}}}, {0, 1, 3, 4, 5}},
        {"a node without processors", {{0, "0-1"}, {1, "\n"}, {2, "2-3"}}, stat(4), {{0, {0, 1}}, {2, {2, 3}}},
         range(0, 4)},
        {"no lists", {}, stat(3, {1}), {{0, {0, 2}}}, {0, 2}},
        {"a node named twice", {{0, "0-1"}, {0, "2-3"}}, stat(4), {{0, range(0, 4)}}, range(0, 4)},
        {"a cpu in two nodes", {{0, "0-2"}, {1, "2-3"}}, stat(4), {{0, range(0, 4)}}, range(0, 4)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Topology topology = buildTopology(row.lists, row.stat);
        ASSERT_EQ(topology.nodes.size(), row.nodes.size());
        for (std::size_t n = 0; n < row.nodes.size(); ++n) {
            EXPECT_EQ(topology.nodes[n].number, row.nodes[n].number);
            EXPECT_EQ(topology.nodes[n].cpus, row.nodes[n].cpus);
        }
        EXPECT_EQ(topology.firstGroup, row.firstGroup);
    }
}
