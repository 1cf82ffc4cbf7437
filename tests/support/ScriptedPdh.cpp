// ScriptedPdh: the PDH stand-in the tests hand to a CounterQuery. Plain
// functions over one state object that records every call and answers with
// whatever the test scripted.

#include "tests/support/ScriptedPdh.h"

#include <cstdint>
#include <algorithm>
#include <deque>
#include <map>
#include <set>

#include <pdhmsg.h>

namespace {

constexpr std::uintptr_t kFirstQueryHandle = 0x1000;
constexpr std::uintptr_t kFirstCounterHandle = 0x100000;

struct CounterInfo {
    PDH_HQUERY query;
    std::wstring path;
};

struct State {
    std::vector<PdhCallRecord> calls;
    std::map<PdhCall, std::deque<PDH_STATUS>> queued;
    std::map<std::wstring, PDH_STATUS> refusedAdds;
    std::map<std::wstring, std::pair<PDH_STATUS, DWORD>> failedFormats;
    std::map<std::wstring, LONG> values;
    std::map<std::wstring, std::vector<std::wstring>> instances;

    // Kept across reset(): handles stay unique and open queries stay open.
    std::uintptr_t nextQuery = kFirstQueryHandle;
    std::uintptr_t nextCounter = kFirstCounterHandle;
    std::set<PDH_HQUERY> openQueries;
    std::map<PDH_HCOUNTER, CounterInfo> counters;
};

// Built on first use, so that a CounterQuery constructed before main (a
// process-wide one) can already call in.
State& state()
{
    static State instance;
    return instance;
}

constexpr PDH_STATUS kInvalidHandle = static_cast<PDH_STATUS>(PDH_INVALID_HANDLE);

// The scripted status for the next call of function, 0 if none is queued.
PDH_STATUS takeQueued(PdhCall function)
{
    auto& queue = state().queued[function];
    if (queue.empty())
        return ERROR_SUCCESS;
    PDH_STATUS status = queue.front();
    queue.pop_front();
    return status;
}

PDH_STATUS ruleFor(const std::map<std::wstring, PDH_STATUS>& rules, const std::wstring& path)
{
    auto found = rules.find(path);
    return found == rules.end() ? ERROR_SUCCESS : found->second;
}

PdhCallRecord& record(PdhCall function)
{
    PdhCallRecord call;
    call.function = function;
    state().calls.push_back(call);
    return state().calls.back();
}

PDH_STATUS WINAPI scriptedOpenQuery(LPCWSTR dataSource, DWORD_PTR userData, PDH_HQUERY* query)
{
    PdhCallRecord& call = record(PdhCall::OpenQuery);
    call.dataSourceGiven = dataSource != nullptr;
    call.userData = userData;
    PDH_STATUS status = takeQueued(PdhCall::OpenQuery);
    if (status != ERROR_SUCCESS)
        return status;
    *query = reinterpret_cast<PDH_HQUERY>(state().nextQuery++);
    state().openQueries.insert(*query);
    call.query = *query;
    return ERROR_SUCCESS;
}

PDH_STATUS WINAPI scriptedAddCounter(PDH_HQUERY query, LPCWSTR path, DWORD_PTR userData,
                                     PDH_HCOUNTER* counter)
{
    PdhCallRecord& call = record(PdhCall::AddCounter);
    call.query = query;
    call.path = path;
    call.userData = userData;
    PDH_STATUS status = takeQueued(PdhCall::AddCounter);
    if (status == ERROR_SUCCESS)
        status = ruleFor(state().refusedAdds, call.path);
    if (status == ERROR_SUCCESS && state().openQueries.count(query) == 0)
        status = kInvalidHandle;
    if (status != ERROR_SUCCESS)
        return status;
    *counter = reinterpret_cast<PDH_HCOUNTER>(state().nextCounter++);
    state().counters[*counter] = CounterInfo{query, call.path};
    call.counter = *counter;
    return ERROR_SUCCESS;
}

PDH_STATUS WINAPI scriptedCollectQueryData(PDH_HQUERY query)
{
    record(PdhCall::CollectQueryData).query = query;
    PDH_STATUS status = takeQueued(PdhCall::CollectQueryData);
    if (status == ERROR_SUCCESS && state().openQueries.count(query) == 0)
        status = kInvalidHandle;
    return status;
}

PDH_STATUS WINAPI scriptedGetFormattedCounterValue(PDH_HCOUNTER counter, DWORD format,
                                                   LPDWORD type, PPDH_FMT_COUNTERVALUE value)
{
    PdhCallRecord& call = record(PdhCall::GetFormattedCounterValue);
    call.counter = counter;
    call.format = format;
    call.typeRequested = type != nullptr;
    auto known = state().counters.find(counter);
    if (known != state().counters.end())
        call.path = known->second.path;
    PDH_STATUS status = takeQueued(PdhCall::GetFormattedCounterValue);
    auto failing = state().failedFormats.find(call.path);
    if (status == ERROR_SUCCESS && known != state().counters.end() && failing != state().failedFormats.end()) {
        value->CStatus = failing->second.second;
        return failing->second.first;
    }
    if (status == ERROR_SUCCESS && !ScriptedPdh::counterIsLive(counter))
        status = kInvalidHandle;
    if (status != ERROR_SUCCESS)
        return status;
    auto setValue = state().values.find(call.path);
    value->CStatus = PDH_CSTATUS_VALID_DATA;
    value->longValue = setValue == state().values.end() ? 0 : setValue->second;
    return ERROR_SUCCESS;
}

PDH_STATUS WINAPI scriptedCloseQuery(PDH_HQUERY query)
{
    record(PdhCall::CloseQuery).query = query;
    PDH_STATUS status = takeQueued(PdhCall::CloseQuery);
    if (status == ERROR_SUCCESS && state().openQueries.erase(query) == 0)
        status = kInvalidHandle;
    return status;
}

PDH_STATUS WINAPI scriptedRemoveCounter(PDH_HCOUNTER counter)
{
    record(PdhCall::RemoveCounter).counter = counter;
    PDH_STATUS status = takeQueued(PdhCall::RemoveCounter);
    if (status == ERROR_SUCCESS && !ScriptedPdh::counterIsLive(counter))
        status = kInvalidHandle;
    if (status == ERROR_SUCCESS)
        state().counters.erase(counter);
    return status;
}

DWORD arrayBytes(const std::vector<std::wstring>& names)
{
    std::size_t bytes = names.size() * sizeof(PDH_RAW_COUNTER_ITEM_W);
    for (const std::wstring& name : names)
        bytes += (name.size() + 1) * sizeof(wchar_t);
    return static_cast<DWORD>(bytes);
}

PDH_STATUS WINAPI scriptedGetRawCounterArray(PDH_HCOUNTER counter, LPDWORD bufferBytes, LPDWORD itemCount,
                                             PPDH_RAW_COUNTER_ITEM_W items)
{
    PdhCallRecord& call = record(PdhCall::GetRawCounterArray);
    call.counter = counter;
    PDH_STATUS status = takeQueued(PdhCall::GetRawCounterArray);
    if (status == ERROR_SUCCESS && !ScriptedPdh::counterIsLive(counter))
        status = kInvalidHandle;
    if (status != ERROR_SUCCESS)
        return status;
    const std::vector<std::wstring>& names = state().instances[state().counters[counter].path];
    const DWORD needed = arrayBytes(names);
    *itemCount = static_cast<DWORD>(names.size());
    if (items == nullptr || *bufferBytes < needed) {
        *bufferBytes = needed;
        return static_cast<PDH_STATUS>(PDH_MORE_DATA);
    }
    auto* text = reinterpret_cast<wchar_t*>(items + names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        items[i] = PDH_RAW_COUNTER_ITEM_W{};
        items[i].szName = text;
        text = std::copy(names[i].begin(), names[i].end(), text);
        *text++ = L'\0';
    }
    *bufferBytes = needed;
    return ERROR_SUCCESS;
}

} // namespace

const PdhFunctions scriptedPdhTable = {
    scriptedOpenQuery,
    scriptedAddCounter,
    scriptedCollectQueryData,
    scriptedGetFormattedCounterValue,
    scriptedCloseQuery,
    scriptedRemoveCounter,
    scriptedGetRawCounterArray,
};

namespace ScriptedPdh {

void reset()
{
    State& s = state();
    s.calls.clear();
    s.queued.clear();
    s.refusedAdds.clear();
    s.failedFormats.clear();
    s.values.clear();
    s.instances.clear();
}

void queueStatus(PdhCall function, DWORD status)
{
    state().queued[function].push_back(static_cast<PDH_STATUS>(status));
}

void refuseAdd(const std::wstring& path, DWORD status)
{
    state().refusedAdds[path] = static_cast<PDH_STATUS>(status);
}

void failFormatting(const std::wstring& path, DWORD status, DWORD counterStatus)
{
    state().failedFormats[path] = {static_cast<PDH_STATUS>(status), counterStatus};
}

void allowAdd(const std::wstring& path)
{
    state().refusedAdds.erase(path);
}

void allowFormatting(const std::wstring& path)
{
    state().failedFormats.erase(path);
}

void setValue(const std::wstring& path, LONG value)
{
    state().values[path] = value;
}

void setInstances(const std::wstring& path, const std::vector<std::wstring>& names)
{
    state().instances[path] = names;
}

const std::vector<PdhCallRecord>& calls()
{
    return state().calls;
}

std::vector<PdhCallRecord> callsOf(PdhCall function)
{
    std::vector<PdhCallRecord> matching;
    for (const auto& call : state().calls) {
        if (call.function == function)
            matching.push_back(call);
    }
    return matching;
}

std::vector<std::wstring> pathsOf(PdhCall function)
{
    std::vector<std::wstring> paths;
    for (const PdhCallRecord& call : callsOf(function))
        paths.push_back(call.path);
    return paths;
}

std::size_t countOf(PdhCall function)
{
    return callsOf(function).size();
}

void clearCalls()
{
    state().calls.clear();
}

bool counterIsLive(PDH_HCOUNTER counter)
{
    auto known = state().counters.find(counter);
    return known != state().counters.end() && queryIsOpen(known->second.query);
}

bool queryIsOpen(PDH_HQUERY query)
{
    return state().openQueries.count(query) != 0;
}

} // namespace ScriptedPdh
