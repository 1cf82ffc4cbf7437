#pragma once
// A PDH stand-in for tests: a PdhFunctions table whose functions work on
// one static state the test controls.
//
// Behaviour, unless scripted otherwise:
// - openQuery hands out a new query handle; addCounter hands out a new
//   counter handle that belongs to that query. Handles are distinct, never
//   null and never reused within a run, so objects that outlive reset() (a
//   process-wide CounterQuery) keep working.
// - closeQuery releases the query and every counter added to it;
//   removeCounter releases one counter of an open query.
// - addCounter and collectQueryData on a query that is not open, and
//   getFormattedCounterValue on a counter whose query is closed (or on a
//   handle never handed out), fail with PDH_INVALID_HANDLE, as PDH does.
// - getFormattedCounterValue fills longValue with the value set for the
//   path the counter was added with (0 if none was set) and CStatus with 0.
// - getRawCounterArray answers as PDH documents it with the instance names
//   set for the counter's path (none if none were set): PDH_MORE_DATA and
//   the size in bytes while the buffer is missing or too small, then the
//   items with their names after them in the same buffer.
//
// Scripting, checked in this order on every call:
// 1. queueStatus(call, s): the next call of that function takes s from its
//    queue. A non-zero s makes the call fail at once with s and no effect;
//    a queued 0 lets the call go on as below. Each call takes one entry.
// 2. refuseAdd(path, s): every addCounter of path fails with s.
//    failFormatting(path, s, c): every format of a counter added with path
//    fails with s and writes only CStatus c into the out record.
// 3. The handle checks above.
//
// Every call is recorded, in order, in calls(), failed ones included.
//
// Use: ScriptedPdh::reset() in SetUp, then CounterQuery query(scriptedPdhTable);
//   ScriptedPdh::setValue(L"\\Memory\\% Committed Bytes In Use", 42);
//   ScriptedPdh::queueStatus(PdhCall::CollectQueryData, PDH_NO_DATA);  // next collect fails

#include <cstddef>
#include <string>
#include <vector>

#include <pdhmsg.h>  // the status codes tests script

#include "counters/PdhFunctions.h"

enum class PdhCall { OpenQuery, AddCounter, CollectQueryData, GetFormattedCounterValue, CloseQuery, GetRawCounterArray,
                     RemoveCounter };

struct PdhCallRecord {
    PdhCall function = PdhCall::OpenQuery;
    PDH_HQUERY query = nullptr;      // open: the handle handed out (null if it failed);
                                     // add, collect, close: the handle passed in
    PDH_HCOUNTER counter = nullptr;  // add: the handle handed out (null if it failed);
                                     // format, remove: the handle passed in
    std::wstring path;               // add: the path passed in; format: the path the
                                     // counter was added with (empty if unknown)
    DWORD format = 0;                // format: the flags passed in
    bool typeRequested = false;      // format: a type out-pointer was passed
    bool dataSourceGiven = false;    // open: a data source was passed
    DWORD_PTR userData = 0;          // open, add: the user data passed in
};

// The table to hand a CounterQuery.
extern const PdhFunctions scriptedPdhTable;

namespace ScriptedPdh {

// Forgets the call log, queued statuses, refusals and values. Open queries
// and their counters stay open.
void reset();

// Statuses are taken as pdhmsg.h writes them (DWORDs); ERROR_SUCCESS is 0.
void queueStatus(PdhCall function, DWORD status);
void refuseAdd(const std::wstring& path, DWORD status);
void failFormatting(const std::wstring& path, DWORD status, DWORD counterStatus = PDH_CSTATUS_INVALID_DATA);
// Undoes refuseAdd / failFormatting for path.
void allowAdd(const std::wstring& path);
void allowFormatting(const std::wstring& path);

void setValue(const std::wstring& path, LONG value);
void setInstances(const std::wstring& path, const std::vector<std::wstring>& names);

const std::vector<PdhCallRecord>& calls();
// The recorded calls of one function, in order.
std::vector<PdhCallRecord> callsOf(PdhCall function);
std::size_t countOf(PdhCall function);
// The paths of the recorded calls of one function, in order.
std::vector<std::wstring> pathsOf(PdhCall function);
void clearCalls();

// True while handle belongs to a query that is open.
bool counterIsLive(PDH_HCOUNTER counter);
bool queryIsOpen(PDH_HQUERY query);

} // namespace ScriptedPdh
