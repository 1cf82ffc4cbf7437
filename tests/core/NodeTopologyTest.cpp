#include <gtest/gtest.h>

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
