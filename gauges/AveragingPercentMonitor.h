#pragma once
// A 60 x 40 strip (at 96 DPI; scaled with the display) that shows the means
// of runs of six samples as a scrolling bar graph, with the newest raw
// sample as a whole-percent label shortened, when it must, to fit the
// strip's visible columns.

#include <array>
#include <cstdint>
#include <string>

#include "gauges/BarPixels.h"
#include "gauges/LabelStamp.h"
#include "gauges/Monitor.h"
#include "gauges/SampleAverager.h"
#include "gauges/StripSize.h"

class LabelStamps;

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
    // Its label alone, as draw draws it: over whatever lies beneath.
    void drawLabel(HDC dc, int x, int y, const StripSize& strip);

    // The same picture straight into 32-bit pixels: the bars within `clip`,
    // and the label as two stamps, laid from its rectangle's corner and
    // clipped to that rectangle (stampLabel lays them). No stamps (first
    // null) for a percent outside 0 to 100: drawLabel then draws it, as it
    // does where the stamps cannot be laid.
    void paintBars(const PixelRows& surface, const PixelRect& clip, int x, int y, const StripSize& strip) const;
    LaidLabel labelStamps(int x, int y, const StripSize& strip, LabelStamps& stamps);

    // What the picture is drawn from: it changes only when one of these does.
    std::uint64_t meansMade() const { return averager_.meansMade(); }
    bool hasLabel() const { return !averager_.pending().empty(); }
    int percentShown() const;
    // Whether every bar that shows between the columns stays within the
    // strip's rows and its foot, as the bars of means from 0 to 1 do.
    bool barsStayInStrip(int x, int y, const StripSize& strip, int left, int right) const;

    const std::wstring& keyName() const { return keyName_; }

private:
    void drawBars(HDC dc, int x, int y, const StripSize& strip) const;
    RECT labelRect(int x, int y, const StripSize& strip);
    const LabelStamp& keyStamp(std::size_t form, LabelStamps& stamps);

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

    // The key-name part of each label form, rendered at the first label
    // that needs it, for the stamps' DPI.
    struct KeyStamps {
        int dpi = 0;
        std::array<bool, 3> made = {};
        std::array<LabelStamp, 3> forms;
    };

    SampleAverager averager_;
    int width_ = kStripWidth;
    int height_ = kStripHeight;
    std::wstring keyName_;
    ChosenLabel label_;
    KeyStamps keyStamps_;
};

// The label for keyName and a percent in the first form that fits
// `visibleWidth` columns with the DC's font: "cpu0: 07%" if it fits, else
// "cpu0:07%", else "0:07%".
std::wstring fittingLabelFor(HDC dc, const std::wstring& keyName, int percent, int visibleWidth);

