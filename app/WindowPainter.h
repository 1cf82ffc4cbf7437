#pragma once
// The paint pass: sample the counters (or keep the samples) and draw the
// gauges where the strip layout puts them, into a picture kept from one
// pass to the next.

#include <windows.h>

#include <array>
#include <cstdint>
#include <vector>

#include "app/Sampling.h"
#include "common/DibSurface.h"
#include "gauges/LabelFont.h"
#include "gauges/LabelPieces.h"
#include "gauges/StripPicture.h"
#include "ui/StripLayout.h"

class AveragingPercentMonitor;
class CounterQuery;
class MonitorRegistry;
struct CounterEntry;

constexpr COLORREF kBackgroundColour = colourOf(kStripColours.background);
constexpr COLORREF kErrorCrossColour = RGB(255, 0, 0);

// One strip: the counter and the gauge filed under one key name, and what
// it was last drawn from.
struct Strip {
    Strip(const CounterEntry* entry, AveragingPercentMonitor* averaging) : counter(entry), gauge(averaging) {}

    const CounterEntry* counter;
    AveragingPercentMonitor* gauge;
    std::uint64_t drawnMeans = 0;
    bool labelled = false;
    int percent = 0;
    LaidLabel label;                  // its pieces, or none where GDI draws it
    PixelRect labelArea = {0, 0, 0, 0};  // what its label takes
    std::array<const LabelPiece*, 3> keyPieces = {};  // its key name's part in each form, once rendered
};

// The strips of every filed key name that has a gauge, in key order: set up
// once, as key names are fixed and the query's entries never move.
std::vector<Strip> stripsOf(const CounterQuery& query, MonitorRegistry& registry);

class WindowPainter {
public:
    // What a pass copies to its target: what changed (a tick's pass into
    // the window, which shows the rest already) or all of it.
    enum class Copy { Changed, Whole };

    WindowPainter(CounterQuery& query, MonitorRegistry& registry, CreateDib createDib = CreateDIBSection,
                  TickClock clock = GetTickCount64);

    // What the window is laid out for: a strip per listed key name.
    int stripCount() const { return static_cast<int>(strips_.size()); }

    // One pass into `target`, whose client area the layout describes.
    void paintWindow(HDC target, const StripLayout& layout, Copy copy = Copy::Whole, Feed feed = Feed::Sample);
    // The same pass without the copy: the picture alone.
    void paintGauges(const StripLayout& layout, Feed feed = Feed::Sample);
    // The next pass scrolls, with label pieces made anew: the displays, the
    // colours, the font smoothing or the theme changed.
    void redrawEverything();
    Sampling& sampling() { return sampling_; }

private:
    bool meansMoved() const;
    void place(const StripLayout& layout);
    void scroll(const StripLayout& layout);
    void relabel(const StripLayout& layout);
    void chooseLabel(std::size_t k, const StripLayout& layout);
    void drawLabel(std::size_t k, const PixelRect& clip, const StripLayout& layout);
    void drawErrorCross(const StripLayout& layout);

    Sampling sampling_;
    std::vector<Strip> strips_;
    std::vector<StripDrawing> drawings_;  // the strips the layout shows
    DibSurface picture_;
    LabelFont font_;
    LabelPieces pieces_;
    StripLayout drawnLayout_ = {};
    bool whole_ = true;
    PixelRect changed_ = {0, 0, 0, 0};  // what the last pass drew
};

// The red cross over a client area of the layout's size.
void drawErrorCross(HDC dc, const StripLayout& layout);
