#pragma once
// The one PDH query behind every gauge, with its counters filed by key name.

#include <map>
#include <string>
#include <vector>

#include "counters/CounterStatus.h"
#include "counters/PdhFunctions.h"

struct CounterEntry {
    std::wstring name;
    std::wstring path;
    PDH_HCOUNTER counter = nullptr;
    PDH_FMT_COUNTERVALUE value = {};
    // What the last collect made of it: a value in `value`, none this time,
    // or trouble of its own (gone, refused, or without a handle).
    FormatOutcome reading = FormatOutcome::NoSample;
};

// std::wstring's operator< compares wchar_t (unsigned 16-bit on Windows) one
// by one with a prefix first: plain ordinal order, so cpu10 sorts between
// cpu1 and cpu2 and "mem" comes last.
using CounterMap = std::map<std::wstring, CounterEntry>;

class CounterQuery {
public:
    explicit CounterQuery(const PdhFunctions& pdh = systemPdh());
    ~CounterQuery();
    CounterQuery(const CounterQuery&) = delete;
    CounterQuery& operator=(const CounterQuery&) = delete;

    void open();
    void close();
    void reopen();
    void addCounter(const std::wstring& keyName, const std::wstring& path);
    void readdCounters();
    // One entry's counter, removed from the query and added again: for a
    // counter in trouble while the rest of the query reads.
    void readdCounter(CounterEntry& entry);
    // status tells whether the query was collected; each entry's reading
    // tells what that collect made of it.
    void collect();
    bool getValue(const std::wstring& keyName, PDH_FMT_COUNTERVALUE& value) const;
    void getKeyNames(std::vector<std::wstring>& keyNames) const;

    bool isOpen = false;
    PDH_STATUS status = ERROR_SUCCESS;
    PDH_HQUERY query = nullptr;
    CounterMap counters;

private:
    const PdhFunctions& pdh_;
};

extern CounterQuery counterQuery;
