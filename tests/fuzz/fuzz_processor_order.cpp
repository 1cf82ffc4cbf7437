// Any list of instance names, as PDH could hand them over: the first byte
// is the limit, then one name per line, each byte a character. The ordering
// must never crash, and must keep only listed names of two numbers, at most
// the limit, each once, strictly in node-then-index order.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <utility>
#include <vector>

#include "gauges/ProcessorOrder.h"

namespace {

std::pair<unsigned long long, unsigned long long> placeOf(const std::wstring& name)
{
    wchar_t* end = nullptr;
    const unsigned long long node = std::wcstoull(name.c_str(), &end, 10);
    const unsigned long long index = *end == L',' ? std::wcstoull(end + 1, &end, 10) : UINT64_MAX;
    if (*end != L'\0' || node > UINT32_MAX || index > UINT32_MAX)
        std::abort();
    return {node, index};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    std::vector<std::wstring> names(1);
    for (std::size_t i = 1; i < size; ++i) {
        if (data[i] == '\n')
            names.emplace_back();
        else
            names.back() += static_cast<wchar_t>(data[i]);
    }
    const std::vector<std::wstring> ordered = processorsInNodeOrder(names, data[0]);
    bool holds = ordered.size() <= data[0];
    for (std::size_t i = 0; i < ordered.size(); ++i) {
        holds &= std::find(names.begin(), names.end(), ordered[i]) != names.end();
        holds &= i == 0 || placeOf(ordered[i - 1]) < placeOf(ordered[i]);
    }
    if (!holds)
        std::abort();
    return 0;
}
