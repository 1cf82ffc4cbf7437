// The default PDH table: straight through to pdh.dll.

#include "counters/PdhFunctions.h"

const PdhFunctions& systemPdh()
{
    static const PdhFunctions table = {
        PdhOpenQueryW,
        PdhAddCounterW,
        PdhCollectQueryData,
        PdhGetFormattedCounterValue,
        PdhCloseQuery,
    };
    return table;
}
