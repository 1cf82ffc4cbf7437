#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <pdhmsg.h>

#include "counters/CounterQuery.h"
#include "tests/support/ScriptedPdh.h"

namespace {

constexpr PDH_STATUS asStatus(DWORD code)
{
    return static_cast<PDH_STATUS>(code);
}

const std::wstring kPathA = L"\\Processor(0)\\% Processor Time";
const std::wstring kPathB = L"\\Processor(1)\\% Processor Time";
const std::wstring kPathC = L"\\Memory\\% Committed Bytes In Use";

std::vector<std::wstring> keyNamesOf(const CounterQuery& query)
{
    std::vector<std::wstring> names;
    query.getKeyNames(names);
    return names;
}

std::vector<std::wstring> pathsOf(const std::vector<PdhCallRecord>& calls)
{
    std::vector<std::wstring> paths;
    for (const auto& call : calls)
        paths.push_back(call.path);
    return paths;
}

LONG valueOf(const CounterQuery& query, const std::wstring& keyName)
{
    PDH_FMT_COUNTERVALUE value = {};
    EXPECT_TRUE(query.getValue(keyName, value)) << "no entry for key name";
    return value.longValue;
}

// Resets the scripted PDH before any query of a fixture is constructed.
class ScriptedPdhTest : public ::testing::Test {
protected:
    ScriptedPdhTest() { ScriptedPdh::reset(); }
};

// A query with cpu0 (A), cpu1 (B) and mem (C) filed, values 1, 2 and 3
// collected once, and the call log cleared.
class FilledQueryTest : public ScriptedPdhTest {
protected:
    void SetUp() override
    {
        query.addCounter(L"cpu0", kPathA);
        query.addCounter(L"cpu1", kPathB);
        query.addCounter(L"mem", kPathC);
        ScriptedPdh::setValue(kPathA, 1);
        ScriptedPdh::setValue(kPathB, 2);
        ScriptedPdh::setValue(kPathC, 3);
        query.collect();
        ASSERT_EQ(query.status, ERROR_SUCCESS);
        ScriptedPdh::clearCalls();
    }

    CounterQuery query{scriptedPdhTable};
};

using CounterQueryKeyNames = ScriptedPdhTest;
using CounterQueryLifetime = ScriptedPdhTest;
using CounterQueryEmpty = ScriptedPdhTest;
using CounterQueryClosedAtStart = ScriptedPdhTest;
using CounterQueryAdd = FilledQueryTest;
using CounterQueryCollect = FilledQueryTest;
using CounterQueryReopen = FilledQueryTest;

} // namespace

TEST_F(CounterQueryKeyNames, ComeInOrdinalOrderWithMemLast)
{
    CounterQuery query(scriptedPdhTable);
    query.addCounter(L"mem", kPathC);
    for (int i = 0; i <= 11; ++i)
        query.addCounter(L"cpu" + std::to_wstring(i), L"\\Processor(" + std::to_wstring(i) + L")");

    const std::vector<std::wstring> expected = {L"cpu0", L"cpu1", L"cpu10", L"cpu11", L"cpu2",
                                                L"cpu3", L"cpu4", L"cpu5",  L"cpu6",  L"cpu7",
                                                L"cpu8", L"cpu9", L"mem"};
    EXPECT_EQ(keyNamesOf(query), expected);

    // Collecting walks the same order.
    query.collect();
    std::vector<std::wstring> formattedPaths = pathsOf(ScriptedPdh::callsOf(PdhCall::GetFormattedCounterValue));
    ASSERT_EQ(formattedPaths.size(), expected.size());
    EXPECT_EQ(formattedPaths[2], L"\\Processor(10)");
    EXPECT_EQ(formattedPaths[4], L"\\Processor(2)");
    EXPECT_EQ(formattedPaths.back(), kPathC);
}

TEST_F(CounterQueryKeyNames, ReplaceWhatTheVectorHeld)
{
    CounterQuery query(scriptedPdhTable);
    query.addCounter(L"mem", kPathC);
    std::vector<std::wstring> names = {L"stale", L"cpu9", L"mem"};
    query.getKeyNames(names);
    EXPECT_EQ(names, std::vector<std::wstring>{L"mem"});
}

TEST_F(CounterQueryLifetime, ConstructionOpensARealTimeQuery)
{
    CounterQuery query(scriptedPdhTable);
    ASSERT_EQ(ScriptedPdh::calls().size(), 1u);
    const PdhCallRecord& open = ScriptedPdh::calls()[0];
    EXPECT_EQ(open.function, PdhCall::OpenQuery);
    EXPECT_FALSE(open.dataSourceGiven);
    EXPECT_EQ(open.userData, 0u);
    EXPECT_TRUE(query.isOpen);
    EXPECT_EQ(query.status, ERROR_SUCCESS);
    EXPECT_EQ(query.query, open.query);
    EXPECT_NE(query.query, nullptr);
}

TEST_F(CounterQueryLifetime, FailedOpenLeavesTheQueryClosedWithANullHandle)
{
    ScriptedPdh::queueStatus(PdhCall::OpenQuery, PDH_INVALID_DATA);
    CounterQuery query(scriptedPdhTable);
    EXPECT_FALSE(query.isOpen);
    EXPECT_EQ(query.status, asStatus(PDH_INVALID_DATA));
    EXPECT_EQ(query.query, nullptr);
}

TEST_F(CounterQueryLifetime, OpenOnAnOpenQueryDoesNothing)
{
    CounterQuery query(scriptedPdhTable);
    PDH_HQUERY handle = query.query;
    query.open();
    EXPECT_EQ(ScriptedPdh::countOf(PdhCall::OpenQuery), 1u);
    EXPECT_EQ(query.query, handle);
}

TEST_F(CounterQueryLifetime, DestructionClosesTheQueryAndNothingElse)
{
    PDH_HQUERY handle = nullptr;
    {
        CounterQuery query(scriptedPdhTable);
        query.addCounter(L"cpu0", kPathA);
        query.addCounter(L"mem", kPathC);
        handle = query.query;
        ScriptedPdh::clearCalls();
    }
    ASSERT_EQ(ScriptedPdh::calls().size(), 1u);
    EXPECT_EQ(ScriptedPdh::calls()[0].function, PdhCall::CloseQuery);
    EXPECT_EQ(ScriptedPdh::calls()[0].query, handle);
    EXPECT_FALSE(ScriptedPdh::queryIsOpen(handle));
}

TEST_F(CounterQueryLifetime, DestructionOfAClosedQueryMakesNoCall)
{
    ScriptedPdh::queueStatus(PdhCall::OpenQuery, PDH_INVALID_DATA);
    {
        CounterQuery query(scriptedPdhTable);
        ScriptedPdh::clearCalls();
    }
    EXPECT_TRUE(ScriptedPdh::calls().empty());
}

TEST_F(CounterQueryLifetime, FailedCloseKeepsTheQueryOpen)
{
    CounterQuery query(scriptedPdhTable);
    PDH_HQUERY handle = query.query;
    ScriptedPdh::queueStatus(PdhCall::CloseQuery, PDH_INVALID_HANDLE);
    query.close();
    EXPECT_TRUE(query.isOpen);
    EXPECT_EQ(query.status, asStatus(PDH_INVALID_HANDLE));
    EXPECT_EQ(query.query, handle);
}

TEST_F(CounterQueryAdd, FilesUnderTheKeyNameWithPathAndHandle)
{
    query.addCounter(L"cpu2", kPathB);
    ASSERT_EQ(ScriptedPdh::calls().size(), 1u);
    const PdhCallRecord& add = ScriptedPdh::calls()[0];
    EXPECT_EQ(add.function, PdhCall::AddCounter);
    EXPECT_EQ(add.query, query.query);
    EXPECT_EQ(add.path, kPathB);
    EXPECT_EQ(add.userData, 0u);
    const CounterEntry& entry = query.counters.at(L"cpu2");
    EXPECT_EQ(entry.name, L"cpu2");
    EXPECT_EQ(entry.path, kPathB);
    EXPECT_EQ(entry.counter, add.counter);
    EXPECT_EQ(entry.value.longValue, 0);
}

TEST_F(CounterQueryAdd, ReplacingAFiledKeyTakesTheNewPathAndHandle)
{
    PDH_HCOUNTER oldCounter = query.counters.at(L"cpu1").counter;
    query.addCounter(L"cpu1", L"\\Processor(7)\\% Processor Time");

    EXPECT_EQ(query.counters.size(), 3u);
    const CounterEntry& entry = query.counters.at(L"cpu1");
    EXPECT_EQ(entry.path, L"\\Processor(7)\\% Processor Time");
    EXPECT_NE(entry.counter, oldCounter);
    EXPECT_EQ(entry.counter, ScriptedPdh::calls().back().counter);
    // The overwritten entry's value means nothing until the next collect.
    EXPECT_EQ(entry.value.longValue, 0);
    // The former counter still belongs to the query: nothing closed or removed it.
    EXPECT_TRUE(ScriptedPdh::counterIsLive(oldCounter));
    EXPECT_EQ(ScriptedPdh::calls().size(), 1u);
}

TEST_F(CounterQueryAdd, RefusedByPdhLeavesTheMapAsItWas)
{
    const std::wstring refused = L"\\Processor(9)\\% Processor Time";
    ScriptedPdh::refuseAdd(refused, PDH_CSTATUS_NO_COUNTER);
    PDH_HCOUNTER oldCounter = query.counters.at(L"cpu1").counter;

    query.addCounter(L"cpu1", refused);
    EXPECT_EQ(query.status, asStatus(PDH_CSTATUS_NO_COUNTER));
    EXPECT_EQ(query.counters.at(L"cpu1").path, kPathB);
    EXPECT_EQ(query.counters.at(L"cpu1").counter, oldCounter);
    EXPECT_EQ(query.counters.at(L"cpu1").value.longValue, 2);

    query.addCounter(L"cpu9", refused);
    EXPECT_EQ(query.status, asStatus(PDH_CSTATUS_NO_COUNTER));
    EXPECT_EQ(query.counters.count(L"cpu9"), 0u);
    EXPECT_EQ(query.counters.size(), 3u);
}

TEST_F(CounterQueryAdd, OnAClosedQueryChangesNothing)
{
    ScriptedPdh::queueStatus(PdhCall::OpenQuery, PDH_INVALID_DATA);
    CounterQuery closed(scriptedPdhTable);
    ScriptedPdh::clearCalls();

    closed.addCounter(L"cpu0", kPathA);
    EXPECT_TRUE(ScriptedPdh::calls().empty());
    EXPECT_TRUE(closed.counters.empty());
    EXPECT_EQ(closed.status, asStatus(PDH_INVALID_DATA));
}

TEST_F(CounterQueryCollect, FormatsEveryEntryAsALong)
{
    ScriptedPdh::setValue(kPathA, 7);
    ScriptedPdh::setValue(kPathB, 100);
    ScriptedPdh::setValue(kPathC, 55);
    query.collect();

    EXPECT_EQ(query.status, ERROR_SUCCESS);
    EXPECT_EQ(valueOf(query, L"cpu0"), 7);
    EXPECT_EQ(valueOf(query, L"cpu1"), 100);
    EXPECT_EQ(valueOf(query, L"mem"), 55);

    ASSERT_EQ(ScriptedPdh::calls().size(), 4u);
    EXPECT_EQ(ScriptedPdh::calls()[0].function, PdhCall::CollectQueryData);
    EXPECT_EQ(ScriptedPdh::calls()[0].query, query.query);
    for (const auto& format : ScriptedPdh::callsOf(PdhCall::GetFormattedCounterValue)) {
        EXPECT_EQ(format.format, 0x100u);
        EXPECT_FALSE(format.typeRequested);
    }
}

TEST_F(CounterQueryCollect, FormatsEveryEntryAndKeepsWhatItMadeOfEachInItsReading)
{
    using O = FormatOutcome;
    ScriptedPdh::setValue(kPathA, 10);
    ScriptedPdh::setValue(kPathB, 20);
    ScriptedPdh::setValue(kPathC, 30);
    // Without a value this time, then gone: neither is the query's failure,
    // and the entries after it are formatted all the same.
    const std::pair<DWORD, DWORD> failures[] = {{PDH_CALC_NEGATIVE_VALUE, 0}, {PDH_INVALID_DATA, PDH_CSTATUS_NO_INSTANCE}};
    for (const auto& [status, counterStatus] : failures) {
        ScriptedPdh::failFormatting(kPathB, status, counterStatus);
        ScriptedPdh::clearCalls();
        query.collect();
        EXPECT_EQ(query.status, ERROR_SUCCESS);
        EXPECT_EQ(valueOf(query, L"cpu1"), 2);
        EXPECT_EQ(valueOf(query, L"mem"), 30);
        EXPECT_EQ(ScriptedPdh::pathsOf(PdhCall::GetFormattedCounterValue),
                  (std::vector<std::wstring>{kPathA, kPathB, kPathC}));
    }
    EXPECT_EQ(query.counters.at(L"cpu1").reading, O::Failed);
    EXPECT_EQ(query.counters.at(L"mem").reading, O::Fresh);
}

TEST_F(CounterQueryCollect, FailedCollectFormatsNothing)
{
    ScriptedPdh::setValue(kPathA, 10);
    ScriptedPdh::queueStatus(PdhCall::CollectQueryData, PDH_NO_DATA);
    query.collect();

    EXPECT_EQ(query.status, asStatus(PDH_NO_DATA));
    EXPECT_EQ(ScriptedPdh::countOf(PdhCall::GetFormattedCounterValue), 0u);
    EXPECT_EQ(valueOf(query, L"cpu0"), 1);
}

TEST_F(CounterQueryCollect, GetValueCopiesTheWholeRecordAndLeavesStatusAlone)
{
    ScriptedPdh::queueStatus(PdhCall::CollectQueryData, PDH_INVALID_HANDLE);
    query.collect();
    ASSERT_EQ(query.status, asStatus(PDH_INVALID_HANDLE));

    PDH_FMT_COUNTERVALUE value;
    value.CStatus = 0xDEAD;
    value.longValue = -1;
    EXPECT_TRUE(query.getValue(L"cpu1", value));
    EXPECT_EQ(value.CStatus, static_cast<DWORD>(PDH_CSTATUS_VALID_DATA));
    EXPECT_EQ(value.longValue, 2);
    EXPECT_EQ(query.status, asStatus(PDH_INVALID_HANDLE));
}

TEST_F(CounterQueryCollect, GetValueOfAMissingKeyLeavesRecordAndStatusAlone)
{
    ScriptedPdh::queueStatus(PdhCall::CollectQueryData, PDH_NO_DATA);
    query.collect();

    PDH_FMT_COUNTERVALUE value;
    value.CStatus = 0xDEAD;
    value.longValue = 4321;
    EXPECT_FALSE(query.getValue(L"cpu2", value));
    EXPECT_EQ(value.CStatus, 0xDEADu);
    EXPECT_EQ(value.longValue, 4321);
    EXPECT_EQ(query.status, asStatus(PDH_NO_DATA));
}

TEST_F(CounterQueryEmpty, CollectWithNoCountersMakesNoFormatCall)
{
    CounterQuery empty(scriptedPdhTable);
    empty.collect();
    EXPECT_EQ(empty.status, ERROR_SUCCESS);

    ScriptedPdh::queueStatus(PdhCall::CollectQueryData, PDH_NO_DATA);
    empty.collect();
    EXPECT_EQ(empty.status, asStatus(PDH_NO_DATA));

    EXPECT_EQ(ScriptedPdh::countOf(PdhCall::CollectQueryData), 2u);
    EXPECT_EQ(ScriptedPdh::countOf(PdhCall::GetFormattedCounterValue), 0u);
}

TEST_F(CounterQueryClosedAtStart, CollectFailsWithoutCallingPdh)
{
    ScriptedPdh::queueStatus(PdhCall::OpenQuery, PDH_INVALID_DATA);
    CounterQuery closed(scriptedPdhTable);
    closed.status = ERROR_SUCCESS;
    ScriptedPdh::clearCalls();

    closed.collect();
    EXPECT_NE(closed.status, ERROR_SUCCESS);
    EXPECT_TRUE(ScriptedPdh::calls().empty());
}

TEST_F(CounterQueryCollect, AfterACloseNeverHandsTheDeadQueryToPdh)
{
    query.close();
    ASSERT_EQ(query.status, ERROR_SUCCESS);
    EXPECT_FALSE(query.isOpen);
    EXPECT_EQ(query.query, nullptr);
    ScriptedPdh::clearCalls();

    query.collect();
    EXPECT_NE(query.status, ERROR_SUCCESS);
    EXPECT_TRUE(ScriptedPdh::calls().empty());
}

TEST_F(CounterQueryReopen, WhoseCloseFailsMakesNoFurtherCallAndStaysOpen)
{
    PDH_HQUERY handle = query.query;
    PDH_HCOUNTER counter = query.counters.at(L"cpu0").counter;
    ScriptedPdh::queueStatus(PdhCall::CloseQuery, PDH_INVALID_HANDLE);
    query.reopen();

    ASSERT_EQ(ScriptedPdh::calls().size(), 1u);
    EXPECT_EQ(ScriptedPdh::calls()[0].function, PdhCall::CloseQuery);
    EXPECT_TRUE(query.isOpen);
    EXPECT_EQ(query.status, asStatus(PDH_INVALID_HANDLE));
    EXPECT_EQ(query.query, handle);
    EXPECT_EQ(query.counters.at(L"cpu0").counter, counter);
}

TEST_F(CounterQueryReopen, ReaddsEveryEntryInMapOrderUnderTheNewQuery)
{
    // Filed out of order on purpose: the re-add must follow the key names.
    query.addCounter(L"cpu10", L"\\Processor(10)\\% Processor Time");
    query.addCounter(L"cpu2", L"\\Processor(2)\\% Processor Time");
    PDH_HQUERY oldQuery = query.query;
    PDH_HCOUNTER oldCounter = query.counters.at(L"cpu0").counter;
    ScriptedPdh::clearCalls();

    query.reopen();

    EXPECT_TRUE(query.isOpen);
    EXPECT_EQ(query.status, ERROR_SUCCESS);
    EXPECT_NE(query.query, oldQuery);
    const auto& calls = ScriptedPdh::calls();
    ASSERT_EQ(calls.size(), 7u);
    EXPECT_EQ(calls[0].function, PdhCall::CloseQuery);
    EXPECT_EQ(calls[0].query, oldQuery);
    EXPECT_EQ(calls[1].function, PdhCall::OpenQuery);
    EXPECT_FALSE(calls[1].dataSourceGiven);
    EXPECT_EQ(calls[1].userData, 0u);
    const auto adds = ScriptedPdh::callsOf(PdhCall::AddCounter);
    EXPECT_EQ(pathsOf(adds), (std::vector<std::wstring>{kPathA, kPathB, L"\\Processor(10)\\% Processor Time",
                                                        L"\\Processor(2)\\% Processor Time", kPathC}));
    for (const auto& add : adds) {
        EXPECT_EQ(add.query, query.query);
        EXPECT_EQ(add.userData, 0u);
    }
    EXPECT_NE(query.counters.at(L"cpu0").counter, oldCounter);
    EXPECT_EQ(query.counters.at(L"mem").counter, adds.back().counter);

    ScriptedPdh::setValue(kPathC, 61);
    query.collect();
    EXPECT_EQ(query.status, ERROR_SUCCESS);
    EXPECT_EQ(valueOf(query, L"mem"), 61);
}

TEST_F(CounterQueryReopen, WhoseOpenFailsIsOpenedAgainAtTheNextReopen)
{
    ScriptedPdh::queueStatus(PdhCall::OpenQuery, PDH_MEMORY_ALLOCATION_FAILURE);
    query.reopen();

    EXPECT_FALSE(query.isOpen);
    EXPECT_EQ(query.status, asStatus(PDH_MEMORY_ALLOCATION_FAILURE));
    EXPECT_EQ(ScriptedPdh::countOf(PdhCall::AddCounter), 0u);

    // The collect fails without reaching PDH; the next reopen opens a new
    // query and adds every entry to it.
    ScriptedPdh::clearCalls();
    query.collect();
    EXPECT_NE(query.status, ERROR_SUCCESS);
    EXPECT_TRUE(ScriptedPdh::calls().empty());
    query.reopen();
    EXPECT_TRUE(query.isOpen);
    EXPECT_EQ(ScriptedPdh::countOf(PdhCall::CloseQuery), 0u);
    EXPECT_EQ(ScriptedPdh::countOf(PdhCall::AddCounter), 3u);
    query.collect();
    EXPECT_EQ(query.status, ERROR_SUCCESS);
}

TEST_F(CounterQueryReopen, AfterACleanCloseOpensWithoutClosingAgain)
{
    query.close();
    ScriptedPdh::clearCalls();
    query.reopen();

    EXPECT_TRUE(query.isOpen);
    EXPECT_EQ(query.status, ERROR_SUCCESS);
    EXPECT_EQ(ScriptedPdh::countOf(PdhCall::CloseQuery), 0u);
    EXPECT_EQ(ScriptedPdh::countOf(PdhCall::OpenQuery), 1u);
    EXPECT_EQ(ScriptedPdh::countOf(PdhCall::AddCounter), 3u);
}

TEST_F(CounterQueryReopen, EarlyReaddFailureIsHiddenByASuccessfulLastOne)
{
    ScriptedPdh::refuseAdd(kPathA, PDH_CSTATUS_NO_OBJECT);
    query.reopen();

    EXPECT_TRUE(query.isOpen);
    EXPECT_EQ(query.status, ERROR_SUCCESS);
    EXPECT_EQ(ScriptedPdh::countOf(PdhCall::AddCounter), 3u);
    // The entry stays filed but holds no handle of the new query.
    ASSERT_EQ(query.counters.count(L"cpu0"), 1u);
    EXPECT_EQ(query.counters.at(L"cpu0").counter, nullptr);
}

TEST_F(CounterQueryReopen, LastReaddFailureStaysInStatus)
{
    ScriptedPdh::refuseAdd(kPathC, PDH_CSTATUS_NO_OBJECT);
    query.reopen();

    EXPECT_EQ(query.status, asStatus(PDH_CSTATUS_NO_OBJECT));
    EXPECT_EQ(ScriptedPdh::countOf(PdhCall::AddCounter), 3u);
    EXPECT_NE(query.counters.at(L"cpu0").counter, nullptr);
}

TEST_F(CounterQueryReopen, EntryWhoseReaddFailedReadsAsTroubleWithoutReachingPdhUntilAddedAgain)
{
    PDH_HCOUNTER staleCounter = query.counters.at(L"cpu1").counter;
    ScriptedPdh::refuseAdd(kPathB, PDH_CSTATUS_NO_OBJECT);
    query.reopen();
    ASSERT_EQ(query.status, ERROR_SUCCESS);
    ScriptedPdh::clearCalls();

    ScriptedPdh::setValue(kPathA, 40);
    ScriptedPdh::setValue(kPathB, 50);
    ScriptedPdh::setValue(kPathC, 60);
    query.collect();

    EXPECT_EQ(query.status, ERROR_SUCCESS);
    EXPECT_EQ(valueOf(query, L"cpu0"), 40);
    EXPECT_EQ(valueOf(query, L"cpu1"), 2);
    EXPECT_EQ(query.counters.at(L"cpu1").reading, FormatOutcome::Failed);
    EXPECT_EQ(valueOf(query, L"mem"), 60);
    EXPECT_EQ(ScriptedPdh::pathsOf(PdhCall::GetFormattedCounterValue), (std::vector<std::wstring>{kPathA, kPathC}));
    EXPECT_EQ(ScriptedPdh::countOf(PdhCall::AddCounter), 0u);
    for (const auto& call : ScriptedPdh::calls())
        EXPECT_NE(call.counter, staleCounter);

    // Refused again, then taken: a refused add leaves no handle to remove.
    query.readdCounter(query.counters.at(L"cpu1"));
    EXPECT_EQ(query.counters.at(L"cpu1").counter, nullptr);
    ScriptedPdh::allowAdd(kPathB);
    query.readdCounter(query.counters.at(L"cpu1"));
    query.collect();
    EXPECT_EQ(valueOf(query, L"cpu1"), 50);
    EXPECT_EQ(ScriptedPdh::countOf(PdhCall::RemoveCounter), 0u);
}
