// The paint pass behind every tick and every WM_PAINT. It is also what
// drives sampling: each pass collects the counters once and feeds every
// gauge exactly one sample before drawing it, down one column, or down each
// column in turn when the window holds several. Where each strip stands and
// at what size is the layout's to say.

#include "app/WindowPainter.h"

#include <string>

#include "counters/CounterQuery.h"
#include "gauges/AveragingPercentMonitor.h"
#include "gauges/MonitorRegistry.h"

namespace {

RECT clientRect(const StripLayout& layout)
{
    return RECT{0, 0, layout.clientWidth, layout.clientHeight};
}

void fillBackground(HDC dc, const StripLayout& layout)
{
    const RECT rect = clientRect(layout);
    HBRUSH brush = CreateSolidBrush(kBackgroundColour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

// Collects once, and once more after reopening the query if that failed.
bool collectSamples(CounterQuery& query)
{
    query.collect();
    if (query.status != ERROR_SUCCESS) {
        query.reopen();
        query.collect();
    }
    return query.status == ERROR_SUCCESS;
}

// One pixel between two columns, in the border's colour, so that the columns
// read as gauges side by side rather than one column's labels running into
// the next one's newest bars.
void drawColumnSeparators(HDC dc, const StripLayout& layout)
{
    for (int column = 1; column < layout.columns; ++column) {
        const RECT line = {layout.pitch * column - 1, 0, layout.pitch * column, layout.clientHeight};
        FillRect(dc, &line, GetSysColorBrush(COLOR_WINDOWFRAME));
    }
}

// Clips the drawing to one column's visible pixels (58 at 96 DPI), down to
// the foot of its last strip, so that a strip shows in any column just what
// it would show in a single one and an empty cell below a shorter column
// shows only the background. Returns the saved state that unclips it,
// dropping the previous column's clip first.
int clipToColumn(HDC dc, int previousColumnState, const StripLayout& layout, const StripCell& top)
{
    if (previousColumnState != 0)
        RestoreDC(dc, previousColumnState);
    const int state = SaveDC(dc);
    IntersectClipRect(dc, top.x, 0, top.x + layout.strip.visibleWidth,
                      layout.strip.height * stripsInColumn(layout, top.column));
    return state;
}

} // namespace

std::vector<Strip> stripsOf(const CounterQuery& query, MonitorRegistry& registry)
{
    std::vector<Strip> strips;
    for (const auto& filed : query.counters) {
        auto found = registry.monitors.find(filed.first);
        // Set-up makes every gauge an averaging one; a key name without one
        // takes no strip.
        auto* gauge = found != registry.monitors.end() ? dynamic_cast<AveragingPercentMonitor*>(found->second)
                                                       : nullptr;
        if (gauge != nullptr)
            strips.push_back({&filed.second, gauge});
    }
    return strips;
}

WindowPainter::WindowPainter(CounterQuery& query, MonitorRegistry& registry) : query_(query), registry_(registry) {}

void WindowPainter::paintWindow(HDC target, const StripLayout& layout)
{
    const int width = layout.clientWidth;
    const int height = layout.clientHeight;
    HBITMAP bitmap = CreateCompatibleBitmap(target, width, height);
    HDC memoryDc = CreateCompatibleDC(target);
    HGDIOBJ previous = SelectObject(memoryDc, bitmap);
    paintGauges(memoryDc, layout);
    BitBlt(target, 0, 0, width, height, memoryDc, 0, 0, SRCCOPY);
    SelectObject(memoryDc, previous);
    DeleteDC(memoryDc);
    DeleteObject(bitmap);
}

void WindowPainter::paintGauges(HDC dc, const StripLayout& layout)
{
    fillBackground(dc, layout);
    HFONT font = font_.fontFor(layout.strip.dpi);
    HGDIOBJ previousFont = SelectObject(dc, font);
    if (collectSamples(query_))
        feedAndDrawGauges(dc, layout);
    else
        drawErrorCross(dc, layout);
    // The stock font, the one at the system DPI, may stay selected: putting
    // the old font back costs Wine a font lookup every pass. A font made for
    // another DPI is put back out, so that it can be deleted when replaced.
    if (font != GetStockObject(DEFAULT_GUI_FONT))
        SelectObject(dc, previousFont);
}

void WindowPainter::feedAndDrawGauges(HDC dc, const StripLayout& layout)
{
    if (!listed_) {
        strips_ = stripsOf(query_, registry_);
        listed_ = true;
    }
    SetBkMode(dc, TRANSPARENT);
    drawColumnSeparators(dc, layout);

    int columnState = 0;
    const int shown = std::min(static_cast<int>(strips_.size()), layout.stripCount);
    for (int k = 0; k < shown; ++k) {
        const StripCell cell = stripCell(layout, k);
        if (cell.y == 0)
            columnState = clipToColumn(dc, columnState, layout, cell);
        AveragingPercentMonitor& gauge = *strips_[static_cast<std::size_t>(k)].gauge;
        gauge.addSample(strips_[static_cast<std::size_t>(k)].counter->value.longValue / 100.0);
        gauge.draw(dc, cell.x, cell.y, layout.strip);
    }
    if (columnState != 0)
        RestoreDC(dc, columnState);
}

void drawErrorCross(HDC dc, const StripLayout& layout)
{
    HPEN pen = CreatePen(PS_SOLID, 1, kErrorCrossColour);
    HGDIOBJ previous = SelectObject(dc, pen);
    const RECT rect = clientRect(layout);
    // LineTo leaves out its end point, so the first line stops short of the
    // bottom-right corner and the second starts on the last column.
    MoveToEx(dc, rect.left, rect.top, nullptr);
    LineTo(dc, rect.right, rect.bottom);
    MoveToEx(dc, rect.right - 1, rect.top, nullptr);
    LineTo(dc, rect.left, rect.bottom);
    SelectObject(dc, previous);
    DeleteObject(pen);
}
