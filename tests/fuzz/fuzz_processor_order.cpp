// Any list of instance names, as PDH could hand them over: one name per
// line of the input, each byte a character. The ordering must never crash,
// must keep only names it read from the list, at most the limit, each once,
// strictly in node-then-index order.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "gauges/ProcessorOrder.h"

namespace {

struct Place {
    unsigned long long node;
    unsigned long long index;
};

Place placeOf(const std::wstring& name)
{
    wchar_t* end = nullptr;
    const unsigned long long node = std::wcstoull(name.c_str(), &end, 10);
    if (*end != L',')
        std::abort();
    const unsigned long long index = std::wcstoull(end + 1, &end, 10);
    if (*end != L'\0' || node > UINT32_MAX || index > UINT32_MAX)
        std::abort();
    return {node, index};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::size_t limit = data[0];
    std::vector<std::wstring> names(1);
    for (std::size_t i = 1; i < size; ++i) {
        if (data[i] == '\n')
            names.emplace_back();
        else
            names.back() += static_cast<wchar_t>(data[i]);
    }

    const std::vector<std::wstring> ordered = processorsInNodeOrder(names, limit);
    if (ordered.size() > limit)
        std::abort();
    for (std::size_t i = 0; i < ordered.size(); ++i) {
        bool listed = false;
        for (const std::wstring& name : names)
            listed = listed || name == ordered[i];
        const Place place = placeOf(ordered[i]);
        if (!listed)
            std::abort();
        if (i > 0) {
            const Place previous = placeOf(ordered[i - 1]);
            if (previous.node > place.node || (previous.node == place.node && previous.index >= place.index))
                std::abort();
        }
    }
    return 0;
}
