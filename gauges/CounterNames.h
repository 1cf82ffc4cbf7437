#pragma once
// Which processors get a gauge, and the key names and counter paths the
// gauges are filed under: cpu0, cpu1, ... with the processor's time counter
// each, and "mem" with the share of committed memory in use.

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

// The active processors of `processors` (one group), the processor of index
// i as cpu{i} with "\Processor(i)\% Processor Time".
ProcessorCounters processorCountersByIndex(const ProcessorInfo& processors);

// The processors plix shows: every one "Processor Information" lists (all
// groups, where GetSystemInfo sees one), in node order, the k-th as cpu{k};
// by index where PDH lists none. Cut to the strip layout's bound.
ProcessorCounters processorCounters(const PdhFunctions& pdh, const ProcessorInfo& processors);
