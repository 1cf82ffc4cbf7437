#pragma once
// A 60 x 40 strip (at 96 DPI; scaled with the display) that shows the means
// of runs of six samples as a scrolling bar graph, with the newest raw
// sample as a whole-percent label shortened, when it must, to fit the
// strip's visible columns.

#include <string>

#include "common/DisplayScale.h"
#include "gauges/Monitor.h"
#include "gauges/SampleAverager.h"

class AveragingPercentMonitor : public Monitor {
public:
    static constexpr int kWidth = 60;
    static constexpr int kHeight = 40;
    static constexpr COLORREF kBarColour = RGB(20, 200, 40);
    static constexpr int kBarPenWidth = 1;
    // The main window's client area is 2 pixels narrower than a strip.
    static constexpr int kVisibleWidth = kWidth - 2;

    // The visible width at a DPI: the strip scales, but the window's border
    // stays one pixel each side.
    static int visibleWidthAt(int dpi);

    explicit AveragingPercentMonitor(const std::wstring& keyName);

    int addSample(double sample) override;
    RECT getRect() override;
    void draw(HDC dc, int x, int y) override;
    // A new DPI drops the kept label choice: its width was measured at the
    // old one.
    void setDpi(int dpi) override;

    const std::wstring& keyName() const { return keyName_; }

private:
    void drawBars(HDC dc, int x, int y) const;
    void drawLabel(HDC dc, int x, int y);

    // The label last drawn and the percent it was chosen for: its width
    // changes only with its text, so it is measured again only when the
    // percent changes.
    struct ChosenLabel {
        bool chosen = false;
        int percent = 0;
        std::wstring text;
    };

    SampleAverager averager_;
    int width_ = kWidth;
    int height_ = kHeight;
    int dpi_ = kBaseDpi;
    std::wstring keyName_;
    ChosenLabel label_;
};

// The label for keyName and a percent in the first form that fits the
// visible columns at dpi with the DC's font: "cpu0: 07%" if it fits, else
// "cpu0:07%", else "0:07%".
std::wstring fittingLabelFor(HDC dc, const std::wstring& keyName, int percent, int dpi);

