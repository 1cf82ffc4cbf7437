#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include <pdhmsg.h>

#include "counters/CounterQuery.h"
#include "counters/PdhFunctions.h"

namespace {

constexpr PDH_STATUS kNotFound = static_cast<PDH_STATUS>(PDH_FUNCTION_NOT_FOUND);

const PDH_HQUERY kUntouchedQuery = reinterpret_cast<PDH_HQUERY>(0x5A5A);
const PDH_HCOUNTER kUntouchedCounter = reinterpret_cast<PDH_HCOUNTER>(0xA5A5);
const PDH_HQUERY kStandInQuery = reinterpret_cast<PDH_HQUERY>(0x1001);
const PDH_HCOUNTER kStandInCounter = reinterpret_cast<PDH_HCOUNTER>(0x2002);

// Stand-ins for the five exports of a complete pdh.dll: each succeeds and
// writes a handle of its own.
PDH_STATUS WINAPI standInOpenQuery(LPCWSTR, DWORD_PTR, PDH_HQUERY* query)
{
    *query = kStandInQuery;
    return ERROR_SUCCESS;
}

PDH_STATUS WINAPI standInAddCounter(PDH_HQUERY, LPCWSTR, DWORD_PTR, PDH_HCOUNTER* counter)
{
    *counter = kStandInCounter;
    return ERROR_SUCCESS;
}

PDH_STATUS WINAPI standInSucceeds(PDH_HQUERY)
{
    return ERROR_SUCCESS;
}

PDH_STATUS WINAPI standInGetFormattedCounterValue(PDH_HCOUNTER, DWORD, LPDWORD, PPDH_FMT_COUNTERVALUE value)
{
    value->longValue = 42;
    return ERROR_SUCCESS;
}

FARPROC asProcedure(void (*function)())
{
    return reinterpret_cast<FARPROC>(function);
}

template <typename Function>
FARPROC asProcedure(Function function)
{
    return asProcedure(reinterpret_cast<void (*)()>(function));
}

// The one export the module lacks; null: it has all five.
const char* missingExport = nullptr;

FARPROC WINAPI lookUpStandIns(HMODULE, LPCSTR name)
{
    if (missingExport != nullptr && std::strcmp(name, missingExport) == 0)
        return nullptr;
    if (std::strcmp(name, "PdhOpenQueryW") == 0)
        return asProcedure(standInOpenQuery);
    if (std::strcmp(name, "PdhAddCounterW") == 0)
        return asProcedure(standInAddCounter);
    if (std::strcmp(name, "PdhCollectQueryData") == 0 || std::strcmp(name, "PdhCloseQuery") == 0)
        return asProcedure(standInSucceeds);
    if (std::strcmp(name, "PdhGetFormattedCounterValue") == 0)
        return asProcedure(standInGetFormattedCounterValue);
    return nullptr;
}

// What one call of each of the five gives: the statuses in table order and
// the handles and value they wrote over the untouched ones.
struct CallOutcome {
    std::vector<PDH_STATUS> statuses;
    PDH_HQUERY query = kUntouchedQuery;
    PDH_HCOUNTER counter = kUntouchedCounter;
    LONG value = -1;
};

CallOutcome callEveryFunction(const PdhFunctions& pdh)
{
    CallOutcome outcome;
    PDH_FMT_COUNTERVALUE value = {};
    value.longValue = -1;
    outcome.statuses = {
        pdh.openQuery(nullptr, 0, &outcome.query),
        pdh.addCounter(kStandInQuery, L"\\Memory\\% Committed Bytes In Use", 0, &outcome.counter),
        pdh.collectQueryData(kStandInQuery),
        pdh.getFormattedCounterValue(kStandInCounter, PDH_FMT_LONG, nullptr, &value),
        pdh.closeQuery(kStandInQuery),
    };
    outcome.value = value.longValue;
    return outcome;
}

void expectEveryCallFailsAndWritesNothing(const PdhFunctions& pdh)
{
    const CallOutcome outcome = callEveryFunction(pdh);
    EXPECT_EQ(outcome.statuses, std::vector<PDH_STATUS>(5, kNotFound));
    EXPECT_EQ(outcome.query, kUntouchedQuery);
    EXPECT_EQ(outcome.counter, kUntouchedCounter);
    EXPECT_EQ(outcome.value, -1);
}

HMODULE anyModule()
{
    return GetModuleHandleW(nullptr);
}

}  // namespace

class PdhModuleLacking : public ::testing::TestWithParam<const char*> {};

TEST_P(PdhModuleLacking, AnyOneExportLeavesEveryCallFailing)
{
    missingExport = GetParam();
    const PdhFunctions pdh = bindPdh(anyModule(), lookUpStandIns);
    missingExport = nullptr;
    expectEveryCallFailsAndWritesNothing(pdh);
}

INSTANTIATE_TEST_SUITE_P(Exports, PdhModuleLacking,
                         ::testing::Values("PdhOpenQueryW", "PdhAddCounterW", "PdhCollectQueryData",
                                           "PdhGetFormattedCounterValue", "PdhCloseQuery"));

TEST(PdhBinding, CompleteModuleBindsEachEntryToItsOwnExport)
{
    missingExport = nullptr;
    const CallOutcome outcome = callEveryFunction(bindPdh(anyModule(), lookUpStandIns));
    EXPECT_EQ(outcome.statuses, std::vector<PDH_STATUS>(5, ERROR_SUCCESS));
    EXPECT_EQ(outcome.query, kStandInQuery);
    EXPECT_EQ(outcome.counter, kStandInCounter);
    EXPECT_EQ(outcome.value, 42);
}

TEST(PdhBinding, WithoutTheDllEveryCallFails)
{
    expectEveryCallFailsAndWritesNothing(bindPdh(nullptr));
    // A real module, looked up for real, that has none of the five.
    expectEveryCallFailsAndWritesNothing(bindPdh(GetModuleHandleW(L"kernel32.dll")));
}

TEST(PdhBinding, CounterQueryWithoutTheDllRunsAsWhenPdhRefusesEverything)
{
    const PdhFunctions missing = bindPdh(nullptr);
    CounterQuery query(missing);
    EXPECT_FALSE(query.isOpen);
    query.addCounter(L"mem", L"\\Memory\\% Committed Bytes In Use");
    std::vector<std::wstring> keyNames;
    query.getKeyNames(keyNames);
    EXPECT_TRUE(keyNames.empty());
    query.collect();
    query.reopen();
    query.collect();
    EXPECT_NE(query.status, ERROR_SUCCESS);
}

TEST(PdhBinding, SystemTableOpensAndClosesARealQuery)
{
    const PdhFunctions& pdh = systemPdh();
    PDH_HQUERY query = nullptr;
    ASSERT_EQ(pdh.openQuery(nullptr, 0, &query), ERROR_SUCCESS);
    EXPECT_NE(query, nullptr);
    EXPECT_EQ(pdh.closeQuery(query), ERROR_SUCCESS);
    EXPECT_EQ(&systemPdh(), &pdh);
}
