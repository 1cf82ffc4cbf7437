#pragma once
// The counters floor's one PDH query: the counters plix files (every
// processor and committed memory, listed as plix lists them), through System32's pdh.dll as plix loads
// it. Each collect reads them all once and formats each as an integer, and
// nothing more: no gauges, no averaging, no drawing.

#include <windows.h>
#include <pdh.h>

#include <vector>

#include "gauges/CounterNames.h"

class FloorCounters {
public:
    FloorCounters(const PdhFunctions& pdh, const ProcessorCounters& processors);
    FloorCounters(const FloorCounters&) = delete;
    FloorCounters& operator=(const FloorCounters&) = delete;
    ~FloorCounters();

    void collect();

private:
    const PdhFunctions& pdh_;
    PDH_HQUERY query_ = nullptr;
    std::vector<PDH_HCOUNTER> counters_;
};
