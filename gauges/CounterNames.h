#pragma once
// Which processors get a gauge, and the key names and counter paths the
// gauges are filed under: cpu0, cpu1, ... with the processor's time counter
// each, and "mem" with the share of committed memory in use. Gauge set-up,
// the microbenchmark and the counters floor all file the same ones.

#include <windows.h>

#include <string>
#include <vector>

struct ProcessorInfo {
    DWORD count = 0;             // dwNumberOfProcessors
    DWORD_PTR activeMask = 0;    // dwActiveProcessorMask
};

ProcessorInfo systemProcessorInfo();

// The indices of the active processors, in order: those below the count
// whose bit is set in the active mask.
std::vector<int> activeProcessors(const ProcessorInfo& processors);

std::wstring processorKeyName(int index);
std::wstring processorCounterPath(int index);
extern const wchar_t kMemoryKeyName[];
extern const wchar_t kMemoryCounterPath[];
