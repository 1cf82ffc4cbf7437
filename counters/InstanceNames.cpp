// InstanceNames: the names behind a wildcard counter path, from PDH's raw
// counter array, whose buffer holds the items and then their names. A name
// is read only inside that buffer, so a malformed answer costs a name, never
// a read past the buffer.

#include "counters/InstanceNames.h"

#include <string>

#include <pdhmsg.h>

namespace {

// PDH may list more instances between asking for the size and filling the
// buffer (a processor brought online): asked again, a few times at most.
constexpr int kSizeQuestions = 3;

using Items = std::vector<PDH_RAW_COUNTER_ITEM_W>;

std::wstring nameInside(const Items& items, const wchar_t* name)
{
    const auto* first = reinterpret_cast<const wchar_t*>(items.data());
    const auto* end = reinterpret_cast<const wchar_t*>(items.data() + items.size());
    if (name == nullptr || name < first || name >= end)
        return std::wstring();
    const std::size_t room = static_cast<std::size_t>(end - name);
    const wchar_t* terminator = std::char_traits<wchar_t>::find(name, room, L'\0');
    return std::wstring(name, terminator != nullptr ? static_cast<std::size_t>(terminator - name) : room);
}

std::vector<std::wstring> arrayNames(const PdhFunctions& pdh, PDH_HCOUNTER counter)
{
    DWORD bytes = 0;
    DWORD count = 0;
    Items items;
    for (int question = 0; question < kSizeQuestions; ++question) {
        PDH_STATUS status = pdh.getRawCounterArray(counter, &bytes, &count, items.empty() ? nullptr : items.data());
        if (status == ERROR_SUCCESS && !items.empty())
            break;
        if (status != static_cast<PDH_STATUS>(PDH_MORE_DATA) || bytes == 0)
            return {};
        items.assign(bytes / sizeof(PDH_RAW_COUNTER_ITEM_W) + 1, PDH_RAW_COUNTER_ITEM_W{});
        bytes = static_cast<DWORD>(items.size() * sizeof(PDH_RAW_COUNTER_ITEM_W));
        count = 0;
        if (question + 1 == kSizeQuestions)
            return {};
    }
    std::vector<std::wstring> names;
    for (DWORD i = 0; i < count && i < items.size(); ++i) {
        std::wstring name = nameInside(items, items[i].szName);
        if (!name.empty())
            names.push_back(std::move(name));
    }
    return names;
}

} // namespace

std::vector<std::wstring> instanceNames(const PdhFunctions& pdh, const wchar_t* wildcardPath)
{
    PDH_HQUERY query = nullptr;
    if (pdh.openQuery(nullptr, 0, &query) != ERROR_SUCCESS)
        return {};
    std::vector<std::wstring> names;
    PDH_HCOUNTER counter = nullptr;
    if (pdh.addCounter(query, wildcardPath, 0, &counter) == ERROR_SUCCESS &&
        pdh.collectQueryData(query) == ERROR_SUCCESS)
        names = arrayNames(pdh, counter);
    pdh.closeQuery(query);
    return names;
}
