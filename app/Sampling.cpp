// Sampling: the collect behind a paint pass and the samples it feeds. A
// counter without a new value this collect (a rate counter's first, or a
// calculation warning) leaves its gauge as it was; only a failed collect,
// after a reopen and a second try, keeps every gauge from being fed.

#include "app/Sampling.h"

#include "counters/CounterQuery.h"
#include "gauges/MonitorRegistry.h"

Feed feedForPaint(bool collected, std::uint64_t lastCollectMs, std::uint64_t nowMs, unsigned periodMs)
{
    const bool recent = collected && nowMs >= lastCollectMs && nowMs - lastCollectMs < periodMs / 2;
    return recent ? Feed::KeepSamples : Feed::Sample;
}

Sampling::Sampling(CounterQuery& query, MonitorRegistry& registry, TickClock clock)
    : query_(query), registry_(registry), clock_(clock)
{
}

Feed Sampling::feedForPaint(unsigned periodMs) const
{
    return ::feedForPaint(collected_, lastCollectMs_, clock_(), periodMs);
}

bool Sampling::collect()
{
    collected_ = true;
    lastCollectMs_ = clock_();
    query_.collect();
    if (query_.status != ERROR_SUCCESS) {
        query_.reopen();
        query_.collect();
    }
    return query_.status == ERROR_SUCCESS;
}

bool Sampling::sample()
{
    read_ = collect();
    if (!read_ || prime_) {
        prime_ = prime_ && !read_;
        return read_;
    }
    for (const auto& filed : query_.counters) {
        const auto gauge = registry_.monitors.find(filed.first);
        if (filed.second.fresh && gauge != registry_.monitors.end() && gauge->second != nullptr)
            gauge->second->addSample(filed.second.value.longValue / 100.0);
    }
    return true;
}
