#pragma once
// A 60 x 40 strip (at 96 DPI; scaled with the display) that shows the means
// of runs of six samples as a scrolling bar graph, with the newest raw
// sample as a whole-percent label shortened, when it must, to fit the
// strip's visible columns.

#include <string>

#include "gauges/Monitor.h"
#include "gauges/SampleAverager.h"
#include "gauges/StripSize.h"

class AveragingPercentMonitor : public Monitor {
public:
    static constexpr COLORREF kBarColour = RGB(20, 200, 40);
    static constexpr int kBarPenWidth = 1;

    explicit AveragingPercentMonitor(const std::wstring& keyName);

    int addSample(double sample) override;
    // The 96-DPI strip: 60 x 40.
    RECT getRect() override;
    // The 96-DPI picture.
    void draw(HDC dc, int x, int y) override;
    // The picture at the strip's size: the 96-DPI one grown by its DPI.
    void draw(HDC dc, int x, int y, const StripSize& strip);

    const std::wstring& keyName() const { return keyName_; }

private:
    void drawBars(HDC dc, int x, int y, const StripSize& strip) const;
    void drawLabel(HDC dc, int x, int y, const StripSize& strip);

    // The label last drawn, and the percent and visible width it was chosen
    // for: its width changes only with its text and scale, so it is
    // measured again only when one of those changes.
    struct ChosenLabel {
        bool chosen = false;
        int percent = 0;
        int dpi = 0;
        int visibleWidth = 0;
        std::wstring text;
    };

    SampleAverager averager_;
    int width_ = kStripWidth;
    int height_ = kStripHeight;
    std::wstring keyName_;
    ChosenLabel label_;
};

// The label for keyName and a percent in the first form that fits
// `visibleWidth` columns with the DC's font: "cpu0: 07%" if it fits, else
// "cpu0:07%", else "0:07%".
std::wstring fittingLabelFor(HDC dc, const std::wstring& keyName, int percent, int visibleWidth);

