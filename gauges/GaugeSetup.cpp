// Gauge set-up: the start-up step that decides which gauges exist. It files
// one counter and one gauge per processor, then one for committed memory,
// each under the same key name in the counter query and in the monitor
// registry.

#include "gauges/GaugeSetup.h"

#include <string>

#include "counters/CounterQuery.h"
#include "gauges/AveragingPercentMonitor.h"
#include "gauges/MonitorRegistry.h"

namespace {

// Files the counter, then the gauge, which is made whether or not the query
// took the counter.
void fileGauge(const std::wstring& keyName, const std::wstring& path, CounterQuery& query,
               MonitorRegistry& registry)
{
    query.addCounter(keyName, path);
    registry.slotFor(keyName) = new AveragingPercentMonitor(keyName);
}

} // namespace

void setUpGauges(const ProcessorCounters& processors, CounterQuery& query, MonitorRegistry& registry)
{
    for (const ProcessorCounter& processor : processors)
        fileGauge(processor.keyName, processor.path, query, registry);
    fileGauge(kMemoryKeyName, kMemoryCounterPath, query, registry);
}

void setUpGauges()
{
    setUpGauges(processorCounters(systemPdh(), systemProcessorInfo()), counterQuery, monitorRegistry);
}
