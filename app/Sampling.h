#pragma once
// What a paint pass takes from the counters: one collect, with a reopen and
// a second collect when that fails, and whether its values are samples.

#include <windows.h>

#include <cstdint>
#include <optional>

class CounterQuery;

enum class Feed { Sample, KeepSamples };
using TickClock = ULONGLONG (WINAPI*)();

// A paint that is not a tick samples only once the last collect is half a
// polling period old: over a few milliseconds Windows reads a processor as
// 0 % or 100 %. The first paint takes the first sample.
Feed feedForPaint(std::optional<std::uint64_t> lastCollectMs, std::uint64_t nowMs, unsigned periodMs);

class Sampling {
public:
    Sampling(CounterQuery& query, TickClock clock) : query_(query), clock_(clock) {}

    // Collects; false when the counters cannot be read even after a reopen,
    // which read() keeps for passes that do not sample. Fresh entries are
    // samples unless feeds() says this collect only primed.
    bool sample();
    bool read() const { return read_; }
    bool feeds() const { return feeds_; }
    Feed feedForPaint(unsigned periodMs) const { return ::feedForPaint(lastCollectMs_, clock_(), periodMs); }
    // After a sleep or a clock change the next collect only primes: its
    // interval spans time that no processor counted.
    void primeNext() { prime_ = true; }

private:
    CounterQuery& query_;
    TickClock clock_;
    std::optional<std::uint64_t> lastCollectMs_;
    bool read_ = true;
    bool feeds_ = false;
    bool prime_ = false;
};
