// CounterQuery: the one PDH query behind every gauge. It files the counters
// by key name, collects and formats them all together, and reopens itself
// when asked. Every PDH call goes through the PdhFunctions table it was made
// with, and its outcome is kept in `status`; a counter's own trouble is its
// entry's reading, not the query's status.

#include "counters/CounterQuery.h"

#include <utility>

#include <pdhmsg.h>

#include "counters/CounterStatus.h"

static_assert(kPdhInvalidData == PDH_INVALID_DATA && kPdhCStatusInvalidData == PDH_CSTATUS_INVALID_DATA &&
              kPdhCalcNegativeDenominator == PDH_CALC_NEGATIVE_DENOMINATOR && kPdhCalcNegativeTimebase ==
              PDH_CALC_NEGATIVE_TIMEBASE && kPdhCalcNegativeValue == PDH_CALC_NEGATIVE_VALUE &&
              kPdhCStatusValidData == PDH_CSTATUS_VALID_DATA && kPdhCStatusNewData == PDH_CSTATUS_NEW_DATA &&
              kPdhCStatusNoInstance == PDH_CSTATUS_NO_INSTANCE && kPdhCStatusNoObject == PDH_CSTATUS_NO_OBJECT &&
              kPdhCStatusNoCounter == PDH_CSTATUS_NO_COUNTER, "as in pdhmsg.h");

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
    close();
    if (isOpen)
        return;
    // A query whose open failed is opened again: memory short for a moment
    // must not leave plix without counters for the rest of its run.
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

void CounterQuery::readdCounter(CounterEntry& entry)
{
    if (!isOpen)
        return;
    // Removed first: a counter added again and again over months would
    // otherwise pile up in the query and be collected with it.
    if (entry.counter != nullptr)
        pdh_.removeCounter(entry.counter);
    PDH_HCOUNTER added = nullptr;
    status = pdh_.addCounter(query, entry.path.c_str(), kNoUserData, &added);
    entry.counter = status == ERROR_SUCCESS ? added : nullptr;
}

void CounterQuery::collect()
{
    status = isOpen ? pdh_.collectQueryData(query) : kNoUsableHandle;
    for (auto& filed : counters) {
        CounterEntry& entry = filed.second;
        if (status != ERROR_SUCCESS) {
            entry.reading = FormatOutcome::NoSample;
            continue;
        }
        // Without a handle of this query (its add was refused) it is never
        // handed to PDH; adding it again is the caller's to pace.
        if (entry.counter == nullptr) {
            entry.reading = FormatOutcome::Failed;
            continue;
        }
        // Formatted aside, so that an entry without a value keeps its previous one.
        PDH_FMT_COUNTERVALUE formatted = {};
        const PDH_STATUS formatting = pdh_.getFormattedCounterValue(entry.counter, PDH_FMT_LONG, nullptr, &formatted);
        entry.reading =
            formatOutcome(static_cast<std::uint32_t>(formatting), static_cast<std::uint32_t>(formatted.CStatus));
        if (entry.reading == FormatOutcome::Fresh)
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
