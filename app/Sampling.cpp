// Sampling: the collect behind a paint pass. A counter without a new value
// this time leaves its gauge as it was; only a collect that fails again
// after a reopen keeps every gauge unfed.

#include "app/Sampling.h"

#include "counters/CounterQuery.h"

Feed feedForPaint(std::optional<std::uint64_t> lastCollectMs, std::uint64_t nowMs, unsigned periodMs)
{
    const bool recent = lastCollectMs && nowMs >= *lastCollectMs && nowMs - *lastCollectMs < periodMs / 2;
    return recent ? Feed::KeepSamples : Feed::Sample;
}

bool Sampling::sample()
{
    lastCollectMs_ = clock_();
    query_.collect();
    if (query_.status != ERROR_SUCCESS) {
        query_.reopen();
        query_.collect();
    }
    read_ = query_.status == ERROR_SUCCESS;
    feeds_ = read_ && !prime_;
    prime_ = prime_ && !read_;
    return read_;
}
