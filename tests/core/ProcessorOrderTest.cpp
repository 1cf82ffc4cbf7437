#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gauges/ProcessorOrder.h"

using Names = std::vector<std::wstring>;

TEST(ProcessorOrder, StringOrderInNodeOrderOutWithWhatCannotBeReadLeftOut)
{
    struct Row {
        const char* name;
        Names listed;
        std::size_t limit;
        Names expected;
    };
    const Row rows[] = {
        {"one node, as PDH lists it", {L"0,0", L"0,1", L"0,10", L"0,11", L"0,2", L"0,_Total", L"_Total"}, 64,
         {L"0,0", L"0,1", L"0,2", L"0,10", L"0,11"}},
        {"two nodes, the second's tens first in string order",
         {L"0,0", L"0,1", L"0,_Total", L"1,0", L"1,1", L"1,10", L"1,2", L"1,_Total", L"10,0", L"2,0", L"_Total"}, 64,
         {L"0,0", L"0,1", L"1,0", L"1,1", L"1,2", L"1,10", L"2,0", L"10,0"}},
        {"malformed names", {L"", L"1,", L",3", L"a,b", L"99999999999,1", L"1,2,3", L"1, 2", L"-1,2", L"+1,2",
                             L"01,2", L"1,02", L"4294967296,0", L"4294967295,0", L"3,4"}, 64,
         {L"3,4", L"4294967295,0"}},
        {"a second copy", {L"0,1", L"0,0", L"0,1"}, 64, {L"0,0", L"0,1"}},
        {"cut at the limit, in node order", {L"1,0", L"0,1", L"0,0"}, 2, {L"0,0", L"0,1"}},
        {"nothing readable", {L"_Total", L"0,_Total"}, 64, {}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(processorsInNodeOrder(row.listed, row.limit), row.expected) << row.name;
}
