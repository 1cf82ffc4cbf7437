// Gauge set-up: the start-up step that decides which gauges exist. It files
// one counter and one gauge per active processor, then one for committed
// memory, each under the same key name in the counter query and in the
// monitor registry.

#include "gauges/GaugeSetup.h"

#include <climits>
#include <string>

#include "common/TextBuffer.h"
#include "counters/CounterQuery.h"
#include "gauges/AveragingPercentMonitor.h"
#include "gauges/MonitorRegistry.h"

namespace {

constexpr std::size_t kTextCapacity = 100;
constexpr wchar_t kProcessorKeyFormat[] = L"cpu%d";
constexpr wchar_t kProcessorPathFormat[] = L"\\Processor(%d)\\%% Processor Time";

// The active mask has one bit per processor up to its own width; a processor
// beyond that has no bit to be active by, and shifting that far is undefined.
constexpr DWORD kMaskBits = sizeof(DWORD_PTR) * CHAR_BIT;

// Files the counter, then the gauge, which is made whether or not the query
// took the counter.
void fileGauge(const std::wstring& keyName, const std::wstring& path, CounterQuery& query,
               MonitorRegistry& registry)
{
    query.addCounter(keyName, path);
    registry.slotFor(keyName) = new AveragingPercentMonitor(keyName);
}

std::wstring formatWithIndex(const wchar_t* format, int index)
{
    TextBuffer text(kTextCapacity);
    text.appendFormatted(format, index);
    return text.text();
}

} // namespace

const wchar_t kMemoryKeyName[] = L"mem";
const wchar_t kMemoryCounterPath[] = L"\\Memory\\% Committed Bytes In Use";

std::wstring processorKeyName(int index)
{
    return formatWithIndex(kProcessorKeyFormat, index);
}

std::wstring processorCounterPath(int index)
{
    return formatWithIndex(kProcessorPathFormat, index);
}

ProcessorInfo systemProcessorInfo()
{
    SYSTEM_INFO info = {};
    GetSystemInfo(&info);
    ProcessorInfo processors;
    processors.count = info.dwNumberOfProcessors;
    processors.activeMask = info.dwActiveProcessorMask;
    return processors;
}

void setUpGauges(const ProcessorInfo& processors, CounterQuery& query, MonitorRegistry& registry)
{
    for (DWORD index = 0; index < processors.count && index < kMaskBits; ++index) {
        if ((processors.activeMask & (DWORD_PTR{1} << index)) == 0)
            continue;
        const int processor = static_cast<int>(index);
        fileGauge(processorKeyName(processor), processorCounterPath(processor), query, registry);
    }
    fileGauge(kMemoryKeyName, kMemoryCounterPath, query, registry);
}

void setUpGauges()
{
    setUpGauges(systemProcessorInfo(), counterQuery, monitorRegistry);
}
