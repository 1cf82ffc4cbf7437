// The counters floor's PDH query.

#include "bench/floor/FloorCounters.h"

#include <string>

#include "counters/PdhFunctions.h"
#include "gauges/CounterNames.h"

FloorCounters::FloorCounters(const PdhFunctions& pdh, const ProcessorCounters& processors) : pdh_(pdh)
{
    if (pdh_.openQuery(nullptr, 0, &query_) != ERROR_SUCCESS) {
        query_ = nullptr;
        return;
    }
    std::vector<std::wstring> paths;
    for (const ProcessorCounter& processor : processors)
        paths.push_back(processor.path);
    paths.push_back(kMemoryCounterPath);
    for (const std::wstring& path : paths) {
        PDH_HCOUNTER counter = nullptr;
        if (pdh_.addCounter(query_, path.c_str(), 0, &counter) == ERROR_SUCCESS)
            counters_.push_back(counter);
    }
}

FloorCounters::~FloorCounters()
{
    if (query_ != nullptr)
        pdh_.closeQuery(query_);
}

void FloorCounters::collect()
{
    if (query_ == nullptr || pdh_.collectQueryData(query_) != ERROR_SUCCESS)
        return;
    for (PDH_HCOUNTER counter : counters_) {
        PDH_FMT_COUNTERVALUE value = {};
        pdh_.getFormattedCounterValue(counter, PDH_FMT_LONG, nullptr, &value);
    }
}
