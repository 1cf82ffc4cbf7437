#pragma once
// The tick's first half: collect the counters, with a reopen when that
// fails, and feed each strip's gauge what its counter read. It also keeps
// each strip's own trouble and the pace of every retry.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

class AveragingPercentMonitor;
class CounterQuery;
class MonitorRegistry;
struct CounterEntry;

using TickClock = ULONGLONG (WINAPI*)();

// What asking for a sample at nowMs does. Skip: the last collect is under
// half a polling period old, and over a few milliseconds Windows reads a
// processor as 0 % or 100 %. Prime: the last one is so long ago (a sleep,
// a suspended plix, a machine too busy to tick) that the interval spans time
// no processor may have counted; the collect only starts a new interval.
// The first collect feeds, since on Windows it gives no processor a value.
enum class CollectStep { Skip, Prime, Feed };
CollectStep collectStep(std::optional<std::uint64_t> lastCollectMs, std::uint64_t nowMs, unsigned periodMs);

// Whether a retry paced at one every intervalMs may run at nowMs.
bool retryDue(std::optional<std::uint64_t> lastMs, std::uint64_t nowMs, std::uint64_t intervalMs);

constexpr std::uint64_t kReopenIntervalMs = 1000;
constexpr std::uint64_t kReaddIntervalMs = 3000;

// One strip: the counter and the gauge filed under one key name.
struct SampledStrip {
    CounterEntry* counter;
    AveragingPercentMonitor* gauge;
    bool troubled = false;  // its counter is gone or refused: it shows its own red cross
};

class Sampling {
public:
    // A strip for every filed key name that has a gauge, in key order: key
    // names are fixed and the query's entries never move.
    Sampling(CounterQuery& query, MonitorRegistry& registry, TickClock clock = GetTickCount64);

    // Collects and feeds, unless collectStep says otherwise.
    void sample(unsigned periodMs);
    // After a sleep or a clock change the next collect only primes, however
    // soon it comes.
    void primeNext() { prime_ = true; }

    // False while the counters cannot be read even after a reopen.
    bool read() const { return read_; }
    const std::vector<SampledStrip>& strips() const { return strips_; }

private:
    void takeReadings(bool feed);
    void readdTroubled(std::uint64_t nowMs);

    CounterQuery& query_;
    TickClock clock_;
    std::vector<SampledStrip> strips_;
    std::optional<std::uint64_t> lastCollectMs_;
    std::optional<std::uint64_t> lastReopenMs_;
    std::optional<std::uint64_t> lastReaddMs_;
    bool read_ = true;
    bool prime_ = false;
};
