#include <gtest/gtest.h>

#include <algorithm>
#include <bitset>
#include <initializer_list>
#include <utility>
#include <string>
#include <vector>

#include <pdhmsg.h>

#include "counters/CounterQuery.h"
#include "gauges/AveragingPercentMonitor.h"
#include "gauges/GaugeSetup.h"
#include "gauges/MonitorRegistry.h"
#include "tests/support/ScriptedPdh.h"

namespace {

const std::wstring kMemoryPath = L"\\Memory\\% Committed Bytes In Use";

std::wstring processorPath(int index)
{
    return L"\\Processor(" + std::to_wstring(index) + L")\\% Processor Time";
}

ProcessorInfo processorInfo(DWORD count, DWORD_PTR activeMask)
{
    ProcessorInfo info;
    info.count = count;
    info.activeMask = activeMask;
    return info;
}

ProcessorCounters processors(DWORD count, DWORD_PTR activeMask)
{
    return processorCountersByIndex(processorInfo(count, activeMask));
}

class GaugeSetup : public ::testing::Test {
protected:
    GaugeSetup() { ScriptedPdh::reset(); }

    std::vector<std::wstring> queryKeys() const
    {
        std::vector<std::wstring> names;
        query.getKeyNames(names);
        return names;
    }

    std::vector<std::wstring> registryKeys() const
    {
        std::vector<std::wstring> names;
        for (const auto& filed : registry.monitors)
            names.push_back(filed.first);
        return names;
    }

    std::vector<std::wstring> addedPaths() const
    {
        std::vector<std::wstring> paths;
        for (const auto& add : ScriptedPdh::callsOf(PdhCall::AddCounter))
            paths.push_back(add.path);
        return paths;
    }

    void expectEveryGaugeNamedAfterItsKey() const
    {
        for (const auto& filed : registry.monitors) {
            ASSERT_NE(filed.second, nullptr) << "no gauge under a filed key name";
            EXPECT_EQ(filed.second->keyName(), filed.first);
        }
    }

    CounterQuery query{scriptedPdhTable};
    MonitorRegistry registry;
};

using MonitorRegistrySlots = GaugeSetup;

const std::wstring kEveryProcessorInformation = L"\\Processor Information(*)\\% Processor Time";

// The instance names PDH lists for NUMA nodes of the given sizes: string
// order, totals included.
std::vector<std::wstring> listedInstances(std::initializer_list<int> nodeSizes)
{
    std::vector<std::wstring> names = {L"_Total"};
    int node = 0;
    for (int size : nodeSizes) {
        for (int index = 0; index < size; ++index)
            names.push_back(std::to_wstring(node) + L"," + std::to_wstring(index));
        names.push_back(std::to_wstring(node++) + L",_Total");
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::wstring informationPath(const std::wstring& instance)
{
    return L"\\Processor Information(" + instance + L")\\% Processor Time";
}

} // namespace

TEST_F(GaugeSetup, InactiveProcessorGetsNeitherCounterNorGauge)
{
    setUpGauges(processors(4, 0xB), query, registry);

    const std::vector<std::wstring> expected = {L"cpu0", L"cpu1", L"cpu3", L"mem"};
    EXPECT_EQ(queryKeys(), expected);
    EXPECT_EQ(registryKeys(), expected);
    EXPECT_EQ(addedPaths(), (std::vector<std::wstring>{L"\\Processor(0)\\% Processor Time",
                                                       L"\\Processor(1)\\% Processor Time",
                                                       L"\\Processor(3)\\% Processor Time",
                                                       L"\\Memory\\% Committed Bytes In Use"}));
    EXPECT_EQ(query.counters.at(L"cpu3").path, processorPath(3));
    EXPECT_EQ(query.counters.at(L"mem").path, kMemoryPath);
    expectEveryGaugeNamedAfterItsKey();
}

TEST_F(GaugeSetup, MaskBitsAtOrAboveTheCountAreIgnored)
{
    setUpGauges(processors(2, 0x5), query, registry);

    EXPECT_EQ(queryKeys(), (std::vector<std::wstring>{L"cpu0", L"mem"}));
    EXPECT_EQ(registryKeys(), (std::vector<std::wstring>{L"cpu0", L"mem"}));
}

TEST_F(GaugeSetup, NoProcessorsGivesMemoryAlone)
{
    setUpGauges(processors(0, ~DWORD_PTR{0}), query, registry);

    EXPECT_EQ(queryKeys(), std::vector<std::wstring>{L"mem"});
    EXPECT_EQ(registryKeys(), std::vector<std::wstring>{L"mem"});
}

TEST_F(GaugeSetup, TwelveProcessorsAreFiledInOrdinalOrderAndAddedByIndex)
{
    setUpGauges(processors(12, 0xFFF), query, registry);

    const std::vector<std::wstring> expected = {L"cpu0", L"cpu1", L"cpu10", L"cpu11", L"cpu2",
                                                L"cpu3", L"cpu4", L"cpu5",  L"cpu6",  L"cpu7",
                                                L"cpu8", L"cpu9", L"mem"};
    EXPECT_EQ(queryKeys(), expected);
    EXPECT_EQ(registryKeys(), expected);

    std::vector<std::wstring> byIndex;
    for (int i = 0; i < 12; ++i)
        byIndex.push_back(processorPath(i));
    byIndex.push_back(kMemoryPath);
    EXPECT_EQ(addedPaths(), byIndex);
    expectEveryGaugeNamedAfterItsKey();
}

TEST_F(GaugeSetup, ProcessorsBeyondTheMaskWidthGetNothing)
{
    constexpr int kMaskBits = sizeof(DWORD_PTR) * 8;
    setUpGauges(processors(kMaskBits + 6, ~DWORD_PTR{0}), query, registry);

    EXPECT_EQ(query.counters.size(), static_cast<std::size_t>(kMaskBits) + 1);
    EXPECT_EQ(registry.monitors.size(), static_cast<std::size_t>(kMaskBits) + 1);
    const std::wstring highest = L"cpu" + std::to_wstring(kMaskBits - 1);
    const std::wstring beyond = L"cpu" + std::to_wstring(kMaskBits);
    EXPECT_EQ(query.counters.count(highest), 1u);
    EXPECT_EQ(query.counters.at(highest).path, processorPath(kMaskBits - 1));
    EXPECT_EQ(query.counters.count(beyond), 0u);
    EXPECT_EQ(registry.monitors.count(beyond), 0u);
    EXPECT_EQ(ScriptedPdh::countOf(PdhCall::AddCounter), static_cast<std::size_t>(kMaskBits) + 1);
}

TEST_F(GaugeSetup, HighestMaskBitCountsWhenTheCountReachesIt)
{
    constexpr int kMaskBits = sizeof(DWORD_PTR) * 8;
    setUpGauges(processors(kMaskBits, DWORD_PTR{1} << (kMaskBits - 1)), query, registry);

    const std::wstring highest = L"cpu" + std::to_wstring(kMaskBits - 1);
    EXPECT_EQ(queryKeys(), (std::vector<std::wstring>{highest, L"mem"}));
}

TEST_F(GaugeSetup, RefusedProcessorCounterKeepsItsGaugeOutOfTheQuery)
{
    ScriptedPdh::refuseAdd(processorPath(1), PDH_CSTATUS_NO_COUNTER);
    setUpGauges(processors(3, 0x7), query, registry);

    EXPECT_EQ(queryKeys(), (std::vector<std::wstring>{L"cpu0", L"cpu2", L"mem"}));
    EXPECT_EQ(registryKeys(), (std::vector<std::wstring>{L"cpu0", L"cpu1", L"cpu2", L"mem"}));
    expectEveryGaugeNamedAfterItsKey();
    // Every name the query lists has a gauge, which the paint pass relies on.
    for (const auto& name : queryKeys())
        EXPECT_NE(registry.monitors.at(name), nullptr);
}

TEST_F(GaugeSetup, ClosedQueryAtStartStillGetsEveryGauge)
{
    ScriptedPdh::queueStatus(PdhCall::OpenQuery, PDH_INVALID_DATA);
    CounterQuery closed(scriptedPdhTable);
    ScriptedPdh::clearCalls();

    setUpGauges(processors(4, 0xB), closed, registry);

    EXPECT_TRUE(closed.counters.empty());
    EXPECT_TRUE(ScriptedPdh::calls().empty());
    EXPECT_EQ(registryKeys(), (std::vector<std::wstring>{L"cpu0", L"cpu1", L"cpu3", L"mem"}));
    expectEveryGaugeNamedAfterItsKey();
}

TEST_F(GaugeSetup, SystemReportsAnActiveProcessorBelowItsCount)
{
    ProcessorInfo system = systemProcessorInfo();
    ASSERT_GE(system.count, 1u);
    setUpGauges(processorCountersByIndex(system), query, registry);
    EXPECT_GE(registry.monitors.size(), 2u);
    EXPECT_LE(registry.monitors.size(), std::bitset<sizeof(DWORD_PTR) * 8>(system.activeMask).count() + 1);
}

TEST_F(MonitorRegistrySlots, UnknownKeyGetsANullSlotThatStaysFiled)
{
    AveragingPercentMonitor*& slot = registry.slotFor(L"cpu7");
    EXPECT_EQ(slot, nullptr);
    EXPECT_EQ(registryKeys(), std::vector<std::wstring>{L"cpu7"});

    auto* gauge = new AveragingPercentMonitor(L"cpu7");
    slot = gauge;
    EXPECT_EQ(registry.slotFor(L"cpu7"), gauge);
    EXPECT_EQ(registry.monitors.size(), 1u);
}

TEST_F(GaugeSetup, ProcessorsAreListedByNodeAndElseByIndex)
{
    struct Row {
        const char* name;
        std::vector<std::wstring> listed;
        DWORD addStatus;    // of the wildcard path
        DWORD arrayStatus;  // of the first array call
        std::size_t strips;
        std::vector<std::pair<std::wstring, std::wstring>> keyPaths;  // a few, checked
    };
    // The fallback: one group of four.
    const ProcessorInfo oneGroup = processorInfo(4, 0xF);
    const Row rows[] = {
        {"128 in two nodes", listedInstances({64, 64}), 0, 0, 129,
         {{L"cpu0", informationPath(L"0,0")}, {L"cpu63", informationPath(L"0,63")},
          {L"cpu64", informationPath(L"1,0")}, {L"cpu69", informationPath(L"1,5")},
          {L"cpu127", informationPath(L"1,63")}}},
        {"96 in four nodes of 24", listedInstances({24, 24, 24, 24}), 0, 0, 97,
         {{L"cpu24", informationPath(L"1,0")}, {L"cpu95", informationPath(L"3,23")}}},
        {"one node of 16: the keys of one group", listedInstances({16}), 0, 0, 17,
         {{L"cpu10", informationPath(L"0,10")}, {L"cpu15", informationPath(L"0,15")}}},
        {"past the layout's bound, memory kept", listedInstances({5000}), 0, 0, 4096,
         {{L"cpu4094", informationPath(L"0,4094")}, {L"mem", kMemoryPath}}},
        {"no such object", {}, PDH_CSTATUS_NO_OBJECT, 0, 5, {{L"cpu3", processorPath(3)}}},
        {"the array call fails", listedInstances({8}), 0, PDH_INVALID_DATA, 5, {{L"cpu0", processorPath(0)}}},
        // What the table answers where pdh.dll lacks the function.
        {"no array function", listedInstances({8}), 0, PDH_FUNCTION_NOT_FOUND, 5, {{L"cpu0", processorPath(0)}}},
        {"only totals", {L"0,_Total", L"_Total"}, 0, 0, 5, {{L"cpu0", processorPath(0)}}},
        {"only malformed names", {L"1,", L"a,b", L"1,2,3"}, 0, 0, 5, {{L"cpu2", processorPath(2)}}},
    };
    for (const Row& row : rows) {
        ScriptedPdh::reset();
        ScriptedPdh::setInstances(kEveryProcessorInformation, row.listed);
        if (row.addStatus != 0)
            ScriptedPdh::refuseAdd(kEveryProcessorInformation, row.addStatus);
        if (row.arrayStatus != 0)
            ScriptedPdh::queueStatus(PdhCall::GetRawCounterArray, row.arrayStatus);
        const ProcessorCounters processors = processorCounters(scriptedPdhTable, oneGroup);
        EXPECT_EQ(ScriptedPdh::countOf(PdhCall::OpenQuery), ScriptedPdh::countOf(PdhCall::CloseQuery))
            << row.name << ": the listing's query is left open";
        CounterQuery rowQuery(scriptedPdhTable);
        MonitorRegistry rowRegistry;
        setUpGauges(processors, rowQuery, rowRegistry);
        EXPECT_EQ(rowQuery.counters.size(), row.strips) << row.name;
        EXPECT_EQ(rowRegistry.monitors.size(), row.strips) << row.name;
        for (const auto& keyPath : row.keyPaths) {
            ASSERT_EQ(rowQuery.counters.count(keyPath.first), 1u) << row.name;
            EXPECT_EQ(rowQuery.counters.at(keyPath.first).path, keyPath.second) << row.name;
        }
    }
}
