#pragma once
// A 60 x 40 strip (at 96 DPI) that shows the means of runs of six samples
// as a scrolling bar graph, and the newest sample as a whole-percent label
// shortened, when it must, to fit the strip's visible columns.

#include <cstdint>
#include <string>

#include "common/DibSurface.h"
#include "gauges/Monitor.h"
#include "gauges/SampleAverager.h"
#include "gauges/StripPicture.h"
#include "gauges/StripSize.h"

class AveragingPercentMonitor : public Monitor {
public:
    static constexpr COLORREF kBarColour = colourOf(kStripColours.bar);

    explicit AveragingPercentMonitor(const std::wstring& keyName);

    int addSample(double sample) override;
    // The 96-DPI strip: 60 x 40.
    RECT getRect() override { return RECT{0, 0, width_, height_}; }
    // The 96-DPI picture.
    void draw(HDC dc, int x, int y) override { draw(dc, x, y, stripSizeAt(kBaseDpi)); }
    // The picture at the strip's size, as the paint pass draws it: the bars
    // as pixels over whatever the DC holds, and the label in the DC's font
    // and text colour, all within the DC's clip.
    void draw(HDC dc, int x, int y, const StripSize& strip);

    const std::deque<double>& means() const { return averager_.history(); }
    std::uint64_t meansMade() const { return averager_.meansMade(); }
    bool hasLabel() const { return !averager_.pending().empty(); }
    int percentShown() const { return hasLabel() ? labelPercent(averager_.pending().back()) : 0; }
    const std::wstring& keyName() const { return keyName_; }

    // Where its bars stand and its label's rectangle (getRect's, grown to
    // the strip's scale), for the strip's corner at (x, y).
    BarPlacement barPlacement(std::int64_t x, std::int64_t y, const StripSize& strip) const
    {
        return {x, y, width_, height_, strip.dpi};
    }
    RECT labelRect(int x, int y, const StripSize& strip);

private:
    SampleAverager averager_;
    int width_ = kStripWidth;
    int height_ = kStripHeight;
    std::wstring keyName_;
};

// The label for keyName and percent in the first form whose text fits the
// strip's visible columns in the DC's font, drawn within rect.
void drawLabelText(HDC dc, const RECT& rect, const std::wstring& keyName, int percent, int visibleWidth);
