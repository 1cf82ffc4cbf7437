#pragma once
// The paint pass: sample the counters (or keep the samples) and draw the
// gauges where the strip layout puts them, into a picture kept
// from one pass to the next, of which only what changed is drawn again and
// copied to the window.

#include <windows.h>

#include <cstdint>
#include <vector>

#include "app/BackBuffer.h"
#include "app/Sampling.h"
#include "gauges/LabelFont.h"
#include "gauges/LabelStamps.h"
#include "ui/StripLayout.h"

class AveragingPercentMonitor;
class CounterQuery;
class MonitorRegistry;
struct CounterEntry;

constexpr COLORREF kBackgroundColour = RGB(255, 255, 128);
constexpr COLORREF kErrorCrossColour = RGB(255, 0, 0);

// One strip: the counter and the gauge filed under one key name, and what
// its cell was last drawn from.
struct Strip {
    Strip(const CounterEntry* entry, AveragingPercentMonitor* averaging) : counter(entry), gauge(averaging) {}

    const CounterEntry* counter;
    AveragingPercentMonitor* gauge;
    std::uint64_t drawnMeans = 0;
    int drawnPercent = 0;
    bool drawnLabel = false;
    bool barsStay = true;  // its bars keep to its cell and the foot row below
    UnderLabel under;  // what its label lies on
    LaidLabel laid;    // its label, where laid from stamps
};

// The strips of every key name the query files that has a gauge, in key
// order. Key names are fixed once the gauges are set up, and the query's
// entries stay where they are, so the list stays true for the whole run.
std::vector<Strip> stripsOf(const CounterQuery& query, MonitorRegistry& registry);

class WindowPainter {
public:
    // What a pass copies to its target: what changed (a tick's pass into
    // the window, which shows the rest already) or all of it.
    enum class Copy { Changed, Whole };

    WindowPainter(CounterQuery& query, MonitorRegistry& registry, TickClock clock = GetTickCount64);

    // One pass into `target`, whose client area the layout describes: its
    // size, columns, strip positions and the strips' DPI.
    void paintWindow(HDC target, const StripLayout& layout, Copy copy = Copy::Whole, Feed feed = Feed::Sample);
    // The same pass without the copy: the picture alone.
    void paintGauges(const StripLayout& layout, Feed feed = Feed::Sample);
    // The next pass draws everything again: the displays changed.
    void redrawEverything() { whole_ = true; }
    Sampling& sampling() { return sampling_; }

private:
    void drawEverything(const StripLayout& layout);
    void drawChanged(const StripLayout& layout);
    void markChanges(const StripLayout& layout, int shown);
    void checkBars(const StripLayout& layout, int strip);
    void remember(Strip& strip, const LaidLabel& laid);
    void drawColumn(const StripLayout& layout, int column, int first, int end);
    // The cell, or the rows of its label alone; returns what it drew.
    PixelRect drawCell(const StripLayout& layout, int strip, bool labelRowsOnly);
    void drawLabel(const StripLayout& layout, int strip, const PixelRect& clip);
    PixelRect labelRows(const StripLayout& layout, const StripCell& cell) const;
    void drawErrorCross(const StripLayout& layout);
    void fill(const PixelRect& area, std::uint32_t pixel);

    CounterQuery& query_;
    MonitorRegistry& registry_;
    Sampling sampling_;
    std::vector<Strip> strips_;
    bool listed_ = false;
    BackBuffer buffer_;
    StripLayout drawnLayout_ = {};
    bool whole_ = true;
    LabelFont font_;
    LabelStamps stamps_;
    // What a pass draws again of each cell, the least first.
    enum class Redraw : char { Nothing, LabelRows, Cell, Column };
    // Kept between passes, so that a pass allocates nothing.
    std::vector<Redraw> redraws_;
    PixelRect changed_ = {0, 0, 0, 0};  // round what the last pass drew
};

// The red cross over a client area of the layout's size.
void drawErrorCross(HDC dc, const StripLayout& layout);
