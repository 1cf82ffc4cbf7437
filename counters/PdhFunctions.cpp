// The default PDH table, bound at run time to System32's pdh.dll, and the
// failing table that stands in when that DLL or one of its functions is
// missing.

#include "counters/PdhFunctions.h"

#include <pdhmsg.h>

#include "common/SystemFunction.h"

namespace {

constexpr PDH_STATUS kMissing = static_cast<PDH_STATUS>(PDH_FUNCTION_NOT_FOUND);

PDH_STATUS WINAPI missingOpenQuery(LPCWSTR, DWORD_PTR, PDH_HQUERY*)
{
    return kMissing;
}

PDH_STATUS WINAPI missingAddCounter(PDH_HQUERY, LPCWSTR, DWORD_PTR, PDH_HCOUNTER*)
{
    return kMissing;
}

PDH_STATUS WINAPI missingCollectQueryData(PDH_HQUERY)
{
    return kMissing;
}

PDH_STATUS WINAPI missingGetFormattedCounterValue(PDH_HCOUNTER, DWORD, LPDWORD, PPDH_FMT_COUNTERVALUE)
{
    return kMissing;
}

PDH_STATUS WINAPI missingCloseQuery(PDH_HQUERY)
{
    return kMissing;
}

PDH_STATUS WINAPI missingGetRawCounterArray(PDH_HCOUNTER, LPDWORD, LPDWORD, PPDH_RAW_COUNTER_ITEM_W)
{
    return kMissing;
}

constexpr PdhFunctions kMissingPdh = {
    missingOpenQuery,  missingAddCounter,         missingCollectQueryData, missingGetFormattedCounterValue,
    missingCloseQuery, missingGetRawCounterArray,
};

template <typename Function>
bool lookUp(HMODULE module, ProcedureLookup lookup, const char* name, Function& function)
{
    const FARPROC procedure = lookup(module, name);
    function = functionFrom<Function>(procedure);
    return procedure != nullptr;
}

}  // namespace

PdhFunctions bindPdh(HMODULE pdhModule, ProcedureLookup lookup)
{
    if (pdhModule == nullptr) {
        return kMissingPdh;
    }
    PdhFunctions bound = {};
    const bool complete = lookUp(pdhModule, lookup, "PdhOpenQueryW", bound.openQuery) &&
                          lookUp(pdhModule, lookup, "PdhAddEnglishCounterW", bound.addCounter) &&
                          lookUp(pdhModule, lookup, "PdhCollectQueryData", bound.collectQueryData) &&
                          lookUp(pdhModule, lookup, "PdhGetFormattedCounterValue", bound.getFormattedCounterValue) &&
                          lookUp(pdhModule, lookup, "PdhCloseQuery", bound.closeQuery);
    if (!complete)
        return kMissingPdh;
    if (!lookUp(pdhModule, lookup, "PdhGetRawCounterArrayW", bound.getRawCounterArray))
        bound.getRawCounterArray = missingGetRawCounterArray;
    return bound;
}

const PdhFunctions& systemPdh()
{
    // pdh.dll is no KnownDLL: a plain load, or a static import, would take a
    // pdh.dll dropped beside plix.exe before the system's own. The first use
    // is the counter query's construction, before wWinMain; the module stays
    // loaded for the rest of the process.
    static const PdhFunctions table =
        bindPdh(LoadLibraryExW(L"pdh.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    return table;
}
