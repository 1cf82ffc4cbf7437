#pragma once
// Which processors get a gauge, and the key names and counter paths the
// gauges are filed under: cpu0, cpu1, ... with the processor's time counter
// each, and "mem" with the share of committed memory in use. Gauge set-up,
// the microbenchmark and the counters floor all file the same ones.

#include <windows.h>

#include <string>
#include <vector>

#include "counters/PdhFunctions.h"

struct ProcessorInfo {
    DWORD count = 0;             // dwNumberOfProcessors
    DWORD_PTR activeMask = 0;    // dwActiveProcessorMask
};

ProcessorInfo systemProcessorInfo();

std::wstring processorKeyName(int index);
std::wstring processorCounterPath(int index);
extern const wchar_t kMemoryKeyName[];
extern const wchar_t kMemoryCounterPath[];

// One processor's strip: the key name it is filed under and its counter.
struct ProcessorCounter {
    std::wstring keyName;
    std::wstring path;
};
using ProcessorCounters = std::vector<ProcessorCounter>;

// Every processor the "Processor Information" object lists, in node order,
// the k-th as cpu{k} with its own instance's counter; empty where PDH has
// no such object or lists no processor in it. It sees every processor
// group, where GetSystemInfo and the "Processor" object see one, 64
// processors at most. Cut so that processors and memory fit the strip
// layout's bound.
ProcessorCounters processorCountersByNode(const PdhFunctions& pdh);

// The active processors of `processors` (one group), the processor of index
// i as cpu{i} with "\Processor(i)\% Processor Time".
ProcessorCounters processorCountersByIndex(const ProcessorInfo& processors);

// The processors plix shows: by node, or by index where that lists none.
ProcessorCounters processorCounters(const PdhFunctions& pdh, const ProcessorInfo& processors);
