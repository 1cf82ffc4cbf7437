#pragma once
// A 60 x 40 strip that shows the means of runs of six samples as a
// scrolling bar graph, with the newest raw sample as a whole-percent label.

#include <string>

#include "gauges/Monitor.h"
#include "gauges/SampleAverager.h"

class TextBuffer;

class AveragingPercentMonitor : public Monitor {
public:
    static constexpr int kWidth = 60;
    static constexpr int kHeight = 40;
    static constexpr COLORREF kBarColour = RGB(20, 200, 40);
    static constexpr int kBarPenWidth = 1;
    static constexpr std::size_t kLabelCapacity = 100;

    explicit AveragingPercentMonitor(const std::wstring& keyName);

    int addSample(double sample) override;
    RECT getRect() override;
    void draw(HDC dc, int x, int y) override;

    const std::wstring& keyName() const { return keyName_; }

private:
    void drawBars(HDC dc, int x, int y) const;
    void drawLabel(HDC dc, int x, int y);

    SampleAverager averager_;
    int width_ = kWidth;
    int height_ = kHeight;
    std::wstring keyName_;
};

// Appends the label for keyName and the newest sample, e.g. "cpu0: 07%".
void appendLabel(TextBuffer& buffer, const std::wstring& keyName, double newestSample);

// Draws the label in rect's top-left corner, clipped to rect, over whatever
// is there (the background mode is left TRANSPARENT).
void drawGaugeLabel(HDC dc, const RECT& rect, const std::wstring& keyName, double newestSample);
