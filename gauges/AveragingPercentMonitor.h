#pragma once
// A 60 x 40 strip that shows the means of runs of six samples as a
// scrolling bar graph, with the newest raw sample as a whole-percent label.

#include <deque>
#include <string>

#include "gauges/Monitor.h"

class TextBuffer;

class AveragingPercentMonitor : public Monitor {
public:
    static constexpr int kAveragingWindow = 5;
    static constexpr int kWidth = 60;
    static constexpr int kHeight = 40;
    static constexpr std::size_t kHistoryCap = 200;
    static constexpr COLORREF kBarColour = RGB(20, 200, 40);
    static constexpr int kBarPenWidth = 1;
    static constexpr std::size_t kLabelCapacity = 100;

    explicit AveragingPercentMonitor(const std::wstring& keyName);

    int addSample(double sample) override;
    RECT getRect() override;
    void draw(HDC dc, int x, int y) override;

    const std::deque<double>& history() const { return history_; }
    const std::deque<double>& pending() const { return pending_; }
    const std::wstring& keyName() const { return keyName_; }

private:
    void drawBars(HDC dc, int x, int y) const;
    void drawLabel(HDC dc, int x, int y);

    std::deque<double> history_;
    std::deque<double> pending_;
    int averagingWindow_ = kAveragingWindow;
    int width_ = kWidth;
    int height_ = kHeight;
    std::wstring keyName_;
};

// Bar length for a mean: height x mean, truncated toward zero.
int barLength(double mean, int height);
// Whole percent shown in the label: sample x 100, truncated toward zero.
int labelPercent(double sample);
// Appends the label for keyName and the newest sample, e.g. "cpu0: 07%".
void appendLabel(TextBuffer& buffer, const std::wstring& keyName, double newestSample);
