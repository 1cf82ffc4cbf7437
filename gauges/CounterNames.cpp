// The processors that get a gauge and the names of their counters.

#include "gauges/CounterNames.h"

#include <climits>

#include "common/TextBuffer.h"
#include "counters/InstanceNames.h"
#include "gauges/ProcessorOrder.h"
#include "gauges/StripSize.h"

namespace {

constexpr std::size_t kTextCapacity = 100;
constexpr wchar_t kProcessorKeyFormat[] = L"cpu%d";
constexpr wchar_t kProcessorPathFormat[] = L"\\Processor(%d)\\%% Processor Time";
constexpr wchar_t kEveryProcessorInformation[] = L"\\Processor Information(*)\\% Processor Time";
constexpr wchar_t kProcessorInformationFormat[] = L"\\Processor Information(%s)\\%% Processor Time";
// Memory keeps its strip within the layout's bound.
constexpr std::size_t kMaxProcessorStrips = kMaxStrips - 1;

// The active mask has one bit per processor up to its own width; a processor
// beyond that has no bit to be active by, and shifting that far is undefined.
constexpr DWORD kMaskBits = sizeof(DWORD_PTR) * CHAR_BIT;

// An index, or an instance name (checked to be two numbers and a comma), so
// the text always fits.
template <typename Value>
std::wstring formatted(const wchar_t* format, Value value)
{
    TextBuffer text(kTextCapacity);
    text.appendFormatted(format, value);
    return text.text();
}

// The indices of the active processors, in order: those below the count
// whose bit is set in the active mask.
std::vector<int> activeProcessors(const ProcessorInfo& processors)
{
    std::vector<int> active;
    for (DWORD index = 0; index < processors.count && index < kMaskBits; ++index) {
        if ((processors.activeMask & (DWORD_PTR{1} << index)) != 0)
            active.push_back(static_cast<int>(index));
    }
    return active;
}

} // namespace

const wchar_t kMemoryKeyName[] = L"mem";
const wchar_t kMemoryCounterPath[] = L"\\Memory\\% Committed Bytes In Use";

ProcessorInfo systemProcessorInfo()
{
    SYSTEM_INFO info = {};
    GetSystemInfo(&info);
    return {info.dwNumberOfProcessors, info.dwActiveProcessorMask};
}

std::wstring processorKeyName(int index)
{
    return formatted(kProcessorKeyFormat, index);
}

std::wstring processorCounterPath(int index)
{
    return formatted(kProcessorPathFormat, index);
}

ProcessorCounters processorCountersByIndex(const ProcessorInfo& processors)
{
    ProcessorCounters counters;
    for (int processor : activeProcessors(processors))
        counters.push_back({processorKeyName(processor), processorCounterPath(processor)});
    return counters;
}

ProcessorCounters processorCounters(const PdhFunctions& pdh, const ProcessorInfo& processors)
{
    const std::vector<std::wstring> instances =
        processorsInNodeOrder(instanceNames(pdh, kEveryProcessorInformation), kMaxProcessorStrips);
    if (instances.empty())
        return processorCountersByIndex(processors);
    ProcessorCounters counters;
    counters.reserve(instances.size());
    for (std::size_t k = 0; k < instances.size(); ++k) {
        const std::wstring path = formatted(kProcessorInformationFormat, instances[k].c_str());
        counters.push_back({processorKeyName(static_cast<int>(k)), path});
    }
    return counters;
}
