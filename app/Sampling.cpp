// Sampling: the collect behind every tick and paint. A counter without a
// new value this time leaves its gauge as it was; a counter in trouble of
// its own crosses out its own strip and is added again now and then; only a
// collect that fails again after a reopen leaves every gauge unfed.

#include "app/Sampling.h"

#include <algorithm>

#include "counters/CounterQuery.h"
#include "gauges/AveragingPercentMonitor.h"
#include "gauges/MonitorRegistry.h"

namespace {

// A gap longer than this many polling periods, and than kMinimumGapMs,
// spans time the counters may not have seen.
constexpr std::uint64_t kGapPeriods = 3;
constexpr std::uint64_t kMinimumGapMs = 2000;

} // namespace

CollectStep collectStep(std::optional<std::uint64_t> lastCollectMs, std::uint64_t nowMs, unsigned periodMs)
{
    if (!lastCollectMs)
        return CollectStep::Feed;
    if (nowMs < *lastCollectMs)
        return CollectStep::Prime;
    const std::uint64_t since = nowMs - *lastCollectMs;
    if (since < periodMs / 2)
        return CollectStep::Skip;
    return since > std::max(kGapPeriods * periodMs, kMinimumGapMs) ? CollectStep::Prime : CollectStep::Feed;
}

bool retryDue(std::optional<std::uint64_t> lastMs, std::uint64_t nowMs, std::uint64_t intervalMs)
{
    return !lastMs || nowMs < *lastMs || nowMs - *lastMs >= intervalMs;
}

Sampling::Sampling(CounterQuery& query, MonitorRegistry& registry, TickClock clock) : query_(query), clock_(clock)
{
    for (auto& filed : query.counters) {
        // A key name without a gauge takes no strip.
        const auto found = registry.monitors.find(filed.first);
        if (found != registry.monitors.end() && found->second != nullptr)
            strips_.push_back({&filed.second, found->second});
    }
}

void Sampling::sample(unsigned periodMs)
{
    const std::uint64_t now = clock_();
    const CollectStep step = collectStep(lastCollectMs_, now, periodMs);
    if (step == CollectStep::Skip)
        return;
    lastCollectMs_ = now;
    // Kept until a collect reads: a failed one starts no new interval.
    if (step == CollectStep::Prime)
        prime_ = true;
    query_.collect();
    // While collects keep failing, the whole query is built again at most
    // once a second, however often ticks and paints ask.
    if (query_.status != ERROR_SUCCESS && retryDue(lastReopenMs_, now, kReopenIntervalMs)) {
        lastReopenMs_ = now;
        query_.reopen();
        query_.collect();
    }
    read_ = query_.status == ERROR_SUCCESS;
    if (!read_)
        return;
    takeReadings(!prime_);
    prime_ = false;
    readdTroubled(now);
}

void Sampling::takeReadings(bool feed)
{
    for (SampledStrip& strip : strips_) {
        switch (strip.counter->reading) {
        case FormatOutcome::Fresh:
            strip.troubled = false;
            if (feed)
                strip.gauge->addSample(strip.counter->value.longValue / 100.0);
            break;
        case FormatOutcome::Failed:
            strip.troubled = true;
            break;
        case FormatOutcome::NoSample:
            break;
        }
    }
}

// A few seconds apart, not every tick: a counter whose instance is gone
// stays gone on Windows at every collect, and adding 257 counters ten times
// a second would cost more than the gauges.
void Sampling::readdTroubled(std::uint64_t nowMs)
{
    const bool anyTroubled =
        std::any_of(strips_.begin(), strips_.end(), [](const SampledStrip& strip) { return strip.troubled; });
    if (!anyTroubled || !retryDue(lastReaddMs_, nowMs, kReaddIntervalMs))
        return;
    lastReaddMs_ = nowMs;
    for (SampledStrip& strip : strips_) {
        if (strip.troubled)
            query_.readdCounter(*strip.counter);
    }
}
