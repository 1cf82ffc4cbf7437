// The default PDH table, bound at run time to System32's pdh.dll, and the
// failing table that stands in when that DLL or a function is missing.

#include "counters/PdhFunctions.h"

#include <pdhmsg.h>

#include "common/SystemFunction.h"

namespace {

constexpr PDH_STATUS kMissing = static_cast<PDH_STATUS>(PDH_FUNCTION_NOT_FOUND);

// A stand-in for any PDH function: fails, and writes nothing.
template <typename... Arguments>
PDH_STATUS WINAPI missing(Arguments...)
{
    return kMissing;
}

template <typename... Arguments>
void makeMissing(PDH_STATUS(WINAPI*& function)(Arguments...))
{
    function = missing<Arguments...>;
}

PdhFunctions missingPdh()
{
    PdhFunctions table = {};
    makeMissing(table.openQuery);
    makeMissing(table.addCounter);
    makeMissing(table.collectQueryData);
    makeMissing(table.getFormattedCounterValue);
    makeMissing(table.closeQuery);
    makeMissing(table.removeCounter);
    makeMissing(table.getRawCounterArray);
    return table;
}

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
    if (pdhModule == nullptr)
        return missingPdh();
    PdhFunctions bound = {};
    const bool complete = lookUp(pdhModule, lookup, "PdhOpenQueryW", bound.openQuery) &&
                          lookUp(pdhModule, lookup, "PdhAddEnglishCounterW", bound.addCounter) &&
                          lookUp(pdhModule, lookup, "PdhCollectQueryData", bound.collectQueryData) &&
                          lookUp(pdhModule, lookup, "PdhGetFormattedCounterValue", bound.getFormattedCounterValue) &&
                          lookUp(pdhModule, lookup, "PdhCloseQuery", bound.closeQuery) &&
                          lookUp(pdhModule, lookup, "PdhRemoveCounter", bound.removeCounter);
    if (!complete)
        return missingPdh();
    if (!lookUp(pdhModule, lookup, "PdhGetRawCounterArrayW", bound.getRawCounterArray))
        makeMissing(bound.getRawCounterArray);
    return bound;
}

const PdhFunctions& systemPdh()
{
    // pdh.dll is no KnownDLL: a plain load, or a static import, would take a
    // pdh.dll dropped beside plix.exe before the system's own. The first use
    // is the counter query's construction, before wWinMain; the module stays
    // loaded for the rest of the process.
    static const PdhFunctions table = bindPdh(LoadLibraryExW(L"pdh.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    return table;
}
