// Sampling: the collect behind a paint pass and the samples it feeds. A
// counter without a new value this time leaves its gauge as it was; only a
// collect that fails again after a reopen keeps every gauge unfed.

#include "app/Sampling.h"

#include "counters/CounterQuery.h"
#include "gauges/AveragingPercentMonitor.h"
#include "gauges/MonitorRegistry.h"

Feed feedForPaint(std::optional<std::uint64_t> lastCollectMs, std::uint64_t nowMs, unsigned periodMs)
{
    const bool recent = lastCollectMs && nowMs >= *lastCollectMs && nowMs - *lastCollectMs < periodMs / 2;
    return recent ? Feed::KeepSamples : Feed::Sample;
}

Sampling::Sampling(CounterQuery& query, MonitorRegistry& registry, TickClock clock)
    : query_(query), registry_(registry), clock_(clock)
{
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
    const bool feeds = read_ && !prime_;
    prime_ = prime_ && !read_;
    for (const auto& filed : query_.counters) {
        const auto gauge = registry_.monitors.find(filed.first);
        if (feeds && filed.second.fresh && gauge != registry_.monitors.end() && gauge->second != nullptr)
            gauge->second->addSample(filed.second.value.longValue / 100.0);
    }
    return read_;
}
