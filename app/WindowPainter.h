#pragma once
// The paint pass: collect every counter once, feed each gauge one sample and
// draw the gauges where the strip layout puts them, through an off-screen
// bitmap.

#include <windows.h>

#include <vector>

#include "gauges/LabelFont.h"
#include "ui/StripLayout.h"

class AveragingPercentMonitor;
class CounterQuery;
class MonitorRegistry;
struct CounterEntry;

constexpr COLORREF kBackgroundColour = RGB(255, 255, 128);
constexpr COLORREF kErrorCrossColour = RGB(255, 0, 0);

// One strip: the counter and the gauge filed under one key name.
struct Strip {
    const CounterEntry* counter;
    AveragingPercentMonitor* gauge;
};

// The strips of every key name the query files that has a gauge, in key
// order. Key names are fixed once the gauges are set up, and the query's
// entries stay where they are, so the list stays true for the whole run.
std::vector<Strip> stripsOf(const CounterQuery& query, MonitorRegistry& registry);

class WindowPainter {
public:
    WindowPainter(CounterQuery& query, MonitorRegistry& registry);

    // One pass into `target`, whose client area the layout describes: its
    // bitmap size, columns, strip positions and the strips' DPI.
    void paintWindow(HDC target, const StripLayout& layout);
    // The same, drawn straight into `dc`.
    void paintGauges(HDC dc, const StripLayout& layout);

private:
    void feedAndDrawGauges(HDC dc, const StripLayout& layout);

    CounterQuery& query_;
    MonitorRegistry& registry_;
    std::vector<Strip> strips_;
    bool listed_ = false;
    LabelFont font_;
};

// The red cross over a client area of the layout's size.
void drawErrorCross(HDC dc, const StripLayout& layout);
