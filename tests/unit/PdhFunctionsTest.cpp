#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include <pdhmsg.h>

#include "counters/CounterQuery.h"
#include "counters/PdhFunctions.h"

namespace {

// The one export the lookup pretends the module lacks; null: none.
const char* hiddenExport = nullptr;

FARPROC WINAPI lookUpAllButHidden(HMODULE module, LPCSTR name)
{
    return hiddenExport != nullptr && std::strcmp(name, hiddenExport) == 0 ? nullptr : GetProcAddress(module, name);
}

// A Windows in another language: PdhAddCounterW wants localized names and
// refuses every English path.
PDH_STATUS WINAPI refuseEnglishPath(PDH_HQUERY, LPCWSTR, DWORD_PTR, PDH_HCOUNTER*)
{
    return static_cast<PDH_STATUS>(PDH_CSTATUS_NO_OBJECT);
}

FARPROC WINAPI lookUpOnLocalizedWindows(HMODULE module, LPCSTR name)
{
    if (std::strcmp(name, "PdhAddCounterW") != 0)
        return GetProcAddress(module, name);
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(refuseEnglishPath));
}

HMODULE noModule() { return nullptr; }
HMODULE moduleWithoutPdh() { return GetModuleHandleW(L"kernel32.dll"); }
HMODULE systemPdhModule() { return LoadLibraryExW(L"pdh.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32); }

struct UnusablePdh {
    const char* name;
    HMODULE (*module)();
    const char* hiddenExport;
};

void PrintTo(const UnusablePdh& pdh, std::ostream* out) { *out << pdh.name; }

}  // namespace

class UnusablePdhModule : public ::testing::TestWithParam<UnusablePdh> {};

TEST_P(UnusablePdhModule, EveryCallFailsAndWritesNoHandle)
{
    hiddenExport = GetParam().hiddenExport;
    const PdhFunctions pdh = bindPdh(GetParam().module(), lookUpAllButHidden);
    hiddenExport = nullptr;

    const auto untouchedQuery = reinterpret_cast<PDH_HQUERY>(0x5A5A);
    const auto untouchedCounter = reinterpret_cast<PDH_HCOUNTER>(0xA5A5);
    PDH_HQUERY query = untouchedQuery;
    PDH_HCOUNTER counter = untouchedCounter;
    PDH_FMT_COUNTERVALUE value = {};
    DWORD bytes = 0;
    DWORD items = 0;
    const std::vector<PDH_STATUS> statuses = {
        pdh.openQuery(nullptr, 0, &query),
        pdh.addCounter(untouchedQuery, L"\\Memory\\% Committed Bytes In Use", 0, &counter),
        pdh.collectQueryData(untouchedQuery),
        pdh.getFormattedCounterValue(untouchedCounter, PDH_FMT_LONG, nullptr, &value),
        pdh.closeQuery(untouchedQuery),
        pdh.removeCounter(untouchedCounter),
        pdh.getRawCounterArray(untouchedCounter, &bytes, &items, nullptr),
    };
    EXPECT_EQ(statuses, std::vector<PDH_STATUS>(7, static_cast<PDH_STATUS>(PDH_FUNCTION_NOT_FOUND)));
    EXPECT_EQ(query, untouchedQuery);
    EXPECT_EQ(counter, untouchedCounter);
}

INSTANTIATE_TEST_SUITE_P(
    PdhBinding, UnusablePdhModule,
    ::testing::Values(UnusablePdh{"NoDll", noModule, nullptr},
                      UnusablePdh{"ModuleWithoutPdh", moduleWithoutPdh, nullptr},
                      UnusablePdh{"LacksOpenQuery", systemPdhModule, "PdhOpenQueryW"},
                      UnusablePdh{"LacksAddCounter", systemPdhModule, "PdhAddEnglishCounterW"},
                      UnusablePdh{"LacksCollect", systemPdhModule, "PdhCollectQueryData"},
                      UnusablePdh{"LacksFormat", systemPdhModule, "PdhGetFormattedCounterValue"},
                      UnusablePdh{"LacksClose", systemPdhModule, "PdhCloseQuery"},
                      UnusablePdh{"LacksRemove", systemPdhModule, "PdhRemoveCounter"}),
    [](const ::testing::TestParamInfo<UnusablePdh>& info) { return std::string(info.param.name); });

TEST(PdhBinding, WithoutTheRawCounterArrayTheQueryKeepsItsSix)
{
    hiddenExport = "PdhGetRawCounterArrayW";
    const PdhFunctions pdh = bindPdh(systemPdhModule(), lookUpAllButHidden);
    hiddenExport = nullptr;
    DWORD bytes = 0;
    DWORD items = 0;
    EXPECT_EQ(pdh.getRawCounterArray(nullptr, &bytes, &items, nullptr),
              static_cast<PDH_STATUS>(PDH_FUNCTION_NOT_FOUND));
    PDH_HQUERY query = nullptr;
    ASSERT_EQ(pdh.openQuery(nullptr, 0, &query), ERROR_SUCCESS);
    EXPECT_EQ(pdh.closeQuery(query), ERROR_SUCCESS);
}

TEST(PdhBinding, SystemTableIsBoundOnceToSystem32sPdh)
{
    const PdhFunctions& pdh = systemPdh();
    EXPECT_EQ(&systemPdh(), &pdh);
    EXPECT_EQ(reinterpret_cast<void (*)()>(pdh.openQuery),
              reinterpret_cast<void (*)()>(GetProcAddress(systemPdhModule(), "PdhOpenQueryW")));
    PDH_HQUERY query = nullptr;
    ASSERT_EQ(pdh.openQuery(nullptr, 0, &query), ERROR_SUCCESS);
    EXPECT_EQ(pdh.closeQuery(query), ERROR_SUCCESS);
}

TEST(PdhBinding, CountersAreAddedByEnglishPathOnAnyLanguage)
{
    const PdhFunctions pdh = bindPdh(systemPdhModule(), lookUpOnLocalizedWindows);
    CounterQuery query(pdh);
    query.addCounter(L"cpu0", L"\\Processor(0)\\% Processor Time");
    query.addCounter(L"mem", L"\\Memory\\% Committed Bytes In Use");
    std::vector<std::wstring> keyNames;
    query.getKeyNames(keyNames);
    EXPECT_EQ(keyNames, (std::vector<std::wstring>{L"cpu0", L"mem"}));
    query.collect();
    EXPECT_EQ(query.status, ERROR_SUCCESS);
}
