#pragma once
// What a paint pass takes from the counters: one collect of every counter,
// with the reopen and second collect when that fails, and one sample for
// each gauge whose counter has a new value.

#include <windows.h>

#include <cstdint>

class CounterQuery;
class MonitorRegistry;

// Whether a pass samples, or shows the gauges as they are.
enum class Feed { Sample, KeepSamples };

using TickClock = ULONGLONG (WINAPI*)();

// A paint that is not a tick samples only once the last collect is half a
// polling period old: a resize or a display change repaints the window a
// few milliseconds after a tick, and over so short an interval Windows reads
// a processor as 0 % or 100 %. The first paint takes the first sample.
Feed feedForPaint(bool collected, std::uint64_t lastCollectMs, std::uint64_t nowMs, unsigned periodMs);

class Sampling {
public:
    Sampling(CounterQuery& query, MonitorRegistry& registry, TickClock clock = GetTickCount64);

    // Collects and feeds every gauge with a new value; false, and nothing
    // fed, when the counters cannot be read even after a reopen.
    bool sample();
    // Whether the last pass that sampled could read the counters.
    bool read() const { return read_; }
    Feed feedForPaint(unsigned periodMs) const;
    // The next collect only primes the counters: after a sleep or a clock
    // change its interval spans time that no processor counted.
    void primeNext() { prime_ = true; }

private:
    bool collect();

    CounterQuery& query_;
    MonitorRegistry& registry_;
    TickClock clock_;
    bool collected_ = false;
    std::uint64_t lastCollectMs_ = 0;
    bool read_ = true;
    bool prime_ = false;
};
