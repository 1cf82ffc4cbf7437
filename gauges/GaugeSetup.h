#pragma once
// Start-up step that files one counter and one gauge per processor, then one
// for committed memory.

#include "gauges/CounterNames.h"

class CounterQuery;
class MonitorRegistry;

// Files the gauges into the given query and registry; tests pass their own.
void setUpGauges(const ProcessorCounters& processors, CounterQuery& query, MonitorRegistry& registry);

// The start-up step itself, on counterQuery and monitorRegistry, for every
// processor the system's PDH lists (processorCounters).
void setUpGauges();
