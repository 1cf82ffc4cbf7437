#pragma once
// Start-up step that files one counter and one gauge per active processor,
// then one for committed memory.

#include <windows.h>

#include <string>

class CounterQuery;
class MonitorRegistry;

struct ProcessorInfo {
    DWORD count = 0;             // dwNumberOfProcessors
    DWORD_PTR activeMask = 0;    // dwActiveProcessorMask
};

// The key names and counter paths the gauges are filed under: cpu0, cpu1, ...
// with the processor's time counter each, and "mem" with the share of
// committed memory in use. The microbenchmark files the same ones.
std::wstring processorKeyName(int index);
std::wstring processorCounterPath(int index);
extern const wchar_t kMemoryKeyName[];
extern const wchar_t kMemoryCounterPath[];

ProcessorInfo systemProcessorInfo();

// Files the gauges into the given query and registry; tests pass their own.
void setUpGauges(const ProcessorInfo& processors, CounterQuery& query, MonitorRegistry& registry);

// The start-up step itself, on counterQuery and monitorRegistry.
void setUpGauges();
