#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "hostcounters/HandleTable.h"

using namespace hostcounters;

TEST(HandleTable, FindsEachLiveItemByItsHandle)
{
    HandleTable<int> table(1);
    auto first = table.insert(10);
    auto second = table.insert(20);
    EXPECT_NE(first, 0u);
    EXPECT_NE(first, second);
    ASSERT_NE(table.find(first), nullptr);
    ASSERT_NE(table.find(second), nullptr);
    EXPECT_EQ(*table.find(first), 10);
    EXPECT_EQ(*table.find(second), 20);
}

TEST(HandleTable, FreedHandleStaysRefusedAfterItsSlotIsReused)
{
    HandleTable<int> table(1);
    auto freed = table.insert(10);
    EXPECT_TRUE(table.erase(freed));
    auto reused = table.insert(30);
    EXPECT_NE(reused, freed);
    EXPECT_EQ(table.find(freed), nullptr);
    EXPECT_FALSE(table.erase(freed));
    ASSERT_NE(table.find(reused), nullptr);
    EXPECT_EQ(*table.find(reused), 30);
}

TEST(HandleTable, HandleOfAnotherTableIsRefused)
{
    HandleTable<int> queries(1);
    HandleTable<int> counters(2);
    auto query = queries.insert(1);
    auto counter = counters.insert(2);
    EXPECT_EQ(counters.find(query), nullptr);
    EXPECT_EQ(queries.find(counter), nullptr);
    EXPECT_FALSE(counters.erase(query));
}

TEST(HandleTable, MadeUpHandlesAreRefused)
{
    HandleTable<int> table(1);
    auto handle = table.insert(10);
    EXPECT_EQ(table.find(0), nullptr);
    EXPECT_EQ(table.find(1), nullptr);
    EXPECT_EQ(table.find(~std::uint64_t{0}), nullptr);
    EXPECT_EQ(table.find(handle + 1), nullptr);  // the next slot, never filled
    EXPECT_NE(table.find(handle), nullptr);
}

TEST(HandleTable, ErasingSomeLeavesTheOthersFindable)
{
    HandleTable<int> table(1);
    std::vector<std::uint64_t> handles;
    for (int n = 0; n < 100; ++n)
        handles.push_back(table.insert(n));
    for (int n = 0; n < 100; n += 2)
        EXPECT_TRUE(table.erase(handles[n]));
    for (int n = 0; n < 100; ++n) {
        SCOPED_TRACE(n);
        if (n % 2 == 0) {
            EXPECT_EQ(table.find(handles[n]), nullptr);
        } else {
            ASSERT_NE(table.find(handles[n]), nullptr);
            EXPECT_EQ(*table.find(handles[n]), n);
        }
    }
}
