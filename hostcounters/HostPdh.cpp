// The exports of our own pdh.dll for running plix under Wine on Linux:
// queries and counters behind numbered handles, and collects that read the
// host's /proc/stat and /proc/meminfo once each. Statuses follow what
// Windows' PDH returns for the same mistakes.

#include <windows.h>
#include <pdh.h>
#include <pdhmsg.h>
#include <winperf.h>

#include <cstdint>
#include <vector>

#include "hostcounters/CounterPath.h"
#include "hostcounters/HandleTable.h"
#include "hostcounters/HostFiles.h"
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

enum class Reading {
    NotCollected,  // no collect since the counter was added
    Valid,
    ProcessorGone,  // its line was missing from the last /proc/stat
    NoCommitCharge,  // /proc/meminfo lacked Committed_AS or CommitLimit
};

struct CounterState {
    bool isProcessor = false;
    unsigned processor = 0;
    Reading reading = Reading::NotCollected;
    ProcessorTrack track;
    CommitCharge charge;
};

struct QueryState {
    std::vector<std::uint64_t> counters;
};

struct HostState {
    bool configured = false;
    KeptOpenFile stat;
    KeptOpenFile meminfo;
    CollectLog collectLog;
    std::uint64_t collects = 0;
    std::vector<char> statBuffer;
    std::vector<char> meminfoBuffer;
    std::vector<CpuSlot> cpus;
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

PDH_STATUS statusOf(PathVerdict verdict)
{
    switch (verdict) {
    case PathVerdict::Processor:
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

void takeReading(CounterState& counter, const std::optional<CommitCharge>& charge)
{
    if (counter.isProcessor) {
        bool present = processorPresent(counter.processor);
        advanceTrack(counter.track, present ? &host.cpus[counter.processor].times : nullptr);
        counter.reading = present ? Reading::Valid : Reading::ProcessorGone;
        return;
    }
    counter.reading = charge ? Reading::Valid : Reading::NoCommitCharge;
    if (charge)
        counter.charge = *charge;
}

void formatReading(const CounterState& counter, DWORD format, PDH_FMT_COUNTERVALUE& value)
{
    if (format & PDH_FMT_LONG) {
        value.longValue = counter.isProcessor ? busyPercent(counter.track) : committedPercent(counter.charge);
    } else if (format & PDH_FMT_DOUBLE) {
        value.doubleValue =
            counter.isProcessor ? busyPercentExact(counter.track) : committedPercentExact(counter.charge);
    } else {
        value.largeValue = counter.isProcessor ? busyPercent(counter.track) : committedPercent(counter.charge);
    }
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
    std::uint64_t handle = host.queries.insert(QueryState{});
    if (handle == 0)
        return PDH_MEMORY_ALLOCATION_FAILURE;
    *query = handleOf(handle);
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
    CounterPath parsed = parseCounterPath(path);
    PDH_STATUS status = statusOf(parsed.verdict);
    if (status != ERROR_SUCCESS)
        return status;

    CounterState state;
    state.isProcessor = parsed.verdict == PathVerdict::Processor;
    state.processor = parsed.processor;
    if (state.isProcessor) {
        // A processor that cannot be seen cannot be checked either.
        configureOnce();
        if (!readProcessors() || !processorPresent(state.processor))
            return PDH_CSTATUS_NO_INSTANCE;
    }
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

    for (std::uint64_t handle : owner->counters)
        takeReading(*host.counters.find(handle), charge);

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
    if (value == nullptr || (format & kValueFormats) == 0)
        return PDH_INVALID_ARGUMENT;
    if (type != nullptr)
        *type = state->isProcessor ? PERF_100NSEC_TIMER : PERF_RAW_FRACTION;

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
    value->CStatus = PDH_CSTATUS_VALID_DATA;
    formatReading(*state, format, *value);
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
