#pragma once
// The arithmetic of an averaging gauge: runs of six raw samples folded into
// means, the newest 200 means, and which bars land where, how long they are
// and the label's percent.

#include <cstddef>
#include <cstdint>
#include <deque>

class SampleAverager {
public:
    // A run is folded when a new sample finds more than this many pending,
    // so every mean covers six samples.
    static constexpr int kAveragingWindow = 5;
    static constexpr std::size_t kHistoryCap = 200;

    // Folds the pending run into a mean when it is complete, then queues the
    // sample, which always opens or extends the next run.
    void addSample(double sample);

    // Means of past runs, oldest first, at most kHistoryCap of them.
    const std::deque<double>& history() const { return history_; }
    // Raw samples since the last mean, oldest first; 1 to 6 once fed.
    const std::deque<double>& pending() const { return pending_; }
    // Means made so far, the dropped ones included: the history changed
    // exactly when this did.
    std::uint64_t meansMade() const { return meansMade_; }

private:
    std::deque<double> history_;
    std::deque<double> pending_;
    std::uint64_t meansMade_ = 0;
    int averagingWindow_ = kAveragingWindow;
};

// Bar length for a mean: height x mean, truncated toward zero.
int barLength(double mean, int height);

// Whole percent shown in the label: sample x 100, truncated toward zero.
int labelPercent(double sample);

// History positions [first, end) whose bars are drawn: position 0, the oldest
// mean, never gets a bar.
struct BarPositions {
    std::size_t first = 0;
    std::size_t end = 0;
    bool empty() const { return first >= end; }
};

// The column of history position `position` out of `meanCount` means, the
// newest on `newestColumn` and each older one a column further left.
std::int64_t barColumn(std::size_t position, std::size_t meanCount, std::int64_t newestColumn);

// The bars whose columns lie in [left, right), with the newest mean on
// `newestColumn`: the only ones a surface of those columns shows.
BarPositions barsInColumns(std::size_t meanCount, std::int64_t newestColumn, std::int64_t left, std::int64_t right);
