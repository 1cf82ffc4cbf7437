// The processors that get a gauge and the names of their counters.

#include "gauges/CounterNames.h"

#include <climits>

#include "common/TextBuffer.h"

namespace {

constexpr std::size_t kTextCapacity = 100;
constexpr wchar_t kProcessorKeyFormat[] = L"cpu%d";
constexpr wchar_t kProcessorPathFormat[] = L"\\Processor(%d)\\%% Processor Time";

// The active mask has one bit per processor up to its own width; a processor
// beyond that has no bit to be active by, and shifting that far is undefined.
constexpr DWORD kMaskBits = sizeof(DWORD_PTR) * CHAR_BIT;

std::wstring formatWithIndex(const wchar_t* format, int index)
{
    TextBuffer text(kTextCapacity);
    text.appendFormatted(format, index);
    return text.text();
}

} // namespace

const wchar_t kMemoryKeyName[] = L"mem";
const wchar_t kMemoryCounterPath[] = L"\\Memory\\% Committed Bytes In Use";

ProcessorInfo systemProcessorInfo()
{
    SYSTEM_INFO info = {};
    GetSystemInfo(&info);
    ProcessorInfo processors;
    processors.count = info.dwNumberOfProcessors;
    processors.activeMask = info.dwActiveProcessorMask;
    return processors;
}

std::vector<int> activeProcessors(const ProcessorInfo& processors)
{
    std::vector<int> active;
    for (DWORD index = 0; index < processors.count && index < kMaskBits; ++index) {
        if ((processors.activeMask & (DWORD_PTR{1} << index)) != 0)
            active.push_back(static_cast<int>(index));
    }
    return active;
}

std::wstring processorKeyName(int index)
{
    return formatWithIndex(kProcessorKeyFormat, index);
}

std::wstring processorCounterPath(int index)
{
    return formatWithIndex(kProcessorPathFormat, index);
}
