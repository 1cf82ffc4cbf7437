// SampleAverager: the platform-free half of the averaging gauge, the
// arithmetic its drawing uses.

#include "gauges/SampleAverager.h"

#include <algorithm>

void SampleAverager::addSample(double sample)
{
    const int pendingCount = static_cast<int>(pending_.size());
    // The sample arriving now is not part of this mean; it opens the next run.
    if (pendingCount > averagingWindow_) {
        double sum = 0.0;
        for (double pendingSample : pending_)
            sum += pendingSample;
        history_.push_back(sum / static_cast<double>(pendingCount));
        ++meansMade_;
        pending_.clear();
        while (history_.size() > kHistoryCap)
            history_.pop_front();
    }
    pending_.push_back(sample);
}

int barLength(double mean, int height)
{
    return static_cast<int>(height * mean);
}

int labelPercent(double sample)
{
    return static_cast<int>(sample * 100.0);
}

std::int64_t barColumn(std::size_t position, std::size_t meanCount, std::int64_t newestColumn)
{
    return newestColumn - (static_cast<std::int64_t>(meanCount) - 1 - static_cast<std::int64_t>(position));
}

BarPositions barsInColumns(std::size_t meanCount, std::int64_t newestColumn, std::int64_t left, std::int64_t right)
{
    if (meanCount < 2 || left >= right)
        return BarPositions{};
    // Position p stands on column p + offset.
    const std::int64_t offset = barColumn(0, meanCount, newestColumn);
    const std::int64_t first = std::max<std::int64_t>(1, left - offset);
    const std::int64_t end = std::min(static_cast<std::int64_t>(meanCount), right - offset);
    if (first >= end)
        return BarPositions{};
    return BarPositions{static_cast<std::size_t>(first), static_cast<std::size_t>(end)};
}
