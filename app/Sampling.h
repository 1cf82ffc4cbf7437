#pragma once
// What a paint pass takes from the counters: one collect, with a reopen and
// a second collect when that fails, and a sample for each gauge whose
// counter has a new value.

#include <windows.h>

#include <cstdint>
#include <optional>

class CounterQuery;
class MonitorRegistry;

enum class Feed { Sample, KeepSamples };
using TickClock = ULONGLONG (WINAPI*)();

// A paint that is not a tick samples only once the last collect is half a
// polling period old: a resize or a display change repaints a few
// milliseconds after a tick, and over so short an interval Windows reads a
// processor as 0 % or 100 %. The first paint takes the first sample.
Feed feedForPaint(std::optional<std::uint64_t> lastCollectMs, std::uint64_t nowMs, unsigned periodMs);

class Sampling {
public:
    Sampling(CounterQuery& query, MonitorRegistry& registry, TickClock clock);

    // False, and nothing fed, when the counters cannot be read even after a
    // reopen; read() keeps that answer for the passes that do not sample.
    bool sample();
    bool read() const { return read_; }
    Feed feedForPaint(unsigned periodMs) const { return ::feedForPaint(lastCollectMs_, clock_(), periodMs); }
    // After a sleep or a clock change the next collect only primes: its
    // interval spans time that no processor counted.
    void primeNext() { prime_ = true; }

private:
    CounterQuery& query_;
    MonitorRegistry& registry_;
    TickClock clock_;
    std::optional<std::uint64_t> lastCollectMs_;
    bool read_ = true;
    bool prime_ = false;
};
