// ProcessorOrder: reading "node,index" instance names and ordering them by
// node, then index. The first number is never taken as a processor group:
// one node can span several groups, and Windows splits large nodes to fit
// them, so only the order of the numbers means anything.

#include "gauges/ProcessorOrder.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>
#include <tuple>

namespace {

struct NodePlace {
    std::uint32_t node;
    std::uint32_t index;
    const std::wstring* name;
};

// A decimal number of at most 32 bits, with no sign and no leading zero:
// as Windows writes them, so "07" and "7" never name one processor twice.
std::optional<std::uint32_t> decimal(std::wstring_view text)
{
    if (text.empty() || (text.size() > 1 && text[0] == L'0'))
        return std::nullopt;
    std::uint64_t value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9')
            return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - L'0');
        if (value > UINT32_MAX)
            return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

std::optional<NodePlace> placeOf(const std::wstring& name)
{
    const std::wstring_view text = name;
    const std::size_t comma = text.find(L',');
    if (comma == std::wstring_view::npos)
        return std::nullopt;
    const std::optional<std::uint32_t> node = decimal(text.substr(0, comma));
    const std::optional<std::uint32_t> index = decimal(text.substr(comma + 1));
    if (!node || !index)
        return std::nullopt;
    return NodePlace{*node, *index, &name};
}

bool before(const NodePlace& a, const NodePlace& b)
{
    return std::tie(a.node, a.index) < std::tie(b.node, b.index);
}

bool samePlace(const NodePlace& a, const NodePlace& b)
{
    return a.node == b.node && a.index == b.index;
}

} // namespace

std::vector<std::wstring> processorsInNodeOrder(const std::vector<std::wstring>& instanceNames, std::size_t limit)
{
    std::vector<NodePlace> places;
    places.reserve(instanceNames.size());
    for (const std::wstring& name : instanceNames)
        if (const std::optional<NodePlace> place = placeOf(name))
            places.push_back(*place);
    // Stable, so that of two copies of a name the first listed is kept.
    std::stable_sort(places.begin(), places.end(), before);
    places.erase(std::unique(places.begin(), places.end(), samePlace), places.end());

    places.resize(std::min(places.size(), limit));
    std::vector<std::wstring> ordered;
    ordered.reserve(places.size());
    for (const NodePlace& place : places)
        ordered.push_back(*place.name);
    return ordered;
}
