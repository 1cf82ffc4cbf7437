// Splitting a counter path into object, instance and counter and matching
// them against the counters the host serves. Whether processor N exists
// is the caller's question: it depends on the host, not on the text.

#include "hostcounters/CounterPath.h"

#include "hostcounters/ProcText.h"

namespace hostcounters {

namespace {

constexpr std::wstring_view kProcessorObject = L"Processor";
constexpr std::wstring_view kProcessorInformationObject = L"Processor Information";
constexpr std::wstring_view kEveryInstance = L"*";
constexpr std::wstring_view kProcessorTimeCounter = L"% Processor Time";
constexpr std::wstring_view kMemoryObject = L"Memory";
constexpr std::wstring_view kCommittedInUseCounter = L"% Committed Bytes In Use";

wchar_t foldAsciiCase(wchar_t c)
{
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool sameName(std::wstring_view a, std::wstring_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (foldAsciiCase(a[i]) != foldAsciiCase(b[i]))
            return false;
    }
    return true;
}

struct PathParts {
    std::wstring_view object;
    std::wstring_view instance;
    bool hasInstance = false;
    std::wstring_view counter;
};

bool splitPath(std::wstring_view path, PathParts& parts)
{
    if (path.empty() || path[0] != L'\\')
        return false;
    std::size_t objectEnd = path.find_first_of(L"()\\", 1);
    if (objectEnd == std::wstring_view::npos || objectEnd == 1)
        return false;
    parts.object = path.substr(1, objectEnd - 1);
    std::size_t pos = objectEnd;
    if (path[pos] == L'(') {
        std::size_t close = path.find(L')', pos + 1);
        if (close == std::wstring_view::npos || close == pos + 1)
            return false;
        parts.instance = path.substr(pos + 1, close - pos - 1);
        parts.hasInstance = true;
        pos = close + 1;
    }
    if (pos >= path.size() || path[pos] != L'\\')
        return false;
    parts.counter = path.substr(pos + 1);
    return !parts.counter.empty() && parts.counter.find(L'\\') == std::wstring_view::npos;
}

// Instance names are texts: "07" is not processor 7.
bool readProcessorNumber(std::wstring_view instance, unsigned& number)
{
    if (instance.empty() || (instance.size() > 1 && instance[0] == L'0'))
        return false;
    number = 0;
    for (wchar_t c : instance) {
        if (c < L'0' || c > L'9')
            return false;
        number = number * 10 + static_cast<unsigned>(c - L'0');
        if (number >= kMaxProcessors)
            return false;
    }
    return true;
}

// "N,I" as Windows names a Processor Information instance.
bool readNodeProcessor(std::wstring_view instance, unsigned& node, unsigned& processor)
{
    std::size_t comma = instance.find(L',');
    return comma != std::wstring_view::npos && readProcessorNumber(instance.substr(0, comma), node) &&
           readProcessorNumber(instance.substr(comma + 1), processor);
}

}  // namespace

CounterPath parseCounterPath(std::wstring_view path)
{
    CounterPath result;
    if (path.substr(0, 2) == L"\\\\") {
        result.verdict = PathVerdict::NoMachine;
        return result;
    }
    PathParts parts;
    if (!splitPath(path, parts)) {
        result.verdict = PathVerdict::BadName;
        return result;
    }
    if (sameName(parts.object, kProcessorObject)) {
        unsigned processor = 0;
        if (!sameName(parts.counter, kProcessorTimeCounter)) {
            result.verdict = PathVerdict::NoCounter;
        } else if (!parts.hasInstance || !readProcessorNumber(parts.instance, processor)) {
            result.verdict = PathVerdict::NoInstance;
        } else {
            result.verdict = PathVerdict::Processor;
            result.processor = processor;
        }
        return result;
    }
    if (sameName(parts.object, kProcessorInformationObject)) {
        if (!sameName(parts.counter, kProcessorTimeCounter))
            result.verdict = PathVerdict::NoCounter;
        else if (parts.hasInstance && parts.instance == kEveryInstance)
            result.verdict = PathVerdict::AllNodeProcessors;
        else if (parts.hasInstance && readNodeProcessor(parts.instance, result.node, result.processor))
            result.verdict = PathVerdict::NodeProcessor;
        else
            result.verdict = PathVerdict::NoInstance;
        return result;
    }
    if (sameName(parts.object, kMemoryObject)) {
        if (!sameName(parts.counter, kCommittedInUseCounter))
            result.verdict = PathVerdict::NoCounter;
        else if (parts.hasInstance)
            result.verdict = PathVerdict::NoInstance;
        else
            result.verdict = PathVerdict::CommittedMemory;
        return result;
    }
    result.verdict = PathVerdict::NoObject;
    return result;
}

}  // namespace hostcounters
