// CounterQuery: the one PDH query behind every gauge. It files the counters
// by key name, collects and formats them all together, and reopens itself
// after a failed collect. Every PDH call goes through the PdhFunctions table
// it was made with, and its outcome is kept in `status`.

#include "counters/CounterQuery.h"

#include <utility>

#include <pdhmsg.h>

#include "counters/CounterStatus.h"

static_assert(kPdhInvalidData == PDH_INVALID_DATA && kPdhCStatusInvalidData == PDH_CSTATUS_INVALID_DATA &&
              kPdhCalcNegativeDenominator == PDH_CALC_NEGATIVE_DENOMINATOR && kPdhCalcNegativeTimebase ==
              PDH_CALC_NEGATIVE_TIMEBASE && kPdhCalcNegativeValue == PDH_CALC_NEGATIVE_VALUE, "as in pdhmsg.h");

namespace {

// What collect reports for a query that is not open, or readdCounters for
// an entry on one: neither has a handle PDH could use, so PDH is not asked.
constexpr PDH_STATUS kNoUsableHandle = static_cast<PDH_STATUS>(PDH_INVALID_HANDLE);

constexpr DWORD kNoUserData = 0;

} // namespace

CounterQuery::CounterQuery(const PdhFunctions& pdh) : pdh_(pdh)
{
    open();
}

CounterQuery::~CounterQuery()
{
    close();
}

void CounterQuery::open()
{
    if (isOpen)
        return;
    PDH_HQUERY opened = nullptr;
    status = pdh_.openQuery(nullptr, kNoUserData, &opened);
    if (status != ERROR_SUCCESS) {
        query = nullptr;
        return;
    }
    query = opened;
    isOpen = true;
}

void CounterQuery::close()
{
    if (!isOpen)
        return;
    status = pdh_.closeQuery(query);
    if (status != ERROR_SUCCESS)
        return;
    isOpen = false;
    query = nullptr;
}

void CounterQuery::reopen()
{
    if (isOpen) {
        close();
        if (isOpen)
            return;
    } else if (status != ERROR_SUCCESS) {
        return;
    }
    open();
    if (isOpen)
        readdCounters();
}

void CounterQuery::addCounter(const std::wstring& keyName, const std::wstring& path)
{
    if (!isOpen)
        return;
    CounterEntry entry;
    entry.name = keyName;
    entry.path = path;
    status = pdh_.addCounter(query, entry.path.c_str(), kNoUserData, &entry.counter);
    if (status != ERROR_SUCCESS)
        return;
    // An entry filed before under this key name is overwritten; its counter
    // stays in the query until the query is closed.
    counters.insert_or_assign(keyName, std::move(entry));
}

void CounterQuery::readdCounters()
{
    // A failure does not stop the walk, so only the last entry's result stays
    // in status. An entry that failed drops the handle of the closed query.
    for (auto& filed : counters) {
        CounterEntry& entry = filed.second;
        PDH_HCOUNTER added = nullptr;
        status = isOpen ? pdh_.addCounter(query, entry.path.c_str(), kNoUserData, &added)
                        : kNoUsableHandle;
        entry.counter = status == ERROR_SUCCESS ? added : nullptr;
    }
}

void CounterQuery::collect()
{
    status = isOpen ? pdh_.collectQueryData(query) : kNoUsableHandle;
    // After a failure the entries from there on are left unformatted.
    for (auto& filed : counters) {
        CounterEntry& entry = filed.second;
        entry.fresh = false;
        if (status != ERROR_SUCCESS)
            continue;
        if (entry.counter == nullptr) {
            // Not added again after a reopen (a processor that went away):
            // tried at every collect, with a value from a later one.
            PDH_HCOUNTER added = nullptr;
            if (pdh_.addCounter(query, entry.path.c_str(), kNoUserData, &added) == ERROR_SUCCESS)
                entry.counter = added;
            continue;
        }
        // Formatted aside, so that an entry without a value keeps its previous one.
        PDH_FMT_COUNTERVALUE formatted = {};
        const PDH_STATUS formatting = pdh_.getFormattedCounterValue(entry.counter, PDH_FMT_LONG, nullptr, &formatted);
        const FormatOutcome outcome =
            formatOutcome(static_cast<std::uint32_t>(formatting), static_cast<std::uint32_t>(formatted.CStatus));
        if (outcome == FormatOutcome::Failed)
            status = formatting;
        entry.fresh = outcome == FormatOutcome::Fresh;
        if (entry.fresh)
            entry.value = formatted;
    }
}

bool CounterQuery::getValue(const std::wstring& keyName, PDH_FMT_COUNTERVALUE& value) const
{
    auto found = counters.find(keyName);
    if (found == counters.end())
        return false;
    value = found->second.value;
    return true;
}

void CounterQuery::getKeyNames(std::vector<std::wstring>& keyNames) const
{
    keyNames.clear();
    keyNames.reserve(counters.size());
    for (const auto& filed : counters)
        keyNames.push_back(filed.first);
}
