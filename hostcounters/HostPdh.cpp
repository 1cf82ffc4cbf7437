// The exports of our own pdh.dll for running plix under Wine on Linux:
// queries and counters behind numbered handles, and collects that read the
// host's /proc/stat and /proc/meminfo once each. The processors are arranged
// by NUMA node as Windows would, from the node cpulists read at first need.
// Statuses follow what Windows' PDH returns for the same mistakes, and a
// processor's time is a rate counter as on Windows: no value after its first
// collect, none for a collect that comes too soon after the last.

#include <windows.h>
#include <pdh.h>
#include <pdhmsg.h>
#include <winperf.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "hostcounters/CounterPath.h"
#include "hostcounters/HandleTable.h"
#include "hostcounters/HostFiles.h"
#include "hostcounters/NodeTopology.h"
#include "hostcounters/ProcText.h"

namespace hostcounters {
namespace {

static_assert(sizeof(PDH_HQUERY) == sizeof(std::uint64_t), "handles carry 64-bit numbers");

// Enough for the per-processor lines of 512 processors; the rest of
// /proc/stat is not needed, and a line cut off by the buffer is left out.
constexpr DWORD kStatBufferSize = 64 * 1024;
constexpr DWORD kMeminfoBufferSize = 16 * 1024;
constexpr std::uint8_t kQueryTag = 0x51;
constexpr std::uint8_t kCounterTag = 0x43;
constexpr DWORD kValueFormats = PDH_FMT_LONG | PDH_FMT_DOUBLE | PDH_FMT_LARGE;
constexpr std::uint64_t kMaxRaw = 0x7fffffffffffffff;
// Windows stamps a collect with the system time, which moves on at the clock
// tick (15.625 ms unless a program asks for finer ticks). PDH divides a
// processor's time by how far that stamp moved, so for a collect within a
// tick of the last one the time base did not move, and PDH answers
// PDH_CALC_NEGATIVE_DENOMINATOR. Wine's clock is finer: the tick is kept
// here.
constexpr std::uint64_t kClockTick = 156250;  // in 100 ns

enum class Reading {
    NotCollected,  // no collect since the counter was added
    Valid,
    ProcessorGone,  // its line was missing from the last /proc/stat
    NoCommitCharge,  // /proc/meminfo lacked Committed_AS or CommitLimit
};

enum class CounterKind {
    Processor,  // one Linux cpu, by either processor object
    CommittedMemory,
    AllNodeProcessors,  // every Processor Information instance: raw values only
};

struct CounterState {
    std::uint64_t query = 0;  // the handle of the query it belongs to
    CounterKind kind = CounterKind::CommittedMemory;
    unsigned cpu = 0;
    std::wstring instance;  // the name its raw value carries
    Reading reading = Reading::NotCollected;
    ProcessorTrack track;
    CommitCharge charge;
    std::vector<InstanceSample> samples;  // AllNodeProcessors
    FILETIME collected = {};
    bool rated = false;    // the collect before was valid too: there is an interval
    bool tooSoon = false;  // collected within a clock tick of the collect before
};

struct QueryState {
    std::vector<std::uint64_t> counters;
};

struct HostState {
    bool configured = false;
    KeptOpenFile stat;
    KeptOpenFile meminfo;
    CountLog collectLog;
    std::uint64_t collects = 0;
    CountLog openLog;
    std::uint64_t opens = 0;
    bool countersDisabled = false;
    std::wstring refuseOpenPath;
    std::vector<char> statBuffer;
    std::vector<char> meminfoBuffer;
    std::vector<CpuSlot> cpus;
    std::wstring nodeFolder;
    bool hasTopology = false;
    Topology topology;
    HandleTable<QueryState> queries{kQueryTag};
    HandleTable<CounterState> counters{kCounterTag};
};

HostState host;
SRWLOCK hostLock = SRWLOCK_INIT;

class HostLock {
public:
    HostLock() { AcquireSRWLockExclusive(&hostLock); }
    ~HostLock() { ReleaseSRWLockExclusive(&hostLock); }
    HostLock(const HostLock&) = delete;
    HostLock& operator=(const HostLock&) = delete;
};

// The environment is read at the first call that needs a file, not at
// load, so a caller may set the test variables after loading the dll.
void configureOnce()
{
    if (host.configured)
        return;
    HostConfig config = readHostConfig();
    host.stat.setPath(config.statPath, !config.recordedFiles);
    host.meminfo.setPath(config.meminfoPath, !config.recordedFiles);
    host.collectLog.setPath(config.collectLogPath);
    host.openLog.setPath(config.openLogPath);
    host.countersDisabled = config.countersDisabled;
    host.refuseOpenPath = config.refuseOpenPath;
    host.nodeFolder = config.nodeFolder;
    host.statBuffer.resize(kStatBufferSize);
    host.meminfoBuffer.resize(kMeminfoBufferSize);
    host.configured = true;
}

bool readProcessors()
{
    std::string_view text = host.stat.read(host.statBuffer.data(), kStatBufferSize);
    if (text.empty())
        return false;
    parseProcStat(text, host.cpus);
    return true;
}

bool processorPresent(unsigned processor)
{
    return processor < host.cpus.size() && host.cpus[processor].present;
}

// Reads /proc/stat, and the topology the first time it can be built: the
// nodes do not change while Wine runs, and Windows numbers its processors
// once too.
bool readProcessorsAndTopology()
{
    configureOnce();
    if (!readProcessors())
        return false;
    if (!host.hasTopology) {
        host.topology = buildTopology(readNodeLists(host.nodeFolder), host.cpus);
        host.hasTopology = true;
    }
    return true;
}

// Fills in the processor a path names, and its instance name; false when
// there is no such processor.
bool findProcessor(const CounterPath& path, CounterState& state)
{
    if (!readProcessorsAndTopology())
        return false;
    switch (path.verdict) {
    case PathVerdict::Processor:
        if (path.processor >= host.topology.firstGroup.size())
            return false;
        state.cpu = host.topology.firstGroup[path.processor];
        state.instance = std::to_wstring(path.processor);
        break;
    case PathVerdict::NodeProcessor:
        if (!cpuOfInstance(host.topology, path.node, path.processor, state.cpu))
            return false;
        state.instance = std::to_wstring(path.node) + L"," + std::to_wstring(path.processor);
        break;
    default:
        return true;
    }
    return processorPresent(state.cpu);
}

PDH_STATUS statusOf(PathVerdict verdict)
{
    switch (verdict) {
    case PathVerdict::Processor:
    case PathVerdict::NodeProcessor:
    case PathVerdict::AllNodeProcessors:
    case PathVerdict::CommittedMemory:
        return ERROR_SUCCESS;
    case PathVerdict::NoMachine:
        return PDH_CSTATUS_NO_MACHINE;
    case PathVerdict::NoObject:
        return PDH_CSTATUS_NO_OBJECT;
    case PathVerdict::NoCounter:
        return PDH_CSTATUS_NO_COUNTER;
    case PathVerdict::NoInstance:
        return PDH_CSTATUS_NO_INSTANCE;
    case PathVerdict::BadName:
        break;
    }
    return PDH_CSTATUS_BAD_COUNTERNAME;
}

std::uint64_t ticksOf(const FILETIME& time)
{
    return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

void takeReading(CounterState& counter, const std::optional<CommitCharge>& charge, const FILETIME& now)
{
    counter.rated = counter.reading == Reading::Valid;
    counter.tooSoon = counter.rated && ticksOf(now) - ticksOf(counter.collected) < kClockTick;
    counter.collected = now;
    switch (counter.kind) {
    case CounterKind::Processor: {
        bool present = processorPresent(counter.cpu);
        advanceTrack(counter.track, present ? &host.cpus[counter.cpu].times : nullptr);
        counter.reading = present ? Reading::Valid : Reading::ProcessorGone;
        return;
    }
    case CounterKind::AllNodeProcessors:
        sampleInstances(host.topology.instances, host.cpus, counter.samples);
        counter.reading = Reading::Valid;
        return;
    case CounterKind::CommittedMemory:
        break;
    }
    counter.reading = charge ? Reading::Valid : Reading::NoCommitCharge;
    if (charge)
        counter.charge = *charge;
}

void formatReading(const CounterState& counter, DWORD format, PDH_FMT_COUNTERVALUE& value)
{
    bool isProcessor = counter.kind == CounterKind::Processor;
    if (format & PDH_FMT_LONG) {
        value.longValue = isProcessor ? busyPercent(counter.track) : committedPercent(counter.charge);
    } else if (format & PDH_FMT_DOUBLE) {
        value.doubleValue = isProcessor ? busyPercentExact(counter.track) : committedPercentExact(counter.charge);
    } else {
        value.largeValue = isProcessor ? busyPercent(counter.track) : committedPercent(counter.charge);
    }
}

struct RawItem {
    const std::wstring* name;
    PDH_RAW_COUNTER value;
};

// A processor's raw "% Processor Time" as PDH keeps it: idle time, then the
// time it is measured against, both in 100 ns.
PDH_RAW_COUNTER processorRaw(bool present, const CpuTimes& times, const FILETIME& stamp)
{
    PDH_RAW_COUNTER raw = {};
    raw.CStatus = present ? PDH_CSTATUS_VALID_DATA : PDH_CSTATUS_NO_INSTANCE;
    raw.TimeStamp = stamp;
    raw.FirstValue = hundredNanoseconds(times.total - times.busy);
    raw.SecondValue = hundredNanoseconds(times.total);
    return raw;
}

// The items of a collected counter's raw array, their names pointing into
// the counter and the topology.
std::vector<RawItem> rawItemsOf(const CounterState& counter)
{
    std::vector<RawItem> items;
    switch (counter.kind) {
    case CounterKind::AllNodeProcessors:
        for (std::size_t n = 0; n < counter.samples.size(); ++n) {
            const InstanceSample& sample = counter.samples[n];
            items.push_back({&host.topology.instances[n].name,
                             processorRaw(sample.present, sample.times, counter.collected)});
        }
        break;
    case CounterKind::Processor:
        items.push_back({&counter.instance, processorRaw(counter.reading == Reading::Valid, counter.track.latest,
                                                         counter.collected)});
        break;
    case CounterKind::CommittedMemory: {
        // Committed and limit as a fraction; kB as they are, since the
        // fraction is all a raw fraction carries.
        PDH_RAW_COUNTER raw = {};
        raw.CStatus = counter.reading == Reading::Valid ? PDH_CSTATUS_VALID_DATA : PDH_CSTATUS_INVALID_DATA;
        raw.TimeStamp = counter.collected;
        raw.FirstValue = static_cast<LONGLONG>(std::min<std::uint64_t>(counter.charge.committedKb, kMaxRaw));
        raw.SecondValue = static_cast<LONGLONG>(std::min<std::uint64_t>(counter.charge.limitKb, kMaxRaw));
        items.push_back({&counter.instance, raw});
        break;
    }
    }
    return items;
}

std::uint64_t numberOf(HANDLE handle)
{
    return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(handle));
}

HANDLE handleOf(std::uint64_t number)
{
    return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(number));
}

}  // namespace
}  // namespace hostcounters

using namespace hostcounters;

PDH_FUNCTION PdhOpenQueryW(LPCWSTR dataSource, DWORD_PTR, PDH_HQUERY* query)
{
    // Only real-time data: there are no log files to read from.
    if (query == nullptr || dataSource != nullptr)
        return PDH_INVALID_ARGUMENT;
    HostLock lock;
    configureOnce();
    if (!host.refuseOpenPath.empty() && GetFileAttributesW(host.refuseOpenPath.c_str()) != INVALID_FILE_ATTRIBUTES)
        return PDH_MEMORY_ALLOCATION_FAILURE;
    std::uint64_t handle = host.queries.insert(QueryState{});
    if (handle == 0)
        return PDH_MEMORY_ALLOCATION_FAILURE;
    *query = handleOf(handle);
    host.openLog.write(++host.opens);
    return ERROR_SUCCESS;
}

PDH_FUNCTION PdhAddCounterW(PDH_HQUERY query, LPCWSTR path, DWORD_PTR, PDH_HCOUNTER* counter)
{
    HostLock lock;
    QueryState* owner = host.queries.find(numberOf(query));
    if (owner == nullptr)
        return PDH_INVALID_HANDLE;
    if (path == nullptr || counter == nullptr)
        return PDH_INVALID_ARGUMENT;
    configureOnce();
    if (host.countersDisabled)
        return PDH_CSTATUS_NO_OBJECT;
    CounterPath parsed = parseCounterPath(path);
    PDH_STATUS status = statusOf(parsed.verdict);
    if (status != ERROR_SUCCESS)
        return status;

    CounterState state;
    state.query = numberOf(query);
    state.kind = parsed.verdict == PathVerdict::CommittedMemory     ? CounterKind::CommittedMemory
                 : parsed.verdict == PathVerdict::AllNodeProcessors ? CounterKind::AllNodeProcessors
                                                                    : CounterKind::Processor;
    // A processor that cannot be seen cannot be checked either.
    if (state.kind != CounterKind::CommittedMemory && !findProcessor(parsed, state))
        return PDH_CSTATUS_NO_INSTANCE;
    std::uint64_t handle = host.counters.insert(state);
    if (handle == 0)
        return PDH_MEMORY_ALLOCATION_FAILURE;
    owner->counters.push_back(handle);
    *counter = handleOf(handle);
    return ERROR_SUCCESS;
}

PDH_FUNCTION PdhCollectQueryData(PDH_HQUERY query)
{
    HostLock lock;
    QueryState* owner = host.queries.find(numberOf(query));
    if (owner == nullptr)
        return PDH_INVALID_HANDLE;
    if (owner->counters.empty())
        return PDH_NO_DATA;
    configureOnce();
    if (!readProcessors())
        return PDH_NO_DATA;
    std::string_view meminfo = host.meminfo.read(host.meminfoBuffer.data(), kMeminfoBufferSize);
    if (meminfo.empty())
        return PDH_NO_DATA;
    std::optional<CommitCharge> charge = parseMeminfo(meminfo);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);

    for (std::uint64_t handle : owner->counters)
        takeReading(*host.counters.find(handle), charge, now);

    host.collectLog.write(++host.collects);
    return ERROR_SUCCESS;
}

PDH_FUNCTION PdhGetFormattedCounterValue(PDH_HCOUNTER counter, DWORD format, LPDWORD type,
                                         PPDH_FMT_COUNTERVALUE value)
{
    HostLock lock;
    const CounterState* state = host.counters.find(numberOf(counter));
    if (state == nullptr)
        return PDH_INVALID_HANDLE;
    // A wildcard counter has no one value: PdhGetFormattedCounterArray and
    // PdhGetRawCounterArray read it.
    if (value == nullptr || (format & kValueFormats) == 0 || state->kind == CounterKind::AllNodeProcessors)
        return PDH_INVALID_ARGUMENT;
    if (type != nullptr)
        *type = state->kind == CounterKind::Processor ? PERF_100NSEC_TIMER : PERF_RAW_FRACTION;

    *value = PDH_FMT_COUNTERVALUE{};
    switch (state->reading) {
    case Reading::NotCollected:
    case Reading::NoCommitCharge:
        value->CStatus = PDH_CSTATUS_INVALID_DATA;
        return PDH_INVALID_DATA;
    case Reading::ProcessorGone:
        value->CStatus = PDH_CSTATUS_NO_INSTANCE;
        return PDH_INVALID_DATA;
    case Reading::Valid:
        break;
    }
    if (state->kind == CounterKind::Processor && (!state->rated || state->tooSoon)) {
        value->CStatus = PDH_CSTATUS_INVALID_DATA;
        return state->rated ? PDH_CALC_NEGATIVE_DENOMINATOR : PDH_INVALID_DATA;
    }
    value->CStatus = PDH_CSTATUS_VALID_DATA;
    formatReading(*state, format, *value);
    return ERROR_SUCCESS;
}

PDH_FUNCTION PdhGetRawCounterArrayW(PDH_HCOUNTER counter, LPDWORD bufferSize, LPDWORD itemCount,
                                    PPDH_RAW_COUNTER_ITEM_W items)
{
    HostLock lock;
    const CounterState* state = host.counters.find(numberOf(counter));
    if (state == nullptr)
        return PDH_INVALID_HANDLE;
    if (bufferSize == nullptr || itemCount == nullptr)
        return PDH_INVALID_ARGUMENT;
    if (state->reading == Reading::NotCollected)
        return PDH_INVALID_DATA;

    // The items first, then their names, as PDH lays them out: the items
    // keep the buffer's 8-byte alignment, and the names need none.
    std::vector<RawItem> raw = rawItemsOf(*state);
    std::size_t needed = raw.size() * sizeof(PDH_RAW_COUNTER_ITEM_W);
    for (const RawItem& item : raw)
        needed += (item.name->size() + 1) * sizeof(wchar_t);
    *itemCount = static_cast<DWORD>(raw.size());
    if (items == nullptr || *bufferSize < needed) {
        *bufferSize = static_cast<DWORD>(needed);
        return PDH_MORE_DATA;
    }
    auto* names = reinterpret_cast<wchar_t*>(items + raw.size());
    for (std::size_t n = 0; n < raw.size(); ++n) {
        std::size_t length = raw[n].name->size() + 1;
        std::memcpy(names, raw[n].name->c_str(), length * sizeof(wchar_t));
        items[n].szName = names;
        items[n].RawValue = raw[n].value;
        names += length;
    }
    *bufferSize = static_cast<DWORD>(needed);
    return ERROR_SUCCESS;
}

PDH_FUNCTION PdhRemoveCounter(PDH_HCOUNTER counter)
{
    HostLock lock;
    const CounterState* state = host.counters.find(numberOf(counter));
    if (state == nullptr)
        return PDH_INVALID_HANDLE;
    if (QueryState* owner = host.queries.find(state->query))
        owner->counters.erase(std::remove(owner->counters.begin(), owner->counters.end(), numberOf(counter)),
                              owner->counters.end());
    host.counters.erase(numberOf(counter));
    return ERROR_SUCCESS;
}

PDH_FUNCTION PdhCloseQuery(PDH_HQUERY query)
{
    HostLock lock;
    QueryState* owner = host.queries.find(numberOf(query));
    if (owner == nullptr)
        return PDH_INVALID_HANDLE;
    for (std::uint64_t handle : owner->counters)
        host.counters.erase(handle);
    host.queries.erase(numberOf(query));
    return ERROR_SUCCESS;
}
